#include "controls/RgClasses6.h"

#include "controls/RgSharedDraw.h"
#include "rtl/SysUtils.h"
#include "vcl/Forms.h"

#include <array>

namespace controls {

namespace {

using TScheme6 = std::array<vcl::TColor, 19>;
// Schemes 1 to 5; row 0 is never filled.
constexpr std::array<TScheme6, 6> kSchemes6 = {{
    {},
    {0xFFFFFF, 0xE0F0D3, 0xB7D59F, 0xA0BF86, 0xABABAB, 0x679443, 0xE1E1E1, 0xDCE4FC, 0x467321, 0xFFFFFF, 0xE0F0D3,
     0x000000, 0xFFFFFF, 0x467321, 0x679443, 0x32630A, 0xFFFFFF, 0xB0CC99, 0xB5ACA5},
    {0xFFFFFF, 0xF7E6CD, 0xF0D6B1, 0xE0C092, 0xABABAB, 0xD48D2A, 0xE1E1E1, 0xF7E6CD, 0xC67200, 0xFFFFFF, 0xF7E6CD,
     0x000000, 0xFFFFFF, 0xC67200, 0xD48A2A, 0xB06700, 0xFFFFFF, 0x00FF00, 0xB5ACA5},
    {0xFFFFFF, 0xDCE4FC, 0xB6CDFC, 0x9DBAF5, 0xABABAB, 0x9DBAF5, 0xE1E1E1, 0xDCE4FC, 0x2647D2, 0xFFFFFF, 0xDCE4FC,
     0x000000, 0xFFFFFF, 0x2647D2, 0x3E62F0, 0x1D3BB8, 0xFFFFFF, 0x00FF00, 0xB5ACA5},
    {0xFFFFFF, 0xF2E1D5, 0xF2D5C2, 0xE3BDA3, 0xABABAB, 0xB56D3E, 0xE1E1E1, 0xF2E1D5, 0x9A572B, 0xFFFFFF, 0xF2E1D5,
     0x000000, 0xFFFFFF, 0x9A572B, 0xB56D3E, 0x8A4719, 0xFFFFFF, 0xD9B298, 0xB5ACA5},
    {0x553929, 0xBFF4FD, 0x9DF2FF, 0x9DF2FF, 0x65C3E5, 0x65C3E5, 0xE1E1E1, 0xBFF4FD, 0x553929, 0x6F4E36, 0x99715B,
     0xFFFFFF, 0xF4FCFF, 0xCC7A00, 0xD69533, 0x975A00, 0xFFFFFF, 0xFFFFFF, 0xB5ACA5},
}};
constexpr int kCurrentScheme6 = 2;

} // namespace

vcl::TColor GetSchemeColor6(int Index, int Scheme) {
    if (Scheme == 0) Scheme = kCurrentScheme6;
    // Out of the table is black, as the table's unfilled row is.
    if (Index < 0 || Index >= 19 || Scheme < 0 || Scheme > 5) return vcl::clBlack;
    return kSchemes6[Scheme][Index];
}

void DrawText6(vcl::TCanvas* Canvas, vcl::TRect R, vcl::TAlignment HorzAlign, TVerticalAlignment VertAlign,
               const rtl::String& Text, int EllipsisMode, bool ProcessPrefix) {
    UINT flags = DT_EXTERNALLEADING | DT_SINGLELINE;
    if (!ProcessPrefix) flags |= DT_NOPREFIX;
    if (VertAlign == taAlignBottom) flags |= DT_BOTTOM;
    if (VertAlign == taVerticalCenter) flags |= DT_VCENTER;
    static constexpr UINT kEllipsis[] = {0, DT_END_ELLIPSIS, DT_PATH_ELLIPSIS, DT_WORD_ELLIPSIS};
    if (EllipsisMode >= 0 && EllipsisMode <= 3) flags |= kEllipsis[EllipsisMode];
    if (HorzAlign == vcl::taRightJustify) flags |= DT_RIGHT;
    if (HorzAlign == vcl::taCenter) flags |= DT_CENTER;
    Canvas->Brush()->SetStyle(vcl::bsClear);
    RECT r = R;
    DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), static_cast<int>(Text.size()), &r, flags);
    Canvas->Brush()->SetStyle(vcl::bsSolid);
}

vcl::TSize GetTextSize6(vcl::TCanvas* Canvas, const rtl::String& Text, bool NoPrefix) {
    RECT r{0, 0, 0, 0};
    DrawTextW(Canvas->Handle(), reinterpret_cast<LPCWSTR>(Text.utf16()), static_cast<int>(Text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | (NoPrefix ? DT_NOPREFIX : 0));
    return vcl::TSize{r.right - r.left, r.bottom - r.top};
}

void PaintParentBackground6(vcl::TControl* Control, vcl::TCanvas* Canvas) { PaintParentBackground(Control, Canvas); }

void ClipCanvasToRect6(vcl::TCanvas* Canvas, const vcl::TRect& R) {
    HDC dc = Canvas->Handle();
    POINT org{};
    GetWindowOrgEx(dc, &org);
    HRGN rgn = CreateRectRgn(R.Left - org.x, R.Top - org.y, R.Right - org.x, R.Bottom - org.y);
    SelectClipRgn(dc, rgn);
    DeleteObject(rgn);
}

int ScaleValue6(int V) { return V * (vcl::Screen ? vcl::Screen->PixelsPerInch() / 72 : 1); }

vcl::TPoint ScalePoint6(const vcl::TPoint& P) { return vcl::TPoint(ScaleValue6(P.X), ScaleValue6(P.Y)); }

rtl::Char TRgFormatSettings::DateSeparator() { return rtl::FormatSettings.DateSeparator; }
rtl::Char TRgFormatSettings::DecimalSeparator() { return rtl::FormatSettings.DecimalSeparator; }
rtl::Char TRgFormatSettings::ListSeparator() { return rtl::FormatSettings.ListSeparator; }
rtl::String TRgFormatSettings::LongTimeFormat() { return rtl::FormatSettings.LongTimeFormat; }
rtl::Char TRgFormatSettings::TimeSeparator() { return rtl::FormatSettings.TimeSeparator; }

} // namespace controls
