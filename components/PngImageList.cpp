// components/PngImageList.cpp
#include "components/PngImageList.h"

#include "components/Graphics.h"
#include "rtl/SysUtils.h"
#include "rtlos/OSUtils.h"

#include <vector>

namespace components {

namespace {

// Scoped form of the list's lock; Rebuild says whether leaving it remakes the system list.
struct TUpdate {
    TPngImageList& List;
    bool Rebuild;
    explicit TUpdate(TPngImageList& AList, bool ARebuild) : List(AList), Rebuild(ARebuild) { List.BeginUpdate(); }
    ~TUpdate() { List.EndUpdate(Rebuild); }
};

[[noreturn]] void IndexError() {
    throw rtl::EInvalidOperation(QStringLiteral("Invalid ImageList Index"));
}

// A fully transparent icon, for items without a usable PNG, so the system list keeps one image per item.
HICON BlankIcon(int W, int H) {
    vcl::TPngImage blank;
    blank.CreateBlank(vcl::COLOR_RGBALPHA, 8, W, H);
    for (int y = 0; y < H; ++y) std::fill_n(blank.AlphaScanline(y), W, uint8_t(0));
    return PngToIcon(&blank);
}

// A bitmap and its mask as a PNG; without a mask the picture is opaque.
void BitmapToPng(vcl::TBitmap* Image, vcl::TBitmap* Mask, vcl::TPngImage* Dest) {
    if (Mask)
        CreatePngFromBitmapAndMask(Image, Mask, Dest, false);
    else
        CreatePngFromMaskedBitmap(Image, vcl::clNone, Dest);
}

} // namespace

// ---- TPngImageCollectionItem ----

TPngImageCollectionItem::TPngImageCollectionItem(rtl::TCollection* Collection, bool DontCreatePNG)
    : rtl::TCollectionItem(Collection) {
    FName = QStringLiteral("PngImage%1").arg(Index());
    if (!DontCreatePNG) FPngImage = std::make_unique<vcl::TPngImage>();
}

TPngImageCollectionItem::~TPngImageCollectionItem() = default;

void TPngImageCollectionItem::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TPngImageCollectionItem*>(Source);
    if (!source) {
        rtl::TCollectionItem::Assign(Source);
        return;
    }
    if (source->FPngImage) {
        if (!FPngImage) FPngImage = std::make_unique<vcl::TPngImage>();
        FPngImage->Assign(source->FPngImage.get());
    } else {
        FPngImage.reset();
    }
    SetBackground(source->FBackground);
    FName = source->FName;
}

void TPngImageCollectionItem::AssignTo(rtl::TPersistent* Dest) {
    if (auto* png = dynamic_cast<vcl::TPngImage*>(Dest); png && FPngImage) {
        png->Assign(FPngImage.get());
        return;
    }
    rtl::TCollectionItem::AssignTo(Dest);
}

std::unique_ptr<vcl::TPngImage> TPngImageCollectionItem::Duplicate() const {
    auto copy = std::make_unique<vcl::TPngImage>();
    if (FPngImage) copy->Assign(FPngImage.get());
    return copy;
}

void TPngImageCollectionItem::SetBackground(vcl::TColor Value) {
    if (FBackground == Value) return;
    FBackground = Value;
    Changed(false);
}

void TPngImageCollectionItem::SetPngImage(vcl::TPngImage* Value) {
    if (!FPngImage) FPngImage = std::make_unique<vcl::TPngImage>();
    if (Value)
        FPngImage->Assign(Value);
    else
        FPngImage = std::make_unique<vcl::TPngImage>();
    Changed(false);
}

rtl::String TPngImageCollectionItem::GetDisplayName() const {
    return FName.isEmpty() ? rtl::TCollectionItem::GetDisplayName() : FName;
}

// ---- TPngImageCollectionItems ----

TPngImageCollectionItems::TPngImageCollectionItems(rtl::TPersistent* AOwner)
    : rtl::TCollection({[](rtl::TCollection* C) -> rtl::TCollectionItem* {
          return new TPngImageCollectionItem(C, static_cast<TPngImageCollectionItems*>(C)->FDontCreatePNG);
      }}),
      FOwner(AOwner) {}

TPngImageCollectionItem* TPngImageCollectionItems::Add(bool DontCreatePNG) {
    FDontCreatePNG = DontCreatePNG;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{FDontCreatePNG};
    return static_cast<TPngImageCollectionItem*>(rtl::TCollection::Add());
}

TPngImageCollectionItem* TPngImageCollectionItems::Insert(int Index, bool DontCreatePNG) {
    TPngImageCollectionItem* item = Add(DontCreatePNG);
    item->SetIndex(Index);
    return item;
}

TPngImageCollectionItem* TPngImageCollectionItems::GetItem(int Index) const {
    return Index >= 0 && Index < Count() ? static_cast<TPngImageCollectionItem*>(Items(Index)) : nullptr;
}

void TPngImageCollectionItems::Assign(rtl::TPersistent* Source) {
    rtl::TCollection::Assign(Source);
    Update(nullptr);
}

void TPngImageCollectionItems::Update(rtl::TCollectionItem* Item) {
    rtl::TCollection::Update(Item);
    if (auto* list = dynamic_cast<TPngImageList*>(FOwner)) list->RebuildImages();
}

// ---- TPngImageList ----

TPngImageList::TPngImageList(rtl::TComponent* AOwner)
    : vcl::TImageList(AOwner), FPngImages(std::make_unique<TPngImageCollectionItems>(this)) {
    FOverlayIndex.fill(-1);
    SetColorDepth(vcl::cd32Bit);
}

TPngImageList::~TPngImageList() {
    // Item changes while the collection goes must not remake the system list.
    FLocked = 1;
    FPngImages.reset();
}

void TPngImageList::EndUpdate(bool Update) {
    const int before = FLocked;
    if (FLocked > 0) --FLocked;
    if (Update && before == 1) RebuildImages();
}

HICON TPngImageList::IconOf(vcl::TPngImage* Png, vcl::TColor Background) const {
    if (!Png || Png->Empty()) return BlankIcon(Width(), Height());
    if (FEnabledImages || FPngOptions.Empty()) return PngToIcon(Png, Background);
    vcl::TPngImage work;
    work.Assign(Png);
    ApplyDisabledOptions(&work, FPngOptions);
    return PngToIcon(&work, vcl::clNone);
}

void TPngImageList::AddPngIcon(vcl::TPngImage* Png, vcl::TColor Background) {
    HICON icon = IconOf(Png, Background);
    ImageList_ReplaceIcon(Handle(), -1, icon);
    DestroyIcon(icon);
}

void TPngImageList::InsertIconAt(int Index, vcl::TPngImage* Png, vcl::TColor Background) {
    // The system list has no insertion: its icons are taken out and put back around the new one.
    HIMAGELIST h = Handle();
    if (Index >= ImageList_GetImageCount(h)) {
        AddPngIcon(Png, Background);
        return;
    }
    std::vector<HICON> icons;
    for (int i = 0; i < ImageList_GetImageCount(h); ++i) icons.push_back(ImageList_GetIcon(h, i, ILD_NORMAL));
    ImageList_RemoveAll(h);
    icons.insert(icons.begin() + std::clamp(Index, 0, int(icons.size())), IconOf(Png, Background));
    for (HICON icon : icons) {
        ImageList_ReplaceIcon(h, -1, icon);
        DestroyIcon(icon);
    }
}

void TPngImageList::RebuildImages() {
    if (FLocked > 0) return;
    if (HandleAllocated()) ImageList_RemoveAll(Handle());
    HIMAGELIST h = ImageList_Create(Width(), Height(), ILC_COLOR32 | (Masked() ? ILC_MASK : 0), 0, AllocBy());
    SetHandle(h);
    for (int i = 0; i < FPngImages->Count(); ++i) {
        TPngImageCollectionItem* item = FPngImages->GetItem(i);
        AddPngIcon(item->PngImage(), item->Background());
    }
}

int TPngImageList::AddPng(vcl::TPngImage* Png, vcl::TColor Background) {
    if (!Png) return -1;
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = FPngImages->Add(true);
    item->SetPngImage(Png);
    item->SetBackground(Background);
    AddPngIcon(item->PngImage(), item->Background());
    Change();
    return item->Index();
}

void TPngImageList::InsertPng(int Index, vcl::TPngImage* Png, vcl::TColor Background) {
    if (!Png) return;
    if (Index < 0 || Index > FPngImages->Count()) IndexError();
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = FPngImages->Insert(Index, true);
    item->SetPngImage(Png);
    item->SetBackground(Background);
    InsertIconAt(Index, item->PngImage(), item->Background());
    Change();
}

int TPngImageList::Add(vcl::TBitmap* Image, vcl::TBitmap* Mask) {
    if (!Image) return -1;
    vcl::TPngImage png;
    BitmapToPng(Image, Mask, &png);
    return AddPng(&png, vcl::clNone);
}

int TPngImageList::AddIcon(vcl::TIcon* Image) {
    if (!Image) return -1;
    vcl::TPngImage png;
    ConvertToPng(Image, &png);
    return AddPng(&png, vcl::clNone);
}

int TPngImageList::AddMasked(vcl::TBitmap* Image, vcl::TColor MaskColor) {
    if (!Image) return -1;
    vcl::TPngImage png;
    CreatePngFromMaskedBitmap(Image, MaskColor, &png);
    return AddPng(&png, vcl::clNone);
}

int TPngImageList::AddImage(vcl::TCustomImageList* Value, int Index) {
    vcl::TPngImage png;
    CopyImageFromImageList(&png, Value, Index);
    AddPng(&png, vcl::clNone);
    return FPngImages->Count();
}

void TPngImageList::AddImages(vcl::TCustomImageList* Value) {
    if (!Value || Value == this) return;
    TUpdate lock(*this, true);
    vcl::TPngImage png;
    for (int i = 0; i < Value->Count(); ++i) {
        CopyImageFromImageList(&png, Value, i);
        AddPng(&png, vcl::clNone);
    }
}

void TPngImageList::Clear() {
    TUpdate lock(*this, false);
    FPngImages->Clear();
    if (HandleAllocated()) ImageList_RemoveAll(Handle());
    Change();
}

void TPngImageList::Delete(int Index) {
    if (Index < 0 || Index >= FPngImages->Count()) return;
    TUpdate lock(*this, false);
    FPngImages->Delete(Index);
    ImageList_Remove(Handle(), Index);
    Change();
}

void TPngImageList::Insert(int Index, vcl::TBitmap* Image, vcl::TBitmap* Mask) {
    if (!Image) return;
    vcl::TPngImage png;
    BitmapToPng(Image, Mask, &png);
    InsertPng(Index, &png, vcl::clNone);
}

void TPngImageList::InsertIcon(int Index, vcl::TIcon* Image) {
    if (!Image) return;
    vcl::TPngImage png;
    ConvertToPng(Image, &png);
    InsertPng(Index, &png, vcl::clNone);
}

void TPngImageList::InsertMasked(int Index, vcl::TBitmap* Image, vcl::TColor MaskColor) {
    if (!Image) return;
    vcl::TPngImage png;
    CreatePngFromMaskedBitmap(Image, MaskColor, &png);
    InsertPng(Index, &png, vcl::clNone);
}

void TPngImageList::Move(int CurIndex, int NewIndex) {
    const int n = FPngImages->Count();
    if (CurIndex < 0 || CurIndex >= n || NewIndex < 0 || NewIndex >= n) IndexError();
    if (CurIndex == NewIndex) return;
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = FPngImages->GetItem(CurIndex);
    ImageList_Remove(Handle(), CurIndex);
    InsertIconAt(NewIndex, item->PngImage(), item->Background());
    item->SetIndex(NewIndex);
    Change();
}

void TPngImageList::ReplaceMirror(int Index, TPngImageCollectionItem* Item) {
    HICON icon = IconOf(Item->PngImage(), Item->Background());
    ImageList_ReplaceIcon(Handle(), Index, icon);
    DestroyIcon(icon);
    Change();
}

TPngImageCollectionItem* TPngImageList::CheckedItem(int Index) const {
    TPngImageCollectionItem* item = FPngImages->GetItem(Index);
    if (!item) IndexError();
    if (!item->PngImage()) const_cast<TPngImageCollectionItem*>(item)->SetPngImage(nullptr);
    return item;
}

void TPngImageList::Replace(int Index, vcl::TBitmap* Image, vcl::TBitmap* Mask) {
    if (!Image) return;
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = CheckedItem(Index);
    BitmapToPng(Image, Mask, item->PngImage());
    ReplaceMirror(Index, item);
}

void TPngImageList::ReplaceIcon(int Index, vcl::TIcon* Image) {
    if (!Image) return;
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = CheckedItem(Index);
    ConvertToPng(Image, item->PngImage());
    ReplaceMirror(Index, item);
}

void TPngImageList::ReplaceMasked(int Index, vcl::TBitmap* NewImage, vcl::TColor MaskColor) {
    if (!NewImage) return;
    TUpdate lock(*this, false);
    TPngImageCollectionItem* item = CheckedItem(Index);
    CreatePngFromMaskedBitmap(NewImage, MaskColor, item->PngImage());
    ReplaceMirror(Index, item);
}

bool TPngImageList::Overlay(int ImageIndex, vcl::TOverlay Overlay) {
    if (Overlay >= FOverlayIndex.size()) return false;
    FOverlayIndex[Overlay] = ImageIndex;
    return ImageIndex >= 0 && ImageIndex < FPngImages->Count();
}

int TPngImageList::FindIndexByName(const rtl::String& Name) const {
    for (int i = 0; i < FPngImages->Count(); ++i)
        if (rtl::SameText(FPngImages->GetItem(i)->Name(), Name)) return i;
    return -1;
}

rtl::String TPngImageList::GetImageName(int Index) const {
    TPngImageCollectionItem* item = FPngImages->GetItem(Index);
    return item ? item->Name() : rtl::String();
}

void TPngImageList::ListImageNames(rtl::TStrings* Target) const {
    for (int i = 0; i < FPngImages->Count(); ++i) Target->Add(FPngImages->GetItem(i)->Name());
}

void TPngImageList::SetEnabledImages(bool Value) {
    if (FEnabledImages == Value) return;
    FEnabledImages = Value;
    RebuildImages();
}

void TPngImageList::SetPngImages(TPngImageCollectionItems* Value) {
    if (!Value || Value == FPngImages.get()) return;
    FPngImages->Assign(Value);
    Change();
}

void TPngImageList::SetPngOptions(TPngOptions Value) {
    if (FPngOptions == Value) return;
    FPngOptions = Value;
    RebuildImages();
}

void TPngImageList::SetSize(int AWidth, int AHeight) {
    if (Width() == AWidth && Height() == AHeight) return;
    vcl::TImageList::SetSize(AWidth, AHeight);
    // The PNGs go with the system list's images, or a later Delete(i) would hit another image.
    Clear();
}

void TPngImageList::Assign(rtl::TPersistent* Source) {
    auto* png = dynamic_cast<TPngImageList*>(Source);
    if (!png) {
        if (auto* list = dynamic_cast<vcl::TCustomImageList*>(Source)) SetColorDepth(list->ColorDepth());
        vcl::TImageList::Assign(Source);
        return;
    }
    if (png == this) return;
    // The inherited assignment clears the list and adds the other list's images anew, which would
    // lose the items' names and backgrounds: the collection is copied after it.
    TUpdate lock(*this, true);
    SetColorDepth(png->ColorDepth());
    vcl::TImageList::Assign(Source);
    SetPngImages(png->FPngImages.get());
    SetEnabledImages(png->FEnabledImages);
    SetPngOptions(png->FPngOptions);
}

void TPngImageList::AssignTo(rtl::TPersistent* Dest) {
    vcl::TImageList::AssignTo(Dest);
    if (auto* png = dynamic_cast<TPngImageList*>(Dest)) {
        png->SetPngImages(FPngImages.get());
        png->SetEnabledImages(FEnabledImages);
        png->SetPngOptions(FPngOptions);
    }
}

void TPngImageList::ReadData(rtl::TStream* Stream) {
    // Form files store the PNGs; the inherited bitmap data is not read back over them.
    if (ComponentState().Contains(rtl::csReading)) return;
    vcl::TImageList::ReadData(Stream);
}

void TPngImageList::WriteData(rtl::TStream* Stream) {
    if (ComponentState().Contains(rtl::csWriting)) return;
    vcl::TImageList::WriteData(Stream);
}

void TPngImageList::DoDraw(int Index, vcl::TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
    const vcl::TRect r(X, Y, X + Width(), Y + Height());
    const TPngOptions options = Enabled ? TPngOptions{} : FPngOptions;
    auto draw = [&](int I) {
        TPngImageCollectionItem* item = FPngImages->GetItem(I);
        if (item && item->PngImage() && !item->PngImage()->Empty()) DrawPng(item->PngImage(), Canvas, r, options);
    };
    draw(Index);
    const unsigned overlay = (Style & 0xF00) >> 8;
    if (overlay >= 1 && overlay <= 15) draw(FOverlayIndex[overlay - 1]);
}

// ---- conversions ----

void CopyImageFromImageList(vcl::TPngImage* Dest, vcl::TCustomImageList* ImageList, int Index) {
    if (!Dest || !ImageList) return;
    if (auto* png = dynamic_cast<TPngImageList*>(ImageList)) {
        TPngImageCollectionItem* item = png->PngImages()->GetItem(Index);
        if (item && item->PngImage()) Dest->Assign(item->PngImage());
        return;
    }
    if (Index < 0 || Index >= ImageList->Count()) return;
    vcl::TIcon icon;
    ImageList->GetIcon(Index, &icon);
    ICONINFO info{};
    if (!GetIconInfo(icon.Handle(), &info)) return;
    vcl::TBitmap colour, mask;
    colour.SetHandle(info.hbmColor);
    mask.SetHandle(info.hbmMask);
    colour.SetPixelFormat(vcl::pf24bit);
    Dest->Assign(&colour);
    Dest->CreateAlpha();
    for (int y = 0; y < Dest->Height(); ++y) {
        uint8_t* alpha = Dest->AlphaScanline(y);
        for (int x = 0; x < Dest->Width(); ++x)
            alpha[x] = (mask.Canvas()->Pixels(x, y) & 0xFFFFFF) == 0 ? 255 : 0;
    }
}

HICON PngToIcon(vcl::TPngImage* Png, vcl::TColor Background) {
    // Common controls before version 6 know no alpha channel: they get a masked icon.
    return rtl::GetComCtlVersion() < rtl::ComCtlVersionIE6 ? PngToMaskedIcon(Png, Background) : PngToIcon32(Png);
}

HICON PngToMaskedIcon(vcl::TPngImage* Png, vcl::TColor Background) {
    const int w = Png->Width(), h = Png->Height();
    vcl::TBitmap colour, mask;
    for (vcl::TBitmap* b : {&colour, &mask}) {
        b->SetPixelFormat(vcl::pf32bit);
        b->SetSize(w, h);
    }
    colour.Canvas()->Brush()->SetColor(Background == vcl::clNone ? vcl::clBlack : Background);
    colour.Canvas()->FillRect(vcl::TRect(0, 0, w, h));
    colour.Canvas()->Draw(0, 0, Png);
    // White marks the pixels the icon leaves transparent; a PNG without transparency keeps all black.
    mask.Canvas()->Brush()->SetColor(vcl::clBlack);
    mask.Canvas()->FillRect(vcl::TRect(0, 0, w, h));
    const uint8_t colourType = Png->Header().ColorType;
    const bool hasAlpha = colourType == vcl::COLOR_GRAYSCALEALPHA || colourType == vcl::COLOR_RGBALPHA;
    const bool bitTransparent = Png->TransparencyMode() == vcl::ptmBit;
    for (int y = 0; y < h && (hasAlpha || bitTransparent); ++y) {
        const uint8_t* alpha = hasAlpha ? Png->AlphaScanline(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            const bool clear = alpha ? alpha[x] == 0 : Png->Pixels(x, y) == Png->TransparentColor();
            if (clear) mask.Canvas()->SetPixels(x, y, vcl::clWhite);
        }
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour.Handle();
    info.hbmMask = mask.Handle();
    return CreateIconIndirect(&info);
}

HICON PngToIcon32(vcl::TPngImage* Png) {
    const int w = Png->Width(), h = Png->Height();
    BITMAPV4HEADER header{};
    header.bV4Size = sizeof(BITMAPV4HEADER);
    header.bV4Width = w;
    header.bV4Height = h; // bottom-up
    header.bV4Planes = 1;
    header.bV4BitCount = 32;
    header.bV4V4Compression = BI_BITFIELDS;
    header.bV4RedMask = 0xFF0000;
    header.bV4GreenMask = 0xFF00;
    header.bV4BlueMask = 0xFF;
    header.bV4AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HBITMAP colour =
        CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!colour) return nullptr;
    const uint8_t colourType = Png->Header().ColorType;
    const bool hasAlpha = colourType == vcl::COLOR_GRAYSCALEALPHA || colourType == vcl::COLOR_RGBALPHA;
    const bool bitTransparent = Png->TransparencyMode() == vcl::ptmBit;
    const vcl::TColor transparent = Png->TransparentColor();
    auto* out = static_cast<uint8_t*>(bits);
    for (int i = 0; i < h; ++i) {
        const int row = h - 1 - i;
        const uint8_t* alpha = hasAlpha ? Png->AlphaScanline(row) : nullptr;
        uint8_t* px = out + size_t(i) * size_t(w) * 4;
        for (int x = 0; x < w; ++x, px += 4) {
            const vcl::TColor c = Png->Pixels(x, row);
            px[0] = uint8_t(c >> 16);
            px[1] = uint8_t(c >> 8);
            px[2] = uint8_t(c);
            // An image without transparency is opaque (an alpha of 0 throughout would hide it).
            px[3] = alpha ? alpha[x] : bitTransparent ? (c == transparent ? 0 : 255) : 255;
        }
    }
    std::vector<uint8_t> maskBits(size_t((w + 15) / 16 * 2) * size_t(h), 0);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, maskBits.data());
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

} // namespace components
