// skins/SkItem.cpp: the skinned bars' shared resources and the bitmap hint window.
#include "skins/SkItem.h"

#include "skins/SkBars.h"
#include "vcl/Themes.h"

#include "vcl/ResourceStream.h"

#include <memory>

namespace skins {

using namespace vcl;

namespace {

struct TSkItemResources {
    std::unique_ptr<TFont> Font = std::make_unique<TFont>();
    std::unique_ptr<TBitmap> HintBitmap = std::make_unique<TBitmap>();
    std::unique_ptr<TImageList> TitleImages;
};

std::unique_ptr<TSkItemResources>& Resources() {
    static std::unique_ptr<TSkItemResources> resources;
    return resources;
}

HCURSOR LoadCustomizeCursor(const char16_t* Name, LPCWSTR Fallback) {
    // The program's own cursor when it carries one, else the nearest system shape.
    HCURSOR cursor = LoadCursorW(HInstance, reinterpret_cast<LPCWSTR>(Name));
    return cursor ? cursor : LoadCursorW(nullptr, Fallback);
}

} // namespace

void InitSkItemResources() {
    auto& slot = Resources();
    if (slot) return;
    slot = std::make_unique<TSkItemResources>();
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        slot->Font->SetHandle(CreateFontIndirectW(&metrics.lfSmCaptionFont));
    if (Screen) {
        Screen->SetCursors(crSkinHandPoint, LoadCursorW(nullptr, IDC_HAND));
        Screen->SetCursors(crCustomizeMove, LoadCustomizeCursor(u"CZMOVE", IDC_SIZEALL));
        Screen->SetCursors(crCustomizeCancel, LoadCustomizeCursor(u"CZCANCEL", IDC_NO));
    }
    slot->TitleImages = std::make_unique<TImageList>(nullptr);
    // A plain style hook for the skinned floating frame, once for the process.
    static const bool hookRegistered = [] {
        TCustomStyleEngine::RegisterStyleHook<TSkFloatingWindowParent, TStyleHook>();
        return true;
    }();
    (void)hookRegistered;
}

void FinalizeSkItemResources() { Resources().reset(); }

TFont* SmallCaptionFont() {
    InitSkItemResources();
    return Resources()->Font.get();
}

TBitmap* StockHintBitmap() {
    InitSkItemResources();
    return Resources()->HintBitmap.get();
}

TCustomImageList* TitleButtonImages() {
    InitSkItemResources();
    return Resources()->TitleImages.get();
}

// ---------------------------------------------------------------------------------------------------
// TBitmapHint

TBitmapHint::TBitmapHint(rtl::TComponent* AOwner) : THintWindow(AOwner) {}

void TBitmapHint::ActivateHintData(const TRect& Rect, const rtl::String& AHint, void* AData) {
    FHintBitmap = static_cast<TBitmap*>(AData);
    TRect r = Rect;
    if (FHintBitmap) {
        r.Right = r.Left + FHintBitmap->Width() - 2;
        r.Bottom = r.Top + FHintBitmap->Height() - 2;
    }
    THintWindow::ActivateHintData(r, AHint, AData);
}

void TBitmapHint::Paint() {
    if (FHintBitmap) Canvas()->Draw(0, 0, FHintBitmap);
}

void TBitmapHint::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_TEXTCHANGED) return;   // the bitmap, not the text, gives the size
    THintWindow::Dispatch(Message);
}

} // namespace skins
