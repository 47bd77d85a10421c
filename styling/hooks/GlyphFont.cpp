// styling/hooks/GlyphFont.cpp
#include "styling/hooks/GlyphFont.h"

#include <memory>

#include "styling/hooks/StyleGraphics.h"
#include "vcl/ResourceStream.h"

namespace styling {

using namespace vcl;

namespace {

uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t(Be16(p)) << 16 | Be16(p + 2); }

} // namespace

rtl::String TrueTypeFamilyName(const uint8_t* Data, size_t Size) {
    if (!Data || Size < 12) return {};
    const size_t tables = Be16(Data + 4);
    if (Size < 12 + tables * 16) return {};
    for (size_t i = 0; i < tables; ++i) {
        const uint8_t* rec = Data + 12 + i * 16;
        if (Be32(rec) != 0x6E616D65) continue; // 'name'
        const size_t offset = Be32(rec + 8), length = Be32(rec + 12);
        if (offset > Size || length > Size - offset || length < 6) return {};
        const uint8_t* name = Data + offset;
        const size_t count = Be16(name + 2), strings = Be16(name + 4);
        if (6 + count * 12 > length || strings > length) return {};
        rtl::String mac;
        for (size_t k = 0; k < count; ++k) {
            const uint8_t* r = name + 6 + k * 12;
            const uint16_t platform = Be16(r), nameId = Be16(r + 6);
            const size_t len = Be16(r + 8), at = strings + Be16(r + 10);
            if (nameId != 1 || at > length || len > length - at) continue;
            const uint8_t* s = name + at;
            if (platform == 3 || platform == 0) { // UTF-16, big-endian
                rtl::String out;
                for (size_t j = 0; j + 1 < len; j += 2) out += QChar(char16_t(Be16(s + j)));
                if (!out.isEmpty()) return out;
            } else if (platform == 1 && mac.isEmpty()) {
                mac = QString::fromLatin1(reinterpret_cast<const char*>(s), qsizetype(len));
            }
        }
        return mac;
    }
    return {};
}

TGlyphFont::TGlyphFont() {
    TResourceStream stream(HInstance, QStringLiteral("glyphfont"), RT_RCDATA);
    DWORD count = 0;
    if (!AddFontMemResourceEx(stream.Memory(), DWORD(stream.Size()), nullptr, &count) || count == 0) {
        const DWORD code = GetLastError() ? GetLastError() : DWORD(ERROR_BAD_FORMAT);
        throw rtl::EOSError(QStringLiteral("System Error. Code: %1.\nThe glyph font does not load").arg(code), code);
    }
    FFamilyName = TrueTypeFamilyName(static_cast<const uint8_t*>(stream.Memory()), size_t(stream.Size()));
    if (FFamilyName.isEmpty()) FFamilyName = QStringLiteral("GlyphFont");
}

void TGlyphFont::DrawChar(HDC DC, char16_t AChar, const TRect& DestRect, int AFontHeight, TColor AColor,
                          TGlyphOrientation, TGlyphAlignment) {
    if (!DC || AFontHeight <= 0 || DestRect.IsEmpty()) return;
    HFONT font = CreateFontW(-AFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH,
                             reinterpret_cast<LPCWSTR>(FFamilyName.utf16()));
    if (!font) return;
    const int saved = SaveDC(DC);
    SelectObject(DC, font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, COLORREF(ColorToRGB(AColor)) & 0xFFFFFF);
    RECT r = DestRect;
    const WCHAR text[1] = {AChar};
    DrawTextW(DC, text, 1, &r, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    RestoreDC(DC, saved);
    DeleteObject(font);
}

void TGlyphFont::DrawChar(HDC DC, char16_t AChar, const TRect& DestRect, TColor AColor, TGlyphOrientation Orientation,
                          TGlyphAlignment ImageAlignment) {
    DrawChar(DC, AChar, DestRect, DestRect.Height(), AColor, Orientation, ImageAlignment);
}

void TGlyphFont::DrawChar(HDC DC, uint16_t ACode, const TRect& DestRect, int AFontHeight, TColor AColor,
                          TGlyphOrientation Orientation, TGlyphAlignment ImageAlignment) {
    DrawChar(DC, char16_t(ACode), DestRect, AFontHeight, AColor, Orientation, ImageAlignment);
}

void TGlyphFont::DrawChar(HDC DC, uint16_t ACode, const TRect& DestRect, TColor AColor, TGlyphOrientation Orientation,
                          TGlyphAlignment ImageAlignment) {
    DrawChar(DC, char16_t(ACode), DestRect, DestRect.Height(), AColor, Orientation, ImageAlignment);
}

HICON TGlyphFont::GetIcon(uint16_t ACode, int Width, int Height, int, int CharY, TColor AColor,
                          TColor ABackColor, TGlyphOrientation Orientation, TGlyphAlignment ImageAlignment) {
    if (Width <= 0 || Height <= 0) return nullptr;
    TBitmap colour;
    colour.SetPixelFormat(pf32bit);
    colour.SetSize(Width, Height);
    colour.Canvas()->Brush()->SetColor(ABackColor);
    colour.Canvas()->FillRect(Rect(0, 0, Width, Height));
    FillBitmapColor(&colour, 0, ABackColor); // the background starts see-through, whatever the fill left
    DrawChar(colour.Canvas()->Handle(), char16_t(ACode), Rect(0, 0, Width, Height), CharY, AColor, Orientation,
             ImageAlignment);
    SetBitmapAlpha(&colour, 255, ABackColor);
    colour.SetAlphaFormat(afDefined);
    HBITMAP mask = CreateBitmap(Width, Height, 1, 1, nullptr);
    ICONINFO info{TRUE, DWORD(Width), DWORD(Height), mask, colour.Handle()};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    return icon;
}

HICON TGlyphFont::GetIcon(uint16_t ACode, int Width, int Height, TColor AColor, TColor ABackColor,
                          TGlyphOrientation Orientation, TGlyphAlignment ImageAlignment) {
    return GetIcon(ACode, Width, Height, Width, Height, AColor, ABackColor, Orientation, ImageAlignment);
}

TGlyphFont* GlyphFont() {
    // Made on first use rather than at start-up: the font needs the GUI, which static
    // initialisation comes before.
    static const std::unique_ptr<TGlyphFont> instance = []() -> std::unique_ptr<TGlyphFont> {
        try {
            return std::make_unique<TGlyphFont>();
        } catch (const rtl::Exception&) {
            return nullptr;
        }
    }();
    return instance.get();
}

} // namespace styling
