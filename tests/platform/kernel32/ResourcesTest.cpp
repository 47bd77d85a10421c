// Resources compiled into the program: the table, the files tw_resources() lays out, and the user
// functions that load icons, cursors and bitmaps from it.
#include "win/windows.h"
#include "win/user32/Icons.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A module of its own for each test that fills a table by hand, so tests do not see each other.
HMODULE FakeModule() {
    static char modules[64];
    static int next = 0;
    return reinterpret_cast<HMODULE>(&modules[next++]);
}

std::string Bytes(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC info = FindResourceW(module, name, type);
    if (!info) return "<missing>";
    const void* data = LockResource(LoadResource(module, info));
    return std::string(static_cast<const char*>(data), SizeofResource(module, info));
}

// ---- the table -------------------------------------------------------------------------------------

TEST(ResourceTable, FindsByNameWithoutCaseAndById) {
    HMODULE m = FakeModule();
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, u"SkMn", "menu", 4, TRUE));
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, MAKEINTRESOURCEW(4003), "roll", 4, TRUE));
    ASSERT_TRUE(TwAddResource(m, u"SKINTEXT", u"main", "text", 4, TRUE));

    EXPECT_EQ(Bytes(m, u"skmn", RT_RCDATA), "menu");
    EXPECT_EQ(Bytes(m, u"SKMN", RT_RCDATA), "menu");
    EXPECT_EQ(Bytes(m, MAKEINTRESOURCEW(4003), RT_RCDATA), "roll");
    EXPECT_EQ(Bytes(m, u"#4003", RT_RCDATA), "roll"); // "#n" names id n
    EXPECT_EQ(Bytes(m, u"MAIN", u"skintext"), "text"); // string types ignore case too
    EXPECT_EQ(Bytes(m, u"main", u"#10"), "<missing>"); // RT_RCDATA, where "main" is not
    EXPECT_EQ(Bytes(m, u"4003", RT_RCDATA), "<missing>"); // a name of digits is a name, not an id
    EXPECT_EQ(FindResourceExW(m, RT_RCDATA, u"skmn", 0x0409), FindResourceW(m, u"skmn", RT_RCDATA));
}

TEST(ResourceTable, MissingResourcesSayWhatIsMissing) {
    HMODULE m = FakeModule();
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, u"SKMN", "x", 1, TRUE));
    struct Case {
        HMODULE module;
        LPCWSTR name, type;
        DWORD error;
    } cases[] = {
        {m, u"SKAU", RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m, MAKEINTRESOURCEW(1), RT_RCDATA, ERROR_RESOURCE_NAME_NOT_FOUND},
        {m, u"SKMN", RT_BITMAP, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {FakeModule(), u"SKMN", RT_RCDATA, ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(FindResourceW(c.module, c.name, c.type), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(LoadResource(m, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(m, reinterpret_cast<HRSRC>(&cases)), 0u); // not a handle of ours
}

TEST(ResourceTable, ReplacingKeepsEarlierBytesReadable) {
    HMODULE m = FakeModule();
    std::string first = "first";
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, u"A", first.data(), DWORD(first.size()), TRUE));
    first = "XXXXX"; // a copy was taken
    HRSRC info = FindResourceW(m, u"A", RT_RCDATA);
    const char* old = static_cast<const char*>(LockResource(LoadResource(m, info)));
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, u"a", "second!", 7, TRUE));
    EXPECT_EQ(FindResourceW(m, u"A", RT_RCDATA), info);
    EXPECT_EQ(Bytes(m, u"A", RT_RCDATA), "second!");
    EXPECT_EQ(std::string(old, 5), "first");
    // An empty resource still loads to a pointer, so "loaded" and "empty" stay apart.
    ASSERT_TRUE(TwAddResource(m, RT_RCDATA, u"EMPTY", nullptr, 0, TRUE));
    HRSRC empty = FindResourceW(m, u"EMPTY", RT_RCDATA);
    EXPECT_NE(LoadResource(m, empty), nullptr);
    EXPECT_EQ(SizeofResource(m, empty), 0u);
}

// ---- files compiled in by tw_resources() -----------------------------------------------------------

TEST(CompiledResources, RawFilesAreRcdataUnderTheProgramModule) {
    const std::string skin("[main]\r\nColor=$00FF8000\r\n\0\xff" "binary tail", 38);
    EXPECT_EQ(Bytes(GetModuleHandleW(nullptr), u"SKMN", RT_RCDATA), skin);
    EXPECT_EQ(Bytes(nullptr, u"skmn", RT_RCDATA), skin); // module 0 is the program
    EXPECT_EQ(Bytes(nullptr, MAKEINTRESOURCEW(4003), u"SKINTEXT"), skin);
}

TEST(CompiledResources, BitmapsLoseTheirFileHeader) {
    HRSRC info = FindResourceW(nullptr, u"HeaderCollapse", RT_BITMAP);
    ASSERT_NE(info, nullptr);
    const auto* dib = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, info)));
    EXPECT_EQ(dib->biSize, 40u);
    EXPECT_EQ(dib->biWidth, 8);
    EXPECT_EQ(dib->biHeight, 7);
    EXPECT_EQ(dib->biBitCount, 24);
    EXPECT_EQ(SizeofResource(nullptr, info), 40u + 7 * 24);
}

TEST(CompiledResources, IconsAreAGroupNamingOnePictureEach) {
    HRSRC group = FindResourceW(nullptr, u"MAINICON", RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, group), 6u + 3 * 14);
    const auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, group)));
    TW_GRPICONDIR head;
    std::memcpy(&head, dir, sizeof head);
    EXPECT_EQ(head.idType, 1);
    ASSERT_EQ(head.idCount, 3);
    const int sizes[] = {16, 32, 48}, depths[] = {32, 24, 32};
    for (int i = 0; i < 3; ++i) {
        TW_GRPICONDIRENTRY e;
        std::memcpy(&e, dir + 6 + i * 14, sizeof e);
        EXPECT_EQ(e.bWidth, sizes[i]);
        EXPECT_EQ(e.wBitCount, depths[i]); // the PNG's depth is filled in, the file left it 0
        HRSRC picture = FindResourceW(nullptr, MAKEINTRESOURCEW(e.nID), RT_ICON);
        ASSERT_NE(picture, nullptr) << i;
        EXPECT_EQ(SizeofResource(nullptr, picture), e.dwBytesInRes);
    }
}

TEST(CompiledResources, CursorPicturesStartWithTheirHotSpot) {
    HRSRC group = FindResourceW(nullptr, u"roll", RT_GROUP_CURSOR);
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, group)));
    TW_GRPCURSORDIRENTRY e;
    std::memcpy(&e, dir + 6, sizeof e);
    EXPECT_EQ(e.wWidth, 32);
    EXPECT_EQ(e.wHeight, 64);
    HRSRC picture = FindResourceW(nullptr, MAKEINTRESOURCEW(e.nID), RT_CURSOR);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, picture), e.dwBytesInRes);
    const auto* bytes = static_cast<const uint16_t*>(LockResource(LoadResource(nullptr, picture)));
    EXPECT_EQ(bytes[0], 5);
    EXPECT_EQ(bytes[1], 7);
}

// Damaged files are refused whole, before anything is read past their end.
TEST(CompiledResources, DamagedIconFilesAreRefused) {
    std::vector<uint8_t> ico = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0, 22, 0, 0, 0};
    ico.resize(30); // 8 bytes of picture where the directory promises 8
    HMODULE m = FakeModule();
    ASSERT_TRUE(TwAddFileResource(m, nullptr, u"OK", TW_RESFILE_ICON, ico.data(), DWORD(ico.size())));
    std::vector<std::vector<uint8_t>> bad;
    bad.push_back({0, 0, 1, 0});                                           // short header
    bad.push_back(ico), bad.back()[4] = 2;                                 // two entries, one there
    bad.push_back(ico), bad.back()[14] = 9;                                // picture runs past the end
    bad.push_back(ico), bad.back()[18] = 0xFF, bad.back()[21] = 0xFF;     // offset far past the end
    bad.push_back(ico), bad.back()[2] = 2;                                 // a cursor, not an icon
    for (size_t i = 0; i < bad.size(); ++i) {
        SetLastError(0);
        EXPECT_FALSE(TwAddFileResource(m, nullptr, u"BAD", TW_RESFILE_ICON, bad[i].data(), DWORD(bad[i].size())))
            << i;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_FORMAT)) << i;
    }
    EXPECT_EQ(FindResourceW(m, u"BAD", RT_GROUP_ICON), nullptr);
    const uint8_t notBmp[] = "XM0123456789abcdefghijklmnopq";
    EXPECT_FALSE(TwAddFileResource(m, nullptr, u"BAD", TW_RESFILE_BITMAP, notBmp, sizeof notBmp));
}

// ---- icons, cursors and bitmaps through user32 -----------------------------------------------------

uint32_t CentrePixel(HICON icon, int* width = nullptr) {
    winuser::IconImage img;
    if (!winuser::ReadIcon(icon, img) || img.Empty()) return 0;
    if (width) *width = img.width;
    return img.argb[size_t(img.height / 2) * size_t(img.width) + size_t(img.width / 2)] & 0xFFFFFF;
}

TEST(ResourceImages, LoadImagePicksTheNearestPictureOfTheGroup) {
    struct Case {
        int cx, cy;
        UINT flags;
        uint32_t rgb;
        int width;
    } cases[] = {
        {16, 16, 0, 0xFF0000, 16},
        {32, 32, 0, 0x0000FF, 32},
        {48, 48, 0, 0x00FF00, 48},           // the PNG picture
        {20, 20, 0, 0xFF0000, 20},           // nearest is 16, scaled up
        {0, 0, LR_DEFAULTSIZE, 0x0000FF, 32}, // the system icon size
        {0, 0, 0, 0x0000FF, 32},              // chosen for the system size, kept at its own
    };
    const HINSTANCE self = GetModuleHandleW(nullptr);
    for (const auto& c : cases) {
        HICON icon = static_cast<HICON>(LoadImageW(self, u"mainicon", IMAGE_ICON, c.cx, c.cy, c.flags));
        ASSERT_NE(icon, nullptr) << c.cx;
        int width = 0;
        EXPECT_EQ(CentrePixel(icon, &width), c.rgb) << c.cx;
        EXPECT_EQ(width, c.width) << c.cx;
        DestroyIcon(icon);
    }
    // The 24-bit picture's mask clears its top-left corner.
    HICON icon = static_cast<HICON>(LoadImageW(self, u"MAINICON", IMAGE_ICON, 32, 32, 0));
    winuser::IconImage img;
    ASSERT_TRUE(winuser::ReadIcon(icon, img));
    EXPECT_TRUE(img.transparent[0]);
    EXPECT_FALSE(img.transparent[size_t(5) * 32 + 5]);
    DestroyIcon(icon);
}

TEST(ResourceImages, LoadIconAndLoadCursorAreSharedPerModuleAndName) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    HICON icon = LoadIconW(self, u"MainIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIconW(self, u"MAINICON"), icon);
    EXPECT_EQ(CentrePixel(icon), 0x0000FFu); // the system icon size is 32

    HCURSOR roll = LoadCursorW(self, u"Roll");
    ASSERT_NE(roll, nullptr);
    EXPECT_EQ(LoadCursorW(self, u"ROLL"), roll);
    EXPECT_EQ(LoadImageW(self, u"roll", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE), roll);
    EXPECT_NE(roll, LoadCursorW(nullptr, IDC_ARROW));

    SetLastError(0);
    EXPECT_EQ(LoadCursorW(self, u"COLUMNNODRAG"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadIconW(self, MAKEINTRESOURCEW(98)), nullptr);
    EXPECT_EQ(LoadImageW(FakeModule(), MAKEINTRESOURCEW(5100), IMAGE_ICON, 16, 16, 0), nullptr);
    // The system's own still come from hInstance 0.
    EXPECT_NE(LoadIconW(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(LoadCursorW(nullptr, IDC_HAND), nullptr);
}

TEST(ResourceImages, BitmapsLoadAsThirtyTwoBitSections) {
    HBITMAP bm = LoadBitmapW(GetModuleHandleW(nullptr), u"headercollapse");
    ASSERT_NE(bm, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(bm, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 7);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bm);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 7, 6), RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bm);
    EXPECT_EQ(LoadImageW(GetModuleHandleW(nullptr), u"NOSUCH", IMAGE_BITMAP, 0, 0, 0), nullptr);
}

// Groups and pictures that do not fit together fail the load instead of reading stray memory.
TEST(ResourceImages, DamagedGroupsFailTheLoad) {
    HMODULE m = FakeModule();
    const uint8_t tooMany[] = {0, 0, 1, 0, 5, 0, 16, 16, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0, 1, 0};
    const uint8_t missingPicture[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0, 77, 0};
    const uint8_t noPicture[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 8, 0, 0, 0, 2, 0};
    const uint8_t hugeDib[] = {40, 0, 0, 0, 0, 4, 0, 0, 0, 8, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0};
    const uint8_t cursorTooShort[] = {0, 0, 2, 0, 1, 0, 32, 0, 64, 0, 1, 0, 32, 0, 2, 0, 0, 0, 3, 0};
    TwAddResource(m, RT_GROUP_ICON, u"TOOMANY", tooMany, sizeof tooMany, TRUE);
    TwAddResource(m, RT_GROUP_ICON, u"MISSING", missingPicture, sizeof missingPicture, TRUE);
    TwAddResource(m, RT_GROUP_ICON, u"HUGE", noPicture, sizeof noPicture, TRUE);
    TwAddResource(m, RT_ICON, MAKEINTRESOURCEW(2), hugeDib, sizeof hugeDib, TRUE);
    TwAddResource(m, RT_GROUP_CURSOR, u"SHORT", cursorTooShort, sizeof cursorTooShort, TRUE);
    TwAddResource(m, RT_CURSOR, MAKEINTRESOURCEW(3), "\x05", 1, TRUE);
    TwAddResource(m, RT_BITMAP, u"HEADERONLY", hugeDib, sizeof hugeDib, TRUE);
    for (LPCWSTR name : {u"TOOMANY", u"MISSING", u"HUGE"})
        EXPECT_EQ(LoadImageW(m, name, IMAGE_ICON, 16, 16, 0), nullptr);
    EXPECT_EQ(LoadCursorW(m, u"SHORT"), nullptr);
    EXPECT_EQ(LoadImageW(m, u"HEADERONLY", IMAGE_BITMAP, 0, 0, 0), nullptr);
}

// ---- modules ---------------------------------------------------------------------------------------

TEST(ModuleFunctions, ResolveOurLibrariesAndRefuseOthers) {
    EXPECT_NE(GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleW(nullptr), GetModuleHandleW(nullptr));
    HMODULE kernel = GetModuleHandleW(u"KERNEL32.DLL");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(kernel, "FindResourceW")),
              reinterpret_cast<void*>(&FindResourceW));
    EXPECT_EQ(LoadLibraryW(u"uxtheme.dll"), GetModuleHandleW(u"uxtheme.dll"));
    EXPECT_TRUE(FreeLibrary(kernel));

    SetLastError(0);
    EXPECT_EQ(GetModuleHandleW(u"explorerframe.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(u"dwmapi.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(kernel, "NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    // By number only what a module gives: uxtheme's 129 is its DPI-aware open, also with the name hidden.
    const HMODULE ux = GetModuleHandleW(u"uxtheme.dll");
    const FARPROC dpiOpen = GetProcAddress(ux, "OpenThemeDataForDpi");
    ASSERT_NE(dpiOpen, nullptr);
    EXPECT_EQ(GetProcAddress(ux, reinterpret_cast<LPCSTR>(129)), dpiOpen);
    TwHideExport(ux, "OpenThemeDataForDpi", TRUE);
    EXPECT_EQ(GetProcAddress(ux, "OpenThemeDataForDpi"), nullptr);
    EXPECT_EQ(GetProcAddress(ux, reinterpret_cast<LPCSTR>(129)), dpiOpen);
    TwHideExport(ux, "OpenThemeDataForDpi", FALSE);
    EXPECT_EQ(GetProcAddress(ux, "OpenThemeDataForDpi"), dpiOpen);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(ux, reinterpret_cast<LPCSTR>(130)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
}

} // namespace
