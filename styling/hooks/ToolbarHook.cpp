// styling/hooks/ToolbarHook.cpp: toolbars painted whole in the style, button by button.
#include "styling/hooks/ComCtrlHooks.h"

#include <algorithm>

namespace styling {

using namespace vcl;

using TSysToolbarButton = TSysToolbarStyleHook::TSysToolbarButton;

namespace {

constexpr int TextBufferLength = 255;

// R's size centred in Bounds.
TRect Centred(int W, int H, const TRect& Bounds) {
    TRect r(0, 0, W, H);
    r.Offset(Bounds.Left + (Bounds.Width() - W) / 2, Bounds.Top + (Bounds.Height() - H) / 2);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// buttons

TSysToolbarButton::TSysToolbarButton(TSysControl* SysParent, int Index) : FParent(SysParent), FIndex(Index) {
    UpdateButtonInfo();
}

void TSysToolbarButton::UpdateButtonInfo() {
    const HWND h = FParent->Handle();
    TBBUTTON button{};
    SendMessageW(h, TB_GETBUTTON, WPARAM(FIndex), reinterpret_cast<LPARAM>(&button));
    WCHAR buffer[TextBufferLength + 1] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof(TBBUTTONINFOW);
    info.dwMask = TBIF_IMAGE | TBIF_TEXT | TBIF_STATE | TBIF_STYLE;
    info.pszText = buffer;
    info.cchText = TextBufferLength;
    info.iImage = -1;
    SendMessageW(h, TB_GETBUTTONINFOW, WPARAM(button.idCommand), reinterpret_cast<LPARAM>(&info));
    // The text message takes no buffer length: ask for the length first, and read a longer text into
    // a buffer of its own length before cutting it to ours.
    const LRESULT length = SendMessageW(h, TB_GETBUTTONTEXTW, WPARAM(button.idCommand), 0);
    if (length > 0) {
        std::vector<WCHAR> text(size_t(std::max<LRESULT>(length, TextBufferLength)) + 1, 0);
        SendMessageW(h, TB_GETBUTTONTEXTW, WPARAM(button.idCommand), reinterpret_cast<LPARAM>(text.data()));
        text.back() = 0;
        const size_t n = std::min<size_t>(std::find(text.begin(), text.end(), u'\0') - text.begin(), TextBufferLength);
        FText = QString::fromUtf16(text.data(), qsizetype(n));
    } else if (length == 0) {
        FText.clear();
    } else {
        buffer[TextBufferLength] = 0;
        FText = QString::fromUtf16(buffer);
    }
    FImageIndex = info.iImage;
    if (info.fsState & TBSTATE_ENABLED) FState.Include(bsEnabled);
    if (info.fsState & TBSTATE_PRESSED) FState.Include(bsPressed);
    if (info.fsState & TBSTATE_CHECKED) FState.Include(bsChecked);
    if (info.fsState & TBSTATE_HIDDEN) FState.Include(bsHidden);
    FStyle.Include(bsBtn);
    if (button.fsStyle & BTNS_SEP) FStyle.Include(bsSep);
    if (button.fsStyle & BTNS_CHECK) FStyle.Include(bsCheck);
    if (button.fsStyle & BTNS_GROUP) FStyle.Include(bsGroup);
    if ((button.fsStyle & BTNS_CHECKGROUP) == BTNS_CHECKGROUP) FStyle.Include(bsCheckGroup);
    if (button.fsStyle & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)) FStyle.Include(bsDropDown);
}

TRect TSysToolbarButton::ButtonRect() const {
    RECT r{};
    if (!SendMessageW(FParent->Handle(), TB_GETITEMRECT, WPARAM(FIndex), reinterpret_cast<LPARAM>(&r)))
        return TRect(0, 0, 0, 0);
    return TRect(r);
}

int TSysToolbarButton::DropDownWidth() const {
    RECT r{};
    if (!SendMessageW(FParent->Handle(), TB_GETITEMDROPDOWNRECT, WPARAM(FIndex), reinterpret_cast<LPARAM>(&r)))
        return 15;
    return r.right - r.left;
}

// ---------------------------------------------------------------------------------------------------
// the toolbar

TSysToolbarStyleHook::TSysToolbarStyleHook(HWND AHandle) : TMouseTrackSysControlStyleHook(AHandle) {
    SetStyleElements(TStyleElements{seFont, seClient});
    FOverrideEraseBkgnd = false;
}

TSysToolbarStyleHook::~TSysToolbarStyleHook() = default;

int TSysToolbarStyleHook::ButtonCount() const { return int(SendMessageW(FHandle, TB_BUTTONCOUNT, 0, 0)); }

TSysToolbarButton* TSysToolbarStyleHook::GetItem(int Index) {
    if (Index < 0 || Index >= ButtonCount()) return nullptr;
    FSysToolbarButton.reset();
    FSysToolbarButton = std::make_unique<TSysToolbarButton>(FSysControl.get(), Index);
    return FSysToolbarButton.get();
}

void TSysToolbarStyleHook::Paint(TCanvas* Canvas) {
    auto wrap = [](HIMAGELIST List) {
        auto images = std::make_unique<TImageList>(nullptr);
        images->SetShareImages(true);  // the toolbar keeps its list
        images->SetHandle(List);
        return images;
    };
    if (auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, TB_GETIMAGELIST, 0, 0)); list && !FImages) {
        FImages = wrap(list);
        FImages->SetBkColor(clNone);
    }
    if (auto list = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, TB_GETDISABLEDIMAGELIST, 0, 0));
        list && !FDisabledImages)
        FDisabledImages = wrap(list);

    const int w = FSysControl->Width(), h = FSysControl->Height();
    auto bitmap = std::make_unique<TBitmap>(w, h);
    TCanvas* c = bitmap->Canvas();
    DrawParentBackground(c->Handle());
    const UINT noPrefix = (FSysControl->Style() & 0x20) ? DT_NOPREFIX : 0;
    if (!IsFlat() && !IsTransparent()) {
        TCustomStyleServices* style = StyleServices();
        const TThemedElementDetails details = style->GetElementDetails(teToolBar, 0, 0);
        if (style->HasTransparentParts(details)) DrawParentBackground(c->Handle());
        style->DrawElement(c->Handle(), details, TRect(0, 0, w, h));
    }
    FButtonsPainted = false;
    const int count = ButtonCount();
    for (int i = 0; i < count; ++i) {
        TSysToolbarButton* b = GetItem(i);
        if (!b) break;
        if (i == count - 1) FButtonsPainted = true;
        if (b->State().Contains(bsHidden)) continue;
        PaintButton(c, *b, noPrefix);
    }
    Canvas->Draw(0, 0, bitmap.get());
}

void TSysToolbarStyleHook::PaintButton(TCanvas* Canvas, TSysToolbarButton& B, UINT NoPrefix) {
    TCustomStyleServices* style = StyleServices();
    const HDC dc = Canvas->Handle();
    const TRect br = B.ButtonRect();
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(FHandle, &cursor);
    const bool hot = FMouseInControl && br.Contains(TPoint(cursor.x, cursor.y));
    const bool enabled = B.State().Contains(bsEnabled);
    const bool pressed = B.State().Contains(bsPressed), checked = B.State().Contains(bsChecked);

    TThemedToolBar element = enabled ? ttbButtonNormal : ttbButtonDisabled;
    if (hot && enabled) element = ttbButtonHot;
    if (pressed && enabled) element = ttbButtonPressed;
    if (checked) element = ttbButtonChecked;

    if (B.Style().Contains(bsSep)) {
        style->DrawElement(dc, style->GetElementDetails(ttbSeparatorNormal), br);
        return;
    }
    if (IsFlat()) {
        DrawParentBackground(dc, &br);
        if ((hot || pressed || checked) && enabled) style->DrawElement(dc, style->GetElementDetails(element), br);
    } else {
        style->DrawElement(dc, style->GetElementDetails(element), br);
    }

    const int iw = FImages ? FImages->Width() : 0, ih = FImages ? FImages->Height() : 0;
    TRect image = Centred(iw, ih, br);
    if (B.Style().Contains(bsDropDown)) {
        const int dw = B.DropDownWidth();
        const TRect d(br.Right - dw, br.Top, br.Right, br.Bottom);
        TThemedToolBar glyph = enabled ? ttbDropDownButtonGlyphNormal : ttbDropDownButtonGlyphDisabled;
        if (hot && enabled) glyph = ttbDropDownButtonGlyphHot;
        if (pressed && enabled) glyph = ttbDropDownButtonGlyphPressed;
        style->DrawElement(dc, style->GetElementDetails(glyph), d);
        image = Centred(iw, ih, TRect(br.Left, br.Top, br.Right - dw, br.Bottom));
        image.Left += 2;
    }

    const rtl::String& text = B.Text();
    auto measure = [&](UINT Flags) {
        RECT r{0, 0, 0, 0};
        DrawTextW(dc, reinterpret_cast<LPCWSTR>(text.utf16()), int(text.size()), &r, Flags | DT_CALCRECT);
        return TRect(r);
    };
    if (IsWrapable()) {
        if (TextShown() && !IsList()) image.Offset(0, -measure(DT_CENTER).Height());
    } else if (IsList()) {
        const int tw = TextShown() ? measure(DT_CENTER | NoPrefix).Width() : 0;
        TRect inner = br;
        inner.Right -= tw + 2;
        image = Centred(iw, ih, inner);
    }

    if (B.ImageIndex() >= 0 && FImages) {
        FImages->SetDrawingStyle(enabled ? dsNormal : dsSelected);
        FImages->Draw(Canvas, image.Left, image.Top, B.ImageIndex(), true);
    }

    if (!TextShown() || text.isEmpty()) return;
    const bool noImage = image.Width() == 0 || B.ImageIndex() < 0;
    const TThemedElementDetails details = style->GetElementDetails(element);
    if (IsList()) {
        TRect t = noImage ? br : TRect(image.Right + 2, br.Top, br.Right, br.Bottom);
        TTextFormat format{tfLeft, tfCenter, tfSingleLine, tfVerticalCenter};
        if (NoPrefix) format.Include(tfNoPrefix);
        style->DrawText(dc, details, text, t, format, clNone);
    } else {
        const TRect t = noImage ? br : TRect(br.Left, image.Bottom, br.Right, br.Bottom);
        DrawTextCentered(dc, details, t, text, NoPrefix);
    }
}

} // namespace styling
