// components/PngImageList.h: an image list that keeps every image as a PNG with its full alpha
// channel, in a collection that form files store, and keeps the system image list behind it filled
// with icons made from those PNGs, so that controls using the system list still show them. It draws
// the PNGs themselves, faded or gray for disabled items.
//
// The class library's image routines (adding, inserting, replacing, moving, deleting, clearing and
// overlays) are overridable, so a PNG list used as a plain image list is still served by its own
// routines: no code is patched in memory.
#pragma once
#include "components/PngUtils.h"
#include "vcl/ImgList.h"

#include <array>
#include <memory>

namespace components {

class TPngImageList;

class TPngImageCollectionItem : public rtl::TCollectionItem {
public:
    explicit TPngImageCollectionItem(rtl::TCollection* Collection) : TPngImageCollectionItem(Collection, false) {}
    TPngImageCollectionItem(rtl::TCollection* Collection, bool DontCreatePNG);
    ~TPngImageCollectionItem() override;

    void Assign(rtl::TPersistent* Source) override;
    // A new copy of the item's PNG, the caller's to keep.
    std::unique_ptr<vcl::TPngImage> Duplicate() const;

    vcl::TColor Background() const { return FBackground; }
    void SetBackground(vcl::TColor Value);
    rtl::String Name() const { return FName; }
    void SetName(const rtl::String& Value) { FName = Value; }
    vcl::TPngImage* PngImage() const { return FPngImage.get(); }
    // Copies the given PNG into the item's (nil empties it).
    void SetPngImage(vcl::TPngImage* Value);

    rtl::String GetDisplayName() const override;

protected:
    void AssignTo(rtl::TPersistent* Dest) override;

private:
    vcl::TColor FBackground = vcl::clBtnFace;
    rtl::String FName;
    std::unique_ptr<vcl::TPngImage> FPngImage;
};

class TPngImageCollectionItems : public rtl::TCollection {
public:
    explicit TPngImageCollectionItems(rtl::TPersistent* AOwner);

    TPngImageCollectionItem* Add(bool DontCreatePNG = false);
    TPngImageCollectionItem* Insert(int Index, bool DontCreatePNG = false);
    TPngImageCollectionItem* GetItem(int Index) const; // nullptr outside the collection
    void Assign(rtl::TPersistent* Source) override;

protected:
    rtl::TPersistent* GetOwner() const override { return FOwner; }
    void Update(rtl::TCollectionItem* Item) override; // then the owning list remakes its system list

private:
    rtl::TPersistent* FOwner;
    bool FDontCreatePNG = false; // for the item Add is making
};

class TPngImageList : public vcl::TImageList {
public:
    explicit TPngImageList(rtl::TComponent* AOwner);
    ~TPngImageList() override;

    void Assign(rtl::TPersistent* Source) override;

    // Copies of the caller's PNG; -1 (and nothing added) for nil.
    int AddPng(vcl::TPngImage* Png, vcl::TColor Background = vcl::clNone);
    void InsertPng(int Index, vcl::TPngImage* Png, vcl::TColor Background = vcl::clNone);

    int Add(vcl::TBitmap* Image, vcl::TBitmap* Mask) override;
    int AddIcon(vcl::TIcon* Image) override;
    // The number of PNGs after the addition, as the class library's routine answers the image count.
    int AddImage(vcl::TCustomImageList* Value, int Index) override;
    void AddImages(vcl::TCustomImageList* Value) override;
    int AddMasked(vcl::TBitmap* Image, vcl::TColor MaskColor) override;
    void Clear() override;
    void Delete(int Index) override; // nothing outside the list
    void Insert(int Index, vcl::TBitmap* Image, vcl::TBitmap* Mask) override;
    void InsertIcon(int Index, vcl::TIcon* Image) override;
    void InsertMasked(int Index, vcl::TBitmap* Image, vcl::TColor MaskColor) override;
    // Both indexes must lie in the list (EInvalidOperation otherwise, nothing changed).
    void Move(int CurIndex, int NewIndex) override;
    // An index outside the list raises EInvalidOperation, as plain image lists do.
    void Replace(int Index, vcl::TBitmap* Image, vcl::TBitmap* Mask) override;
    void ReplaceIcon(int Index, vcl::TIcon* Image) override;
    void ReplaceMasked(int Index, vcl::TBitmap* NewImage, vcl::TColor MaskColor) override;
    // Stores the image index for the overlay in any case; true when it names an image of the list.
    bool Overlay(int ImageIndex, vcl::TOverlay Overlay) override;

    // The PNG list's own lock: while it is held the system list is not remade.
    void BeginUpdate() { ++FLocked; }
    void EndUpdate(bool Update = true);
    virtual void RebuildImages();

    int FindIndexByName(const rtl::String& Name) const; // ignoring case; -1 when none
    rtl::String GetImageName(int Index) const;           // empty outside the list
    void ListImageNames(rtl::TStrings* Target) const;

    bool EnabledImages() const { return FEnabledImages; }
    void SetEnabledImages(bool Value);
    TPngImageCollectionItems* PngImages() const { return FPngImages.get(); }
    void SetPngImages(TPngImageCollectionItems* Value);
    TPngOptions PngOptions() const { return FPngOptions; }
    void SetPngOptions(TPngOptions Value);
    // A new size removes every PNG, whichever type the caller holds the list by.
    void SetSize(int AWidth, int AHeight) override;
    void SetWidth(int Value) { SetSize(Value, Height()); }
    void SetHeight(int Value) { SetSize(Width(), Value); }
    int OverlayIndex(int Overlay) const { return FOverlayIndex[size_t(Overlay)]; }

    void ReadData(rtl::TStream* Stream) override;
    void WriteData(rtl::TStream* Stream) override;

protected:
    void AssignTo(rtl::TPersistent* Dest) override;
    void DoDraw(int Index, vcl::TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled = true) override;

private:
    HICON IconOf(vcl::TPngImage* Png, vcl::TColor Background) const;
    void AddPngIcon(vcl::TPngImage* Png, vcl::TColor Background);
    void InsertIconAt(int Index, vcl::TPngImage* Png, vcl::TColor Background);
    TPngImageCollectionItem* CheckedItem(int Index) const;
    void ReplaceMirror(int Index, TPngImageCollectionItem* Item); // the item's icon in the system list

    bool FEnabledImages = true;
    int32_t FLocked = 0;
    std::array<int32_t, 15> FOverlayIndex;
    std::unique_ptr<TPngImageCollectionItems> FPngImages;
    TPngOptions FPngOptions{pngBlendOnDisabled};
};

// The destination gets the list's image: a copy of the PNG of a PNG list, else the image taken as
// an icon, opaque where its mask is black (nothing happens for an index outside the list).
void CopyImageFromImageList(vcl::TPngImage* Dest, vcl::TCustomImageList* ImageList, int Index);
// The PNG as an icon for the system list (the caller destroys it): with its alpha channel, or
// masked on the background colour where the common controls know no alpha.
HICON PngToIcon(vcl::TPngImage* Png, vcl::TColor Background = vcl::clNone);
HICON PngToIcon32(vcl::TPngImage* Png);
HICON PngToMaskedIcon(vcl::TPngImage* Png, vcl::TColor Background);

} // namespace components
