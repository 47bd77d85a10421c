// Code-page conversions against Python's codecs, and the Win32 contract of the conversion calls.
#include "win/kernel32/modules.h"
#include "win/kernel32/winbase.h"
#include "win/kernel32/winnls.h"

#include "tests/support/Peers.h"

#include <QString>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace {

using testing_support::RunProgram;

const QString Python = QStringLiteral("/usr/bin/python3");

std::u16string Decode(UINT page, const std::string& bytes, DWORD flags = 0) {
    const int n = MultiByteToWideChar(page, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    std::u16string out(size_t(n), u'\0');
    if (n) MultiByteToWideChar(page, flags, bytes.data(), int(bytes.size()), out.data(), n);
    return out;
}

std::string Encode(UINT page, const std::u16string& text, BOOL* used = nullptr, const char* def = nullptr) {
    const int n = WideCharToMultiByte(page, 0, text.data(), int(text.size()), nullptr, 0, def, used);
    std::string out(size_t(n), '\0');
    if (n) WideCharToMultiByte(page, 0, text.data(), int(text.size()), out.data(), n, def, used);
    return out;
}

std::u16string FromPython(const QByteArray& utf16le) {
    return std::u16string(reinterpret_cast<const char16_t*>(utf16le.constData()), size_t(utf16le.size() / 2));
}

TEST(CodePagesPeer, EveryByteDecodesAsPythonDoes) {
    TW_REQUIRE_TOOL(Python);
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(char(b));
    // Bytes a page leaves undefined come back as the C1 control of the same value.
    const char* script = "import sys\n"
                         "page = sys.argv[1]\n"
                         "out = ''.join(bytes([b]).decode(page, 'ignore') or chr(b) for b in range(256))\n"
                         "sys.stdout.buffer.write(out.encode('utf-16-le'))\n";
    for (auto [page, name] : {std::pair{1252u, "cp1252"}, {437u, "cp437"}, {28591u, "latin-1"}}) {
        const auto r = RunProgram(Python, {"-c", script, name});
        ASSERT_TRUE(r.Ok()) << r.Describe();
        EXPECT_EQ(Decode(page, all), FromPython(r.Out)) << name;
    }
}

TEST(CodePagesPeer, EveryCharacterEncodesAsPythonDoes) {
    TW_REQUIRE_TOOL(Python);
    std::u16string bmp;
    for (uint32_t c = 1; c < 0x10000; ++c)
        if (c < 0xD800 || c >= 0xE000) bmp.push_back(char16_t(c));
    const char* script = "import sys\n"
                         "text = ''.join(chr(c) for c in range(1, 0x10000) if not 0xD800 <= c < 0xE000)\n"
                         "sys.stdout.buffer.write(text.encode(sys.argv[1], 'replace'))\n";
    for (auto [page, name] : {std::pair{1252u, "cp1252"}, {437u, "cp437"}}) {
        const auto r = RunProgram(Python, {"-c", script, name});
        ASSERT_TRUE(r.Ok()) << r.Describe();
        // The five C1 controls that 1252 leaves undefined go back to their byte, as they decode.
        std::string expected = r.Out.toStdString();
        if (page == 1252)
            for (char c : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) expected[uint8_t(c) - 1] = c;
        BOOL used = FALSE;
        const std::string ours = Encode(page, bmp, &used);
        ASSERT_EQ(ours.size(), expected.size()) << name;
        EXPECT_TRUE(ours == expected) << name << ": first difference at character "
                                                  << std::mismatch(ours.begin(), ours.end(), expected.begin()).first - ours.begin();
        EXPECT_TRUE(used);
    }
}

TEST(CodePagesPeer, Utf8CorpusWithInvalidSequencesDecodesAsPythonDoes) {
    TW_REQUIRE_TOOL(Python);
    // Mixed scripts, a character outside the BMP, and each kind of bad sequence: stray continuation,
    // overlong, encoded surrogate, above U+10FFFF, truncated before ASCII and at the end.
    const std::string corpus = "Grüße, Ελληνικά, русский, 日本語, 🎵 ok\n"
                               "\x80 stray \xC0\xAF overlong \xED\xA0\x80 surrogate \xF4\x90\x80\x80 big "
                               "\xE2\x82 cut \xF0\x9F\x8E trailing \xE2";
    const auto r = RunProgram(Python, {"-c", "import sys; sys.stdout.buffer.write(sys.stdin.buffer.read()"
                                             ".decode('utf-8', 'replace').encode('utf-16-le'))"},
                              120000, QByteArray::fromStdString(corpus));
    ASSERT_TRUE(r.Ok()) << r.Describe();
    const std::u16string expected = FromPython(r.Out);
    EXPECT_EQ(Decode(CP_UTF8, corpus), expected);
    // Strict decoding refuses the same text; encoding the replaced text gives Python's bytes back.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, corpus.data(), int(corpus.size()), nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
    const auto back = RunProgram(Python, {"-c", "import sys; sys.stdout.buffer.write(sys.stdin.buffer.read()"
                                                ".decode('utf-16-le').encode('utf-8'))"},
                                 120000, r.Out);
    ASSERT_TRUE(back.Ok()) << back.Describe();
    EXPECT_EQ(Encode(CP_UTF8, expected), back.Out.toStdString());
}

TEST(CodePages, DefaultCharacterAndUsedFlag) {
    struct Case {
        UINT page;
        std::u16string text;
        const char* def;
        std::string bytes;
        bool used;
    };
    const Case cases[] = {
        {CP_ACP, u"Café €5", nullptr, "Caf\xE9 \x80" "5", false},
        {CP_ACP, u"Ā→x", nullptr, "??x", true},       // no best fit: Ā does not become A
        {CP_ACP, u"a\U0001F3B5b", "#", "a#b", true},  // a surrogate pair is one character
        {CP_ACP, u"a\xD800", "#", "a#", true},        // a lone surrogate
        {CP_OEMCP, u"Straße ╬", nullptr, "Stra\xE1" "e \xCE", false},
        {CP_OEMCP, u"€", nullptr, "?", true},
        {20127, u"é", nullptr, "?", true},
    };
    for (const Case& c : cases) {
        BOOL used = !c.used;
        EXPECT_EQ(Encode(c.page, c.text, &used, c.def), c.bytes) << QString::fromStdU16String(c.text).toStdString();
        EXPECT_EQ(bool(used), c.used) << QString::fromStdU16String(c.text).toStdString();
    }
    // UTF-8 takes neither a default character nor the flag.
    BOOL used = FALSE;
    char out[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"x", 1, out, 8, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // A lone surrogate becomes U+FFFD, or fails when asked to.
    EXPECT_EQ(Encode(CP_UTF8, u"a\xDC00"), "a\xEF\xBF\xBD");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"a\xDC00", 2, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePages, LengthsTerminatorsAndBuffers) {
    char16_t wide[8];
    // -1 converts the terminator too; the size query counts it.
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, wide, 8), 3);
    EXPECT_EQ(std::u16string(wide), u"ab");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"é", -1, nullptr, 0, nullptr, nullptr), 3);
    // A buffer one short fails and says so.
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abc", 3, wide, 2), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    // Empty input, a negative size and an unknown page are invalid.
    for (int size : {0, -2}) {
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a", size, wide, 8), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(MultiByteToWideChar(932, 0, "a", 1, wide, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // 1252's undefined bytes are the C1 controls, even under MB_ERR_INVALID_CHARS.
    EXPECT_EQ(Decode(CP_ACP, "\x81\x9D", MB_ERR_INVALID_CHARS), u"\x81\x9D");
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePages, CodePageInformation) {
    CPINFOEXW info{};
    ASSERT_TRUE(GetCPInfoExW(CP_ACP, 0, &info));
    EXPECT_EQ(info.CodePage, 1252u);
    EXPECT_EQ(std::u16string(info.CodePageName), u"1252  (ANSI - Latin I)");
    CPINFO small{};
    ASSERT_TRUE(GetCPInfo(CP_UTF8, &small));
    EXPECT_EQ(small.MaxCharSize, 4u);
    EXPECT_FALSE(GetCPInfo(50220, &small));
    // The kernel's export is found by name, as callers look it up.
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(u"kernel32.dll"), "GetCPInfoExW")),
              reinterpret_cast<void*>(&GetCPInfoExW));
}

TEST(Text, CaseMappingCollationAndOem) {
    char16_t buffer[] = u"straße ÿ i";
    EXPECT_EQ(CharUpperBuffW(buffer, 10), 10u);
    EXPECT_EQ(std::u16string(buffer), u"STRAßE Ÿ I"); // one character for one: the length never changes
    EXPECT_EQ(reinterpret_cast<uintptr_t>(CharLowerW(reinterpret_cast<LPWSTR>(uintptr_t(u'Ä')))), uintptr_t(u'ä'));
    char16_t mapped[8];
    EXPECT_EQ(LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, u"ÀB", -1, mapped, 8), 3);
    EXPECT_EQ(std::u16string(mapped), u"àb");
    char oem[4];
    ASSERT_TRUE(CharToOemW(u"q", oem));
    EXPECT_STREQ(oem, "q");

    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"apple", -1, u"APPLE", -1), CSTR_EQUAL);
    EXPECT_NE(CompareStringW(LOCALE_USER_DEFAULT, 0, u"apple", -1, u"APPLE", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"Émile", -1, u"Ezra", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, u"zeta", 4, u"Alpha", 5), CSTR_GREATER_THAN);
}

TEST(Text, LocaleOfTheEnvironment) {
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved ? saved : "";
    struct Case {
        const char* value;
        LCID lcid;
    };
    for (const Case& c : {Case{"de_DE.UTF-8", 0x0407}, Case{"sr_RS@latin", 0x041A}, Case{"C", 0x0409},
                          Case{"pt_BR", 0x0416}}) {
        setenv("LC_ALL", c.value, 1);
        EXPECT_EQ(GetThreadLocale(), c.lcid) << c.value;
    }
    if (saved) setenv("LC_ALL", keep.c_str(), 1);
    else unsetenv("LC_ALL");

    char16_t decimal[4];
    ASSERT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 4), 2);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0), 2);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Text, LanguageNames) {
    WCHAR name[64];
    struct Case {
        DWORD lang;
        const char16_t* name;
    };
    for (const Case& c : {Case{0x0409, u"English (United States)"}, Case{0x0407, u"German (Germany)"}, Case{0, u"Language Neutral"},
                          Case{0x03FF, u"Language Neutral"}}) {
        const DWORD n = VerLanguageNameW(c.lang, name, 64);
        EXPECT_EQ(std::u16string(name, n), c.name) << c.lang;
    }
    EXPECT_EQ(VerLanguageNameW(0x0409, name, 8), 7u); // cut to fit, terminated
    EXPECT_EQ(std::u16string(name), u"English");
}

TEST(Text, CommandLineSplitsBackIntoTheArguments) {
    const std::vector<std::u16string> args = TwCommandLineToArgv(GetCommandLineW());
    ASSERT_FALSE(args.empty());
    // gtest_main passes its own arguments; the program's name is first and whole.
    EXPECT_NE(args[0].find(u"kernel32_text_tests"), std::u16string::npos);
}

} // namespace
