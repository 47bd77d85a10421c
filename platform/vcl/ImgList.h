// vcl/ImgList.h: image lists, the component over a comctl32 image list, with change links that tell
// the controls, menus and actions using the list when its images change.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/Streams.h"
#include "vcl/Graphics.h"
#include "win/comctl32/commctrl.h"

#include <vector>

namespace vcl {

class TCustomImageList;

// A user's hook into an image list's changes; freeing it unregisters it.
class TChangeLink : public rtl::TObject {
public:
    TChangeLink() = default;
    ~TChangeLink() override;

    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* Value) { FSender = Value; }
    virtual void Change(); // OnChange(Sender)

    rtl::TNotifyEvent OnChange;

private:
    TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
enum TColorDepth { cdDefault, cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };
using TOverlay = uint8_t; // 0..14: overlay number - 1

class TCustomImageList : public rtl::TComponent {
public:
    explicit TCustomImageList(rtl::TComponent* AOwner);
    TCustomImageList(rtl::TComponent* AOwner, int AWidth, int AHeight); // CreateSize
    ~TCustomImageList() override; // unregisters the links, destroys the list unless shared

    // The image list, created on demand; setting one takes it over (and destroys the old one unless
    // ShareImages) and takes its image size.
    HIMAGELIST Handle();
    void SetHandle(HIMAGELIST Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    int Width() const { return FWidth; }
    void SetWidth(int Value);  // a new size empties the list, as the common control does
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    // Virtual so that a list keeping its own copies of the images hears of every new size.
    virtual void SetSize(int AWidth, int AHeight);
    int Count() const;
    TColorDepth ColorDepth() const { return FColorDepth; }
    void SetColorDepth(TColorDepth Value); // a new depth or mask setting remakes the list (images kept)
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value) { FShareImages = Value; }
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value) { FAllocBy = Value; }

    // A disabled image is drawn embossed in the button highlight and shadow colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);
    void GetIcon(int Index, TIcon* Image);
    void GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType);
    bool GetBitmap(int Index, TBitmap* Image); // the image drawn on a list-sized bitmap

    // The fifteen image routines are overridable, so that a list keeping its images elsewhere (PNG
    // lists) is served by its own routines also when it is used as a plain image list.
    // Adding raises EInvalidOperation "Invalid image size" for a picture smaller than the list's
    // images; a wider bitmap is cut into several images. The index of the first one is returned.
    virtual int Add(TBitmap* Image, TBitmap* Mask);
    virtual int AddIcon(TIcon* Image);
    virtual int AddImage(TCustomImageList* Value, int Index); // -1 when Value has no such image
    virtual void AddImages(TCustomImageList* Value);
    // MaskColor marks the transparent pixels (clDefault: the bitmap's transparent colour; clNone: none).
    virtual int AddMasked(TBitmap* Image, TColor MaskColor);
    virtual void Clear();
    // Index errors raise EInvalidOperation "Invalid ImageList Index" (insertion may be at Count).
    virtual void Delete(int Index);
    virtual void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    virtual void InsertIcon(int Index, TIcon* Image);
    virtual void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
    virtual void Move(int CurIndex, int NewIndex);
    virtual void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    virtual void ReplaceIcon(int Index, TIcon* Image);
    virtual void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    virtual bool Overlay(int ImageIndex, TOverlay Overlay);

    // Change links are told (and OnChange fires) after every change, once after an update bracket.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);

    // The images in a stream: what form files store and the Assign of a whole list uses.
    virtual void ReadData(rtl::TStream* Stream);
    virtual void WriteData(rtl::TStream* Stream);

    void Assign(rtl::TPersistent* Source) override;

    rtl::TNotifyEvent OnChange;

protected:
    virtual void Change();
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled = true);
    void DefineProperties(rtl::TFiler* Filer) override;
    void AssignTo(rtl::TPersistent* Dest) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    void HandleNeeded();
    void FreeHandle();
    void RecreateHandle();
    UINT CreateFlags() const;
    void CheckImage(TGraphic* Image) const;
    void CheckIndex(int Index, bool AllowCount = false) const;
    void MoveLastTo(int Index); // after adding at the end, for the Insert… members

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
    TColorDepth FColorDepth = cdDeviceDependent;
    bool FMasked = true;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    bool FShareImages = false;
    int FAllocBy = 4;
    int FUpdateCount = 0;
    bool FChanged = false;
    std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

} // namespace vcl
