// Icons, .ico files and image lists.
#include "Canvas.h"

#include <QByteArray>
#include <QFile>

#include <cstring>

using wintest::Canvas;

namespace {

// A 32-bit colour DIB with alpha and a blank monochrome mask: an alpha icon as the program builds it.
HICON AlphaIcon(int w, int h, uint32_t argb) {
    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; i < w * h; ++i) static_cast<uint32_t*>(bits)[i] = argb;
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(color); // the icon keeps copies
    DeleteObject(mask);
    return icon;
}

TEST(Icons, AlphaIconBlendsOverTheBackground) {
    HICON icon = AlphaIcon(2, 2, 0x80FF0000); // half-transparent red, straight alpha
    ASSERT_TRUE(icon);
    Canvas c(4, 4, RGB(0, 0, 255));
    ASSERT_TRUE(DrawIconEx(c.dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.At(1, 1), RGB((255 * 128 + 127) / 255, 0, (255 * 127 + 127) / 255));
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.At(3, 3), RGB(0, 0, 255));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
}

TEST(Icons, MaskedIconLeavesMaskedPixelsAndReturnsCopiesOfItsBitmaps) {
    Canvas colour(2, 1, RGB(0, 255, 0));
    const BYTE maskRows[2] = {0x40, 0}; // second pixel transparent
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, maskRows);
    ICONINFO ii{TRUE, 0, 0, mask, colour.bm};
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(mask);
    Canvas c(2, 1, RGB(9, 9, 9));
    DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.At(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(c.At(1, 0), RGB(9, 9, 9));
    ICONINFO out{};
    ASSERT_TRUE(GetIconInfo(icon, &out));
    EXPECT_TRUE(out.fIcon);
    BITMAP bm{};
    GetObjectW(out.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(out.hbmColor)); // the caller owns both
    EXPECT_TRUE(DeleteObject(out.hbmMask));
    HICON big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 4, 2, 0));
    Canvas c2(4, 2, RGB(9, 9, 9));
    DrawIconEx(c2.dc, 0, 0, big, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c2.At(0, 0), RGB(0, 255, 0));
    DestroyIcon(big);
    DestroyIcon(icon);
}

// A one-image .ico file: a 2×2 32-bit DIB with its AND mask.
QByteArray IcoFile(uint32_t argb) {
    QByteArray dib;
    BITMAPINFOHEADER h{sizeof(BITMAPINFOHEADER), 2, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    dib.append(reinterpret_cast<const char*>(&h), sizeof h);
    for (int i = 0; i < 4; ++i) dib.append(reinterpret_cast<const char*>(&argb), 4);
    dib.append(QByteArray(8, '\0')); // mask rows of 4 bytes
    QByteArray file;
    const uint16_t head[3] = {0, 1, 1};
    file.append(reinterpret_cast<const char*>(head), 6);
    const uint8_t entry[8] = {2, 2, 0, 0, 1, 0, 32, 0};
    file.append(reinterpret_cast<const char*>(entry), 8);
    const uint32_t size = uint32_t(dib.size()), offset = 22;
    file.append(reinterpret_cast<const char*>(&size), 4);
    file.append(reinterpret_cast<const char*>(&offset), 4);
    return file + dib;
}

TEST(Icons, LoadsIcoFilesAndRejectsTruncatedOnes) {
    const std::string dir = testing::TempDir();
    const QString good = QString::fromStdString(dir + "good.ico"),
                  bad = QString::fromStdString(dir + "bad.ico");
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(IcoFile(0xFF00FF00));
    f.close();
    QFile b(bad);
    ASSERT_TRUE(b.open(QIODevice::WriteOnly));
    b.write(IcoFile(0xFF00FF00).left(30));
    b.close();
    HICON icon = static_cast<HICON>(
        LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(good.utf16()), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_TRUE(icon);
    Canvas c(2, 2);
    DrawIconEx(c.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.At(1, 1), RGB(0, 255, 0));
    DestroyIcon(icon);
    EXPECT_EQ(LoadImageW(nullptr, reinterpret_cast<LPCWSTR>(bad.utf16()), IMAGE_ICON, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(LoadImageW(nullptr, u"/nonexistent.ico", IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
}

TEST(Icons, SystemIconsComeInTheWantedSize) {
    HICON small = static_cast<HICON>(LoadImageW(nullptr, IDI_INFORMATION, IMAGE_ICON, 16, 16, 0));
    ASSERT_TRUE(small);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(small, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 16);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    Canvas c(16, 16);
    DrawIconEx(c.dc, 0, 0, small, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c.At(0, 0), RGB(255, 255, 255)); // transparent corner
    EXPECT_NE(c.At(8, 3), RGB(255, 255, 255));
    EXPECT_EQ(LoadImageW(nullptr, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, 0), nullptr);
    DestroyIcon(small);
}

TEST(ImageLists, AddReplaceRemoveKeepIndexes) {
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 0, 4);
    ASSERT_TRUE(list);
    HICON red = AlphaIcon(2, 2, 0xFFFF0000), blue = AlphaIcon(4, 4, 0xFF0000FF);
    EXPECT_EQ(ImageList_AddIcon(list, red), 0);
    EXPECT_EQ(ImageList_AddIcon(list, blue), 1); // scaled to the list's size
    DestroyIcon(red);                            // the list keeps its own copy
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(list, &cx, &cy);
    EXPECT_EQ(cx, 2);
    Canvas c(4, 2);
    ASSERT_TRUE(ImageList_Draw(list, 0, c.dc, 0, 0, ILD_NORMAL));
    ASSERT_TRUE(ImageList_Draw(list, 1, c.dc, 2, 0, ILD_TRANSPARENT));
    EXPECT_EQ(c.At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(c.At(3, 1), RGB(0, 0, 255));
    EXPECT_FALSE(ImageList_Draw(list, 2, c.dc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(ImageList_ReplaceIcon(list, 0, blue), 0);
    HICON got = ImageList_GetIcon(list, 0, ILD_NORMAL);
    Canvas c2(2, 2);
    DrawIconEx(c2.dc, 0, 0, got, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(c2.At(0, 0), RGB(0, 0, 255));
    DestroyIcon(got);
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 1);
    EXPECT_TRUE(ImageList_RemoveAll(list));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
    DestroyIcon(blue);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(ImageLists, MaskedAddAndSelectedBlend) {
    HIMAGELIST list = ImageList_Create(2, 1, ILC_COLOR24 | ILC_MASK, 0, 1);
    Canvas strip(4, 1, RGB(255, 0, 255));
    SetPixel(strip.dc, 1, 0, RGB(0, 0, 0));
    SetPixel(strip.dc, 3, 0, RGB(0, 200, 0));
    SelectObject(strip.dc, strip.old); // a bitmap is read while selected nowhere
    EXPECT_EQ(ImageList_AddMasked(list, strip.bm, RGB(255, 0, 255)), 0); // two images from one strip
    strip.old = SelectObject(strip.dc, strip.bm);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    Canvas c(2, 1, RGB(50, 50, 50));
    ImageList_Draw(list, 1, c.dc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(c.At(0, 0), RGB(50, 50, 50));
    EXPECT_EQ(c.At(1, 0), RGB(0, 200, 0));
    ImageList_DrawEx(list, 1, c.dc, 0, 0, 0, 0, CLR_NONE, RGB(0, 0, 200), ILD_BLEND50);
    EXPECT_EQ(c.At(1, 0), RGB(0, 100, 100));
    ImageList_Destroy(list);
}

} // namespace
