#include "vcl/ImgList.h"

#include "rtl/Filer.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <memory>

namespace vcl {

namespace {

const char* const SInvalidImageSize = "Invalid image size";
const char* const SImageIndexError = "Invalid ImageList Index";
const char* const SImageReadFail = "Failed to read ImageList data from stream";
constexpr char StreamMagic[4] = {'T', 'W', 'I', 'L'};
constexpr int32_t MaxStreamImages = 1 << 16;

COLORREF RGBOrSpecial(TColor Color) {
    if (Color == clNone) return CLR_NONE;
    if (Color == clDefault) return CLR_DEFAULT;
    return static_cast<COLORREF>(ColorToRGB(Color));
}

// Changes inside are announced once, at the end.
class UpdateBracket {
public:
    explicit UpdateBracket(TCustomImageList& List) : FList(List) { FList.BeginUpdate(); }
    ~UpdateBracket() { FList.EndUpdate(); }

private:
    TCustomImageList& FList;
};

} // namespace

// ---- TChangeLink ----

TChangeLink::~TChangeLink() {
    if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (FSender) OnChange(FSender);
}

// ---- TCustomImageList ----

TCustomImageList::TCustomImageList(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TCustomImageList::TCustomImageList(rtl::TComponent* AOwner, int AWidth, int AHeight)
    : rtl::TComponent(AOwner), FWidth(AWidth), FHeight(AHeight) {
    if (AWidth <= 0 || AHeight <= 0) throw rtl::EInvalidOperation(QString::fromLatin1(SInvalidImageSize));
}

TCustomImageList::~TCustomImageList() {
    while (!FClients.empty()) UnRegisterChanges(FClients.back());
    FreeHandle();
}

UINT TCustomImageList::CreateFlags() const {
    UINT flags = 0;
    switch (FColorDepth) {
    case cd4Bit: flags = ILC_COLOR4; break;
    case cd8Bit: flags = ILC_COLOR8; break;
    case cd16Bit: flags = ILC_COLOR16; break;
    case cd24Bit: flags = ILC_COLOR24; break;
    case cd32Bit: flags = ILC_COLOR32; break;
    case cdDefault:
    case cdDeviceDependent: flags = ILC_COLORDDB; break;
    }
    if (FMasked) flags |= ILC_MASK;
    return flags;
}

void TCustomImageList::HandleNeeded() {
    if (FHandle) return;
    FHandle = ImageList_Create(FWidth, FHeight, CreateFlags(), FAllocBy, FAllocBy);
    if (!FHandle) throw rtl::EInvalidOperation(QStringLiteral("Error creating image list"));
    ImageList_SetBkColor(FHandle, RGBOrSpecial(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
    HandleNeeded();
    return FHandle;
}

void TCustomImageList::FreeHandle() {
    if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
    if (Value == FHandle) return;
    FreeHandle();
    FHandle = Value;
    if (Value) {
        int cx = 0, cy = 0;
        if (ImageList_GetIconSize(Value, &cx, &cy)) {
            FWidth = cx;
            FHeight = cy;
        }
        FBkColor = [&] {
            const COLORREF bk = ImageList_GetBkColor(Value);
            return bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
        }();
    }
    Change();
}

// A new list with the current settings, holding the old list's images.
void TCustomImageList::RecreateHandle() {
    if (!FHandle) return;
    HIMAGELIST old = FHandle;
    const bool shared = FShareImages;
    FHandle = nullptr;
    HandleNeeded();
    const int n = ImageList_GetImageCount(old);
    for (int i = 0; i < n; ++i) {
        HICON icon = ImageList_GetIcon(old, i, ILD_NORMAL);
        ImageList_AddIcon(FHandle, icon);
        DestroyIcon(icon);
    }
    if (!shared) ImageList_Destroy(old);
    FShareImages = false; // the new list is ours
    Change();
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth <= 0 || AHeight <= 0) throw rtl::EInvalidOperation(QString::fromLatin1(SInvalidImageSize));
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FHandle) ImageList_SetIconSize(FHandle, AWidth, AHeight);
    Change();
}

void TCustomImageList::SetWidth(int Value) { SetSize(Value, FHeight); }
void TCustomImageList::SetHeight(int Value) { SetSize(FWidth, Value); }

int TCustomImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetColorDepth(TColorDepth Value) {
    if (Value == FColorDepth) return;
    FColorDepth = Value;
    RecreateHandle();
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == FMasked) return;
    FMasked = Value;
    RecreateHandle();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value == FDrawingStyle) return;
    FDrawingStyle = Value;
    Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (Value == FImageType) return;
    FImageType = Value;
    Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor) return;
    FBkColor = Value;
    if (FHandle) ImageList_SetBkColor(FHandle, RGBOrSpecial(Value));
    Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (Value == FBlendColor) return;
    FBlendColor = Value;
    Change();
}

// ---- drawing ----

namespace {
UINT StyleFlags(TDrawingStyle DrawingStyle, TImageType ImageType) {
    static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    return styles[DrawingStyle] | (ImageType == itMask ? ILD_MASK : 0);
}
} // namespace

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
    if (!FHandle || !Canvas) return;
    DoDraw(Index, Canvas, X, Y, StyleFlags(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
    if (!FHandle || Index < 0 || Index >= Count()) return;
    HDC dc = Canvas->Handle();
    if (Enabled) {
        ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, RGBOrSpecial(FBkColor), RGBOrSpecial(FBlendColor), Style);
        return;
    }
    // Disabled: the image's shape in the highlight colour one pixel down and right, then in the shadow
    // colour in place. The shape is its mask drawn on white (opaque pixels come out black).
    TBitmap shape(FWidth, FHeight);
    shape.SetPixelFormat(pf32bit);
    TCanvas* sc = shape.Canvas();
    sc->Brush()->SetColor(clWhite);
    sc->FillRect(Rect(0, 0, FWidth, FHeight));
    ImageList_DrawEx(FHandle, Index, sc->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
    const COLORREF highlight = static_cast<COLORREF>(ColorToRGB(clBtnHighlight));
    const COLORREF shadow = static_cast<COLORREF>(ColorToRGB(clBtnShadow));
    for (const auto& [dx, colour] : {std::pair{1, highlight}, std::pair{0, shadow}})
        for (int y = 0; y < FHeight; ++y)
            for (int x = 0; x < FWidth; ++x)
                if ((GetPixel(sc->Handle(), x, y) & 0xFFFFFF) == 0) SetPixel(dc, X + x + dx, Y + y + dx, colour);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) { GetIcon(Index, Image, FDrawingStyle, FImageType); }

void TCustomImageList::GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType) {
    if (!Image || !FHandle || Index < 0 || Index >= Count()) return;
    Image->SetHandle(ImageList_GetIcon(FHandle, Index, StyleFlags(ADrawingStyle, AImageType)));
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
    Image->SetSize(FWidth, FHeight);
    Draw(Image->Canvas(), 0, 0, Index);
    return true;
}

// ---- adding and removing ----

void TCustomImageList::CheckImage(TGraphic* Image) const {
    if (Image && (Image->Width() < FWidth || Image->Height() < FHeight))
        throw rtl::EInvalidOperation(QString::fromLatin1(SInvalidImageSize));
}

void TCustomImageList::CheckIndex(int Index, bool AllowCount) const {
    if (Index < 0 || Index > Count() || (Index == Count() && !AllowCount))
        throw rtl::EInvalidOperation(QString::fromLatin1(SImageIndexError));
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    HandleNeeded();
    if (!Image) return -1;
    CheckImage(Image);
    const int result = ImageList_Add(FHandle, Image->Handle(), Mask ? Mask->Handle() : nullptr);
    Change();
    return result;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    HandleNeeded();
    if (!Image || Image->Empty()) return -1;
    CheckImage(Image);
    const int result = ImageList_AddIcon(FHandle, Image->Handle());
    Change();
    return result;
}

int TCustomImageList::AddImage(TCustomImageList* Value, int Index) {
    if (!Value || Index < 0 || Index >= Value->Count()) return -1;
    HandleNeeded();
    HICON icon = ImageList_GetIcon(Value->FHandle, Index, ILD_NORMAL);
    const int result = ImageList_AddIcon(FHandle, icon);
    DestroyIcon(icon);
    Change();
    return result;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
    if (!Value || Value == this) return;
    const UpdateBracket bracket(*this);
    for (int i = 0; i < Value->Count(); ++i) AddImage(Value, i);
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    HandleNeeded();
    if (!Image) return -1;
    CheckImage(Image);
    if (MaskColor == clDefault) MaskColor = Image->TransparentColor();
    const int result = (FMasked && MaskColor != clNone)
                           ? ImageList_AddMasked(FHandle, Image->Handle(), static_cast<COLORREF>(ColorToRGB(MaskColor)))
                           : ImageList_Add(FHandle, Image->Handle(), nullptr);
    Change();
    return result;
}

void TCustomImageList::Clear() {
    if (FHandle) ImageList_RemoveAll(FHandle);
    Change();
}

void TCustomImageList::Delete(int Index) {
    CheckIndex(Index);
    ImageList_Remove(FHandle, Index);
    Change();
}

void TCustomImageList::MoveLastTo(int Index) {
    const int last = Count() - 1;
    if (Index < last) Move(last, Index);
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index, true);
    const UpdateBracket bracket(*this);
    if (Add(Image, Mask) >= 0) MoveLastTo(Index);
}

void TCustomImageList::InsertIcon(int Index, TIcon* Image) {
    CheckIndex(Index, true);
    const UpdateBracket bracket(*this);
    if (AddIcon(Image) >= 0) MoveLastTo(Index);
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
    CheckIndex(Index, true);
    const UpdateBracket bracket(*this);
    if (AddMasked(Image, MaskColor) >= 0) MoveLastTo(Index);
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    // The images in between shift by one; the list has no copy primitive, so they go through icons.
    const int step = NewIndex > CurIndex ? 1 : -1;
    HICON moving = ImageList_GetIcon(FHandle, CurIndex, ILD_NORMAL);
    for (int i = CurIndex; i != NewIndex; i += step) {
        HICON next = ImageList_GetIcon(FHandle, i + step, ILD_NORMAL);
        ImageList_ReplaceIcon(FHandle, i, next);
        DestroyIcon(next);
    }
    ImageList_ReplaceIcon(FHandle, NewIndex, moving);
    DestroyIcon(moving);
    Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    if (!Image) return;
    CheckImage(Image);
    ImageList_Replace(FHandle, Index, Image->Handle(), Mask ? Mask->Handle() : nullptr);
    Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image) {
    CheckIndex(Index);
    if (!Image || Image->Empty()) return;
    CheckImage(Image);
    ImageList_ReplaceIcon(FHandle, Index, Image->Handle());
    Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
    CheckIndex(Index);
    if (!NewImage) return;
    CheckImage(NewImage);
    if (MaskColor == clDefault) MaskColor = NewImage->TransparentColor();
    if (!FMasked || MaskColor == clNone) {
        ImageList_Replace(FHandle, Index, NewImage->Handle(), nullptr);
    } else {
        // Masked through a one-image list of the same settings, then moved across as an icon.
        HIMAGELIST temp = ImageList_Create(FWidth, FHeight, CreateFlags(), 1, 1);
        const int added =
            ImageList_AddMasked(temp, NewImage->Handle(), static_cast<COLORREF>(ColorToRGB(MaskColor)));
        if (added >= 0) {
            HICON icon = ImageList_GetIcon(temp, added, ILD_NORMAL);
            ImageList_ReplaceIcon(FHandle, Index, icon);
            DestroyIcon(icon);
        }
        ImageList_Destroy(temp);
    }
    Change();
}

bool TCustomImageList::Overlay(int ImageIndex, TOverlay Overlay) {
    if (!FHandle || Overlay > 14) return false;
    return ImageList_SetOverlayImage(FHandle, ImageIndex, Overlay + 1) != FALSE;
}

// ---- change notification ----

void TCustomImageList::Change() {
    FChanged = true;
    if (FUpdateCount > 0) return;
    FChanged = false;
    for (TChangeLink* link : std::vector<TChangeLink*>(FClients))
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
    OnChange(this);
}

void TCustomImageList::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (!Value) return;
    if (Value->Sender() && Value->Sender() != this) Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    auto it = std::find(FClients.begin(), FClients.end(), Value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    Value->SetSender(nullptr);
}

// ---- streaming and assignment ----

// Our own layout: a magic, the image size, the count, then each image as a 32-bit icon file.
void TCustomImageList::WriteData(rtl::TStream* Stream) {
    Stream->WriteBuffer(StreamMagic, sizeof(StreamMagic));
    Stream->WriteData(static_cast<int32_t>(FWidth));
    Stream->WriteData(static_cast<int32_t>(FHeight));
    const int n = Count();
    Stream->WriteData(static_cast<int32_t>(n));
    for (int i = 0; i < n; ++i) {
        TIcon icon;
        icon.SetHandle(ImageList_GetIcon(FHandle, i, ILD_NORMAL));
        rtl::TMemoryStream data;
        icon.SaveToStream(&data);
        Stream->WriteData(static_cast<int32_t>(data.Size()));
        Stream->WriteBuffer(data.Memory(), data.Size());
    }
}

void TCustomImageList::ReadData(rtl::TStream* Stream) {
    auto fail = [] { throw rtl::EReadError(QString::fromLatin1(SImageReadFail)); };
    char magic[4] = {};
    int32_t cx = 0, cy = 0, n = 0;
    if (Stream->Read(magic, 4) != 4 || std::memcmp(magic, StreamMagic, 4) != 0) fail();
    if (!Stream->ReadData(cx) || !Stream->ReadData(cy) || !Stream->ReadData(n)) fail();
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096 || n < 0 || n > MaxStreamImages) fail();
    // Everything is read before the list changes, so a damaged stream leaves the list as it was.
    std::vector<std::unique_ptr<TIcon>> icons;
    for (int32_t i = 0; i < n; ++i) {
        int32_t size = 0;
        if (!Stream->ReadData(size) || size <= 0 || size > Stream->Size() - Stream->Position()) fail();
        rtl::TMemoryStream data;
        data.SetSize(size);
        Stream->ReadBuffer(data.Memory(), size);
        data.SetPosition(0);
        auto icon = std::make_unique<TIcon>();
        try {
            icon->LoadFromStream(&data);
        } catch (const rtl::Exception&) {
            fail();
        }
        icons.push_back(std::move(icon));
    }
    const UpdateBracket bracket(*this);
    Clear();
    SetSize(cx, cy);
    HandleNeeded();
    for (auto& icon : icons) ImageList_AddIcon(FHandle, icon->Handle());
    Change();
}

void TCustomImageList::DefineProperties(rtl::TFiler* Filer) {
    rtl::TComponent::DefineProperties(Filer);
    Filer->DefineBinaryProperty(QStringLiteral("Bitmap"), rtl::TStreamProc(this, &TCustomImageList::ReadData),
                                rtl::TStreamProc(this, &TCustomImageList::WriteData), Count() > 0);
}

void TCustomImageList::Assign(rtl::TPersistent* Source) {
    auto* source = dynamic_cast<TCustomImageList*>(Source);
    if (!source) {
        rtl::TComponent::Assign(Source);
        return;
    }
    if (source == this) return;
    const UpdateBracket bracket(*this);
    Clear();
    FMasked = source->FMasked;
    FColorDepth = source->FColorDepth;
    FDrawingStyle = source->FDrawingStyle;
    FImageType = source->FImageType;
    FBlendColor = source->FBlendColor;
    FAllocBy = source->FAllocBy;
    FreeHandle();
    FShareImages = false;
    FWidth = source->FWidth;
    FHeight = source->FHeight;
    FBkColor = source->FBkColor;
    AddImages(source);
    Change();
}

void TCustomImageList::AssignTo(rtl::TPersistent* Dest) {
    if (auto* dest = dynamic_cast<TCustomImageList*>(Dest)) {
        dest->Assign(this);
        return;
    }
    rtl::TComponent::AssignTo(Dest);
}

void TCustomImageList::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
}

} // namespace vcl
