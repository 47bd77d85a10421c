// components/FlatHint.cpp
#include "components/FlatHint.h"

namespace components {

TFlatHint::TFlatHint(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FHintFont(std::make_unique<vcl::TFont>()) {
    if (ComponentState().Contains(rtl::csDesigning) || !vcl::Application) return;
    FInstalled = true;
    FPreviousHintClass = vcl::HintWindowClass;
    FPreviousShowHint = vcl::Application->OnShowHint;
    vcl::HintWindowClass = &vcl::MakeHintWindow<TFlatHintWindow>;
    // Toggling makes the application drop the hint window it has, so the next one is of the new class.
    vcl::Application->SetShowHint(!vcl::Application->ShowHint());
    vcl::Application->SetShowHint(!vcl::Application->ShowHint());
    vcl::Application->OnShowHint = vcl::TShowHintEvent(this, &TFlatHint::GetHintInfo);
    vcl::Application->SetHintShortPause(25);
    vcl::Application->SetHintPause(500);
    vcl::Application->SetHintHidePause(5000);
}

TFlatHint::~TFlatHint() {
    // Leaving the application's event pointing at a freed component would crash the next hint.
    if (!FInstalled) return;
    if (vcl::Application && vcl::Application->OnShowHint == vcl::TShowHintEvent(this, &TFlatHint::GetHintInfo))
        vcl::Application->OnShowHint = FPreviousShowHint;
    if (vcl::HintWindowClass == &vcl::MakeHintWindow<TFlatHintWindow>) vcl::HintWindowClass = FPreviousHintClass;
}

void TFlatHint::GetHintInfo(rtl::String& HintStr, bool& CanShow, vcl::THintInfo& HintInfo) {
    if (OnShowHint) OnShowHint(HintStr, CanShow, HintInfo);
}

void TFlatHint::SetColorByIndex(int Index, vcl::TColor Value) {
    switch (Index) {
    case 0: FBackgroundColor = Value; break;
    case 1: FBorderColor = Value; break;
    case 2: FArrowBackgroundColor = Value; break;
    case 3: FArrowColor = Value; break;
    default: break;
    }
}

TFlatHint* FindFlatHint() {
    if (!vcl::Screen) return nullptr;
    for (int f = 0; f < vcl::Screen->FormCount(); ++f) {
        vcl::TCustomForm* form = vcl::Screen->Forms(f);
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* hint = dynamic_cast<TFlatHint*>(form->Components(i))) return hint;
    }
    return nullptr;
}

void TFlatHintWindow::CreateParams(vcl::TCreateParams& Params) {
    vcl::THintWindow::CreateParams(Params);
    Params.Style &= ~DWORD(WS_BORDER);
}

void TFlatHintWindow::ActivateHint(vcl::TRect Rect, const rtl::String& AHint) {
    SetCaption(AHint);
    FHint = FindFlatHint();
    if (!FHint) return;
    Canvas()->Font()->Assign(FHint->Font());

    RECT r{Rect.Left, Rect.Top, Rect.Left + FHint->MaxHintWidth() - 22, Rect.Bottom};
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, FHint->Font()->Handle());
    const UINT flags = DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX;
    const auto text = reinterpret_cast<LPCWSTR>(AHint.utf16());
    DrawTextW(dc, text, int(AHint.size()), &r, flags);
    DrawTextW(dc, text, int(AHint.size()), &r, flags);
    SelectObject(dc, old);
    DeleteDC(dc);
    r.right += 22;
    r.bottom += 6;
    const int w = r.right - r.left, h = r.bottom - r.top;

    POINT p{0, 0};
    GetCursorPos(&p);
    const bool left = p.x < vcl::Screen->Width() / 2, top = p.y < vcl::Screen->Height() / 2;
    FArrowPos = top ? (left ? NW : NE) : (left ? SW : SE);
    const int g = FArrowPos == NW ? 12 : 5;
    vcl::TRect bounds;
    switch (FArrowPos) {
    case NE: bounds = vcl::TRect(p.x - w - g, p.y + g, p.x - g, p.y + h + g); break;
    case NW: bounds = vcl::TRect(p.x + g, p.y + g, p.x + w + g, p.y + h + g); break;
    case SE: bounds = vcl::TRect(p.x - w - g, p.y - h - g, p.x - g, p.y - g); break;
    case SW: bounds = vcl::TRect(p.x + g, p.y - h - g, p.x + w + g, p.y - g); break;
    }
    // The class library's step places and shows it topmost without activating it, and marks it active
    // so that a key or a click takes it away.
    vcl::THintWindow::ActivateHint(bounds, AHint);
}

void TFlatHintWindow::Paint() {
    if (!FHint) return;
    const vcl::TRect client = ClientRect();
    const int L = client.Left, T = client.Top, R = client.Right, B = client.Bottom;
    const bool east = FArrowPos == NE || FArrowPos == SE;
    const vcl::TRect arrowBox = east ? vcl::TRect(R - 15, T + 1, R - 1, B - 1) : vcl::TRect(L + 1, T + 1, L + 15, B - 1);
    const vcl::TRect textBox = east ? vcl::TRect(L + 1, T + 1, R - 15, B - 1) : vcl::TRect(L + 15, T + 1, R - 1, B - 1);
    vcl::TCanvas* c = Canvas();
    c->Brush()->SetStyle(vcl::bsSolid);
    c->Brush()->SetColor(FHint->ColorArrowBackground());
    c->FillRect(arrowBox);
    c->Brush()->SetColor(FHint->ColorBackground());
    c->FillRect(textBox);
    c->Brush()->SetColor(FHint->ColorBorder());
    c->FrameRect(client);

    const bool north = FArrowPos == NE || FArrowPos == NW;
    FArrowPoint = vcl::TPoint(east ? arrowBox.Right - 3 : arrowBox.Left + 2, north ? arrowBox.Top + 2 : arrowBox.Bottom - 3);
    // The arrow of the top-right corner; the other corners mirror it.
    static constexpr int Offsets[18][2] = {{0, 0},  {0, 6},  {-1, 6}, {-1, 0}, {-6, 0}, {-6, 1},
                                           {-2, 1}, {-2, 4}, {-5, 7}, {-6, 7}, {-3, 4}, {-3, 3},
                                           {-6, 6}, {-7, 6}, {-3, 2}, {-4, 2}, {-7, 5}, {-7, 6}};
    const int sx = east ? 1 : -1, sy = north ? 1 : -1;
    std::vector<vcl::TPoint> points;
    for (const auto& o : Offsets) points.emplace_back(FArrowPoint.X + sx * o[0], FArrowPoint.Y + sy * o[1]);
    c->Pen()->SetColor(FHint->ColorArrow());
    c->Pen()->SetStyle(vcl::psSolid);
    c->Pen()->SetWidth(1);
    c->Polyline(points);

    c->Font()->Assign(FHint->Font());
    c->Brush()->SetStyle(vcl::bsClear);
    vcl::TRect tr(textBox.Left + 3, textBox.Top + 1, textBox.Right - 3, textBox.Bottom - 1);
    rtl::String text = Caption();
    c->TextRect(tr, text, vcl::TTextFormat{vcl::tfWordBreak, vcl::tfNoPrefix});
}

} // namespace components
