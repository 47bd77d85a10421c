// A small 32-bit top-down DIB selected into a memory DC, with pixel access for assertions.
#pragma once

#include "win/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wintest {

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255)) : w(width), h(height) {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = width;
        bmi.bmiHeader.biHeight = -height;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        bm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bm);
        Fill(fill);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bm);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF c) {
        for (int i = 0; i < w * h; ++i)
            bits[i] = uint32_t(GetBValue(c)) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetRValue(c)) << 16;
    }
    COLORREF At(int x, int y) const {
        const uint32_t v = bits[y * w + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    uint32_t Raw(int x, int y) const { return bits[y * w + x]; }
    // Rows of characters: `on` where the pixel has colour c, '.' elsewhere.
    std::string Map(COLORREF c, char on = '#') const {
        std::string s;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) s += At(x, y) == c ? on : '.';
            s += '\n';
        }
        return s;
    }
    std::vector<uint32_t> Pixels() const { return std::vector<uint32_t>(bits, bits + w * h); }

    int w, h;
    HDC dc = nullptr;
    HBITMAP bm = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
};

// Selects an object for the scope and deletes it afterwards.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(obj_);
    }

private:
    HDC dc_;
    HGDIOBJ obj_;
    HGDIOBJ old_;
};

inline std::string Rows(std::initializer_list<const char*> rows) {
    std::string s;
    for (const char* r : rows) {
        s += r;
        s += '\n';
    }
    return s;
}

} // namespace wintest
