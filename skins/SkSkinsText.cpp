// skins/SkSkinsText.cpp: caption drawing, measuring and layout of the skinned controls.
#include "skins/SkSkinsText.h"

#include "skins/SkSkinsPaint.h"

#include "win/windows.h"

#include <algorithm>

namespace skins {

using namespace vcl;

namespace {

constexpr int WP_CAPTION = 1, CS_ACTIVE = 1;
const String Ellipsis = QStringLiteral("...");

LPCWSTR Wide(const String& S) { return reinterpret_cast<LPCWSTR>(S.utf16()); }

TSize Extent(HDC DC, const String& S) {
    SIZE size{0, 0};
    GetTextExtentPoint32W(DC, Wide(S), int(S.size()), &size);
    return TSize{int(size.cx), int(size.cy)};
}

bool FontExists(HDC DC, const String& Face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::u16string face = Face.left(LF_FACESIZE - 1).toStdU16String();
    std::copy(face.begin(), face.end(), lf.lfFaceName);
    bool found = false;
    EnumFontFamiliesExW(
        DC, &lf,
        [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM Found) -> int {
            *reinterpret_cast<bool*>(Found) = true;
            return 0;
        },
        LPARAM(&found), 0);
    return found;
}

int WindowsMajorVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExW(&info) ? int(info.dwMajorVersion) : 0;
}

// The rectangle turned round its diagonal: x and y swap.
TRect Transposed(const TRect& R) { return TRect(R.Top, R.Left, R.Bottom, R.Right); }

constexpr UINT EllipsisFlags = DT_END_ELLIPSIS | DT_PATH_ELLIPSIS;

} // namespace

// ---------------------------------------------------------------------------------------------------
// Text helpers

TSize GetTextExtent(HDC DC, const String& Text, bool StripAccelerators) {
    return Extent(DC, StripAccelerators ? RemoveAccelMarkers(Text) : Text);
}

TSize GetControlTextSize(TControl* AControl, TFont* AFont, const String& Text) {
    TControlCanvas canvas;
    canvas.SetControl(AControl);
    canvas.Font()->Assign(AFont);
    const TSize size = canvas.TextExtent(Text);
    canvas.FreeHandle();
    return size;
}

int GetFontTextHeight(TControl* AControl, TFont* AFont) {
    return GetControlTextSize(AControl, AFont, QStringLiteral("WQqJ")).cy;
}

String RemoveAccelMarkers(const String& S) {
    String result = S;
    for (qsizetype i = 0; i < result.size(); ++i)
        if (result[i] == u'&') result.remove(i, 1);   // the character after it is kept unexamined
    return result;
}

String CutAtTab(const String& S) {
    const qsizetype tab = S.indexOf(u'\t');
    return tab < 0 ? S : S.left(tab);
}

String TrimCaptionTail(const String& S) {
    if (S.size() > 1 && S.endsWith(u':')) return S.left(S.size() - 1);
    if (S.size() > 3 && S.endsWith(Ellipsis)) return S.left(S.size() - 3);
    return S;
}

// ---------------------------------------------------------------------------------------------------
// Rotated text

HFONT CreateRotatedFont(HDC DC, int Escapement) {
    LOGFONTW lf{};
    HGDIOBJ current = GetCurrentObject(DC, OBJ_FONT);
    if (!current || GetObjectW(current, sizeof lf, &lf) == 0) return nullptr;
    lf.lfEscapement = Escapement;
    lf.lfOrientation = Escapement;
    lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    String face = QString::fromUtf16(reinterpret_cast<const char16_t*>(lf.lfFaceName));
    if (face.compare(QStringLiteral("MS Sans Serif"), Qt::CaseInsensitive) == 0 ||
        face.compare(QStringLiteral("Microsoft Sans Serif"), Qt::CaseInsensitive) == 0) {
        // The bitmap faces do not turn; a TrueType face of the same cell height stands in.
        face = WindowsMajorVersion() >= 5 ? QStringLiteral("Tahoma") : QStringLiteral("Arial");
        TEXTMETRICW tm{};
        GetTextMetricsW(DC, &tm);
        lf.lfHeight = lf.lfHeight > 0 ? tm.tmHeight : -(tm.tmHeight - tm.tmInternalLeading);
    }
    if (face.size() < 63 && FontExists(DC, QStringLiteral("@") + face)) face.prepend(u'@');
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), 0);
    const std::u16string name = face.left(LF_FACESIZE - 1).toStdU16String();
    std::copy(name.begin(), name.end(), lf.lfFaceName);
    return CreateFontIndirectW(&lf);
}

int DrawRotatedText(HDC DC, const String& Text, TRect& R, UINT Flags, TSkTextRotationAngle Angle) {
    if (Text.isEmpty()) return 0;
    HFONT font = CreateRotatedFont(DC, Angle == tra90 ? 900 : Angle == tra270 ? 2700 : 0);
    HGDIOBJ oldFont = font ? SelectObject(DC, font) : nullptr;
    TEXTMETRICW tm{};
    GetTextMetricsW(DC, &tm);
    const int textHeight = tm.tmHeight;
    const int X = R.Left + (R.Width() - textHeight) / 2;

    // Prefixes: "&&" stands for "&" as in the unturned captions; a single "&" marks the accelerator.
    String text;
    qsizetype accel = -1;
    if (Flags & DT_NOPREFIX) {
        text = Text;
    } else {
        for (qsizetype i = 0; i < Text.size(); ++i) {
            if (Text[i] == u'&' && i + 1 < Text.size()) {
                ++i;
                if (Text[i] != u'&') accel = text.size();
            } else if (Text[i] == u'&') {
                continue;
            }
            text.append(Text[i]);
        }
    }
    if ((Flags & DT_END_ELLIPSIS) && text.size() > 1 && Extent(DC, text).cx > R.Height()) {
        if (R.Height() < 3) {
            text.truncate(1);
        } else {
            while (text.size() > 1 && Extent(DC, text + Ellipsis).cx > R.Height()) text.chop(1);
        }
        if (accel >= text.size()) accel = -1;
        text += Ellipsis;
    }
    const int textWidth = Extent(DC, text).cx;
    if (Flags & DT_CALCRECT) {
        R = TRect(R.Left, R.Top, R.Left + textHeight, R.Top + textWidth);
    } else {
        const int Y = (Flags & DT_CENTER) ? R.Top + (R.Height() - textWidth) / 2 : R.Top;
        const int saved = SaveDC(DC);
        if (!(Flags & DT_NOCLIP)) IntersectClipRect(DC, R.Left, R.Top, R.Right, R.Bottom);
        // Both turns start the text at (X, Y) and fill X .. X + height, Y .. Y + width.
        const UINT oldAlign = SetTextAlign(DC, Angle == tra90 ? TA_RIGHT : TA_BOTTOM);
        TextOutW(DC, X, Y, Wide(text), int(text.size()));
        SetTextAlign(DC, oldAlign);
        if (accel >= 0 && !(Flags & DT_HIDEPREFIX)) {
            const int before = Extent(DC, text.left(accel)).cx;
            const int width = Extent(DC, text.mid(accel, 1)).cx;
            HPEN pen = CreatePen(PS_SOLID, 1, GetTextColor(DC));
            HGDIOBJ oldPen = SelectObject(DC, pen);
            if (Angle == tra90) {
                // Reading upwards the text runs from the bottom and its underside faces right.
                const int x = X + tm.tmAscent + 1;
                MoveToEx(DC, x, Y + textWidth - before, nullptr);
                LineTo(DC, x, Y + textWidth - before - width);
            } else {
                const int x = X + tm.tmDescent - 2;
                MoveToEx(DC, x, Y + before, nullptr);
                LineTo(DC, x, Y + before + width);
            }
            SelectObject(DC, oldPen);
            DeleteObject(pen);
        }
        RestoreDC(DC, saved);
    }
    if (font) {
        SelectObject(DC, oldFont);
        DeleteObject(font);
    }
    return textHeight;
}

// ---------------------------------------------------------------------------------------------------
// Skin text

int DrawSkinText(TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, TSkGlowDirection Glow, TColor GlowColor,
                 TSkTextRotationAngle Angle) {
    const bool measuring = Flags & DT_CALCRECT;
    if (R.IsEmpty() && !measuring) return 0;
    TCanvasColorsSaver saver(ACanvas);
    ACanvas->Brush()->SetStyle(bsClear);
    auto draw = [&](TRect& Where) {
        HDC dc = ACanvas->Handle();
        if (Angle == tra0) {
            RECT rc = Where;
            const int height = DrawTextW(dc, Wide(Text), int(Text.size()), &rc, Flags);
            Where = rc;
            return height;
        }
        return DrawRotatedText(dc, Text, Where, Flags, Angle);
    };
    if (Glow != gldNone && !measuring) {
        const TColor textColor = ACanvas->Font()->Color();
        ACanvas->Font()->SetColor(GlowColor);
        std::vector<TPoint> offsets;
        switch (Glow) {
        case gldAll: offsets = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}}; break;
        case gldTopLeft: offsets = {{-1, -1}}; break;
        default: offsets = {{1, 1}}; break;
        }
        for (const TPoint& o : offsets) {
            TRect r = R;
            r.Offset(o.X, o.Y);
            draw(r);
        }
        ACanvas->Font()->SetColor(textColor);
    }
    const int height = draw(R);
    if (measuring && ACanvas->Font()->Style().Contains(fsItalic)) R.Right += ACanvas->Font()->Size() / 8 * 2 + 1;
    return height;
}

int DrawCompositedText(TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, int GlowSize) {
    HTHEME theme = OpenThemeData(nullptr, u"WINDOW");
    if (!theme) {
        // Without the window theme the text goes on plainly.
        DrawSkinText(ACanvas, Text, R, Flags);
        return R.Height();
    }
    DTTOPTS options{};
    options.dwSize = sizeof options;
    options.dwFlags = DTT_COMPOSITED | DTT_GLOWSIZE | DTT_TEXTCOLOR;
    options.crText = COLORREF(ColorToRGB(ACanvas->Font()->Color()));
    options.iGlowSize = GlowSize;
    if (Flags & DT_CALCRECT) {
        options.dwFlags |= DTT_CALCRECT;
        RECT rc = R;
        DrawThemeTextEx(theme, ACanvas->Handle(), WP_CAPTION, CS_ACTIVE, Wide(Text), -1, Flags, &rc, &options);
        R = rc;
    } else if (!R.IsEmpty()) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(pf32bit);
        bitmap.SetSize(R.Width(), R.Height());
        bitmap.Canvas()->Brush()->SetColor(clBlack);
        bitmap.Canvas()->FillRect(TRect(0, 0, R.Width(), R.Height()));
        bitmap.Canvas()->Font()->Assign(ACanvas->Font());
        RECT rc{0, 0, R.Width(), R.Height()};
        DrawThemeTextEx(theme, bitmap.Canvas()->Handle(), WP_CAPTION, CS_ACTIVE, Wide(Text), -1, Flags, &rc, &options);
        AlphaBlendRect(bitmap.Canvas()->Handle(), ACanvas->Handle(), TRect(0, 0, R.Width(), R.Height()), R, 255, true);
    }
    CloseThemeData(theme);
    return R.Height();
}

int DrawGlassText(TCanvas* ACanvas, const String& Text, TRect& R, UINT Flags, int GlowSize) {
    return DrawCompositedText(ACanvas, Text, R, Flags, GlowSize);
}

// ---------------------------------------------------------------------------------------------------
// Caption layout

int CalcCaptionGlyphLayout(TCanvas* ACanvas, const TRect& ARect, const String& Caption, TAlignment Alignment,
                           UINT& TextFlags, TSize GlyphSize, TSize RightGlyphSize, TSkGlyphLayout Layout, bool Pushed,
                           TRect& CaptionRect, TRect& GlyphRect, TRect& RightGlyphRect, bool Rotated) {
    CaptionRect = GlyphRect = RightGlyphRect = TRect();
    const int GW = GlyphSize.cx, GH = GlyphSize.cy, RW = RightGlyphSize.cx, RH = RightGlyphSize.cy;
    const bool glyph = GW > 0 && GH > 0, rightGlyph = RW > 0 && RH > 0;
    const int spacing = !Caption.isEmpty() && glyph ? 4 : 0, vSpacing = !Caption.isEmpty() && glyph ? 1 : 0;
    const int rightSpacing = !Caption.isEmpty() && rightGlyph ? 4 : 0;
    TextFlags &= ~UINT(DT_CENTER | DT_VCENTER);
    if (Alignment == taRightJustify) TextFlags |= DT_RIGHT;
    const TRect R = Rotated ? Transposed(ARect) : ARect;

    int available = 1;
    if (TextFlags & (DT_WORDBREAK | EllipsisFlags))
        available = Layout == ghlGlyphTop ? R.Width() + 2 : R.Width() - GW - spacing - RW - rightSpacing + 2;
    TSize text{0, 0};
    int height = 0;
    const TSize plain = GetTextExtent(ACanvas->Handle(), Caption, true);
    if (ACanvas->Font()->Style().Contains(fsBold) && !Rotated && (TextFlags & EllipsisFlags) && plain.cx <= available) {
        text = plain;
        height = plain.cy;
    } else {
        TRect calc(0, 0, available, 1);
        height = DrawSkinText(ACanvas, Caption, calc, TextFlags | DT_CALCRECT, gldNone, clNone, tra0);
        text = TSize{calc.Width(), height};
    }

    if (height > 0) {
        const int top = R.Top + (R.Height() - height) / 2;
        const int left = Alignment == taLeftJustify    ? R.Left
                         : Alignment == taRightJustify ? R.Right - text.cx
                                                       : R.Left + (R.Width() - text.cx) / 2;
        CaptionRect = TRect(left, top, left + text.cx, top + height);
        if (Rotated && (TextFlags & EllipsisFlags) && CaptionRect.Right + 8 <= R.Right) CaptionRect.Right += 8;
        if (Pushed) CaptionRect.Offset(1, 1);
    }
    if (glyph) {
        if (Layout == ghlGlyphTop) Alignment = taCenter;
        int dx = 0, dy = 0, left = 0, top = 0;
        if (Alignment == taLeftJustify) {
            left = R.Left;
            dx = GW + spacing;
        } else if (Alignment == taRightJustify) {
            left = R.Right - GW;
            dx = -(GW + spacing);
        } else if (Layout == ghlGlyphTop) {
            left = R.Left + (R.Width() - GW) / 2;
        } else {
            left = R.Left + (R.Width() - GW - spacing - text.cx) / 2;
            dx = (spacing + GW) / 2;
        }
        if (Layout == ghlGlyphTop) {
            top = R.Top + (R.Height() - vSpacing - GH - height) / 2;
            dy = (vSpacing + GH) / 2;
        } else {
            top = R.Top + (R.Height() - GH) / 2;
        }
        GlyphRect = TRect(left, top, left + GW, top + GH);
        if (Pushed) GlyphRect.Offset(1, 1);
        if (height > 0) CaptionRect.Offset(dx, dy);
    }
    if (rightGlyph && Alignment == taLeftJustify) {
        const int top = R.Top + (R.Height() - RH) / 2;
        RightGlyphRect = TRect(R.Right - RW, top, R.Right, top + RH);
        CaptionRect.Right = std::min(CaptionRect.Right, RightGlyphRect.Left - rightSpacing);
    }
    if (Rotated) {
        CaptionRect = Transposed(CaptionRect);
        GlyphRect = Transposed(GlyphRect);
        RightGlyphRect = Transposed(RightGlyphRect);
    }
    return height;
}

} // namespace skins
