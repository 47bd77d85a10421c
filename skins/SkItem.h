// skins/SkItem.h: what the skinned bars share for the whole process: the small caption font, the
// stock hint bitmap the item viewers draw their hints into, the marker image list that stands for the
// built-in title-button glyphs, the customizing cursors, and the hint window that shows a bitmap.
#pragma once
#include "vcl/Controls.h"
#include "vcl/Forms.h"
#include "vcl/Graphics.h"
#include "vcl/ImgList.h"

namespace skins {

constexpr vcl::TCursor crSkinHandPoint = 100;
constexpr vcl::TCursor crCustomizeMove = 101;
constexpr vcl::TCursor crCustomizeCancel = 102;

// The shared objects are made together on the first call of any of these (and the cursors
// registered with the screen); FinalizeSkItemResources frees them, as does the end of the process.
vcl::TFont* SmallCaptionFont();
vcl::TBitmap* StockHintBitmap();
// Empty: an item using it with image index 0..3 is painted as the close, maximize, minimize or
// restore glyph.
vcl::TCustomImageList* TitleButtonImages();
void InitSkItemResources();
void FinalizeSkItemResources();

// A hint window showing a prepared bitmap instead of text; its size comes from the bitmap.
class TBitmapHint : public vcl::THintWindow {
public:
    explicit TBitmapHint(rtl::TComponent* AOwner);

    vcl::TBitmap* HintBitmap() const { return FHintBitmap; }
    // AData is the bitmap (not owned). The window is 2 pixels narrower and lower than the bitmap, from
    // Rect's top-left corner; without a bitmap Rect is used as it is.
    void ActivateHintData(const vcl::TRect& Rect, const rtl::String& AHint, void* AData) override;

protected:
    void Paint() override;
    void Dispatch(vcl::TMessage& Message) override;

private:
    vcl::TBitmap* FHintBitmap = nullptr;
};

} // namespace skins
