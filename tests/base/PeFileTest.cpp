// tests/base/PeFileTest.cpp: executable headers and version resources, against files built by the
// cross compilers and read by pefile, and against crafted files that end or point where they should not.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>
#include <memory>

#include "base/PeFile.h"
#include "base/VersionInfo.h"
#include "win/kernel32/winnls.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

using testing_support::RunProgram;
using testing_support::TempDir;

// The test runner names the source tree; run by hand from it, the relative path serves.
const QString PeDir = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(".")) + "/tests/base/pe/";

struct TBuilt {
    QString Name, Triplet;
    bool Dll;
    QString Path;
};

// Built once per run with the cross compilers; each test skips when they are missing.
class PeBuilt : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Dir = std::make_unique<TempDir>();
        Files = {{"x64.exe", "x86_64-w64-mingw32", false, {}},
                 {"x64.dll", "x86_64-w64-mingw32", true, {}},
                 {"x86.exe", "i686-w64-mingw32", false, {}},
                 {"x86.dll", "i686-w64-mingw32", true, {}}};
        const QString Src = Dir->Write("m.c", "__declspec(dllexport) int twice(int v) { return 2 * v; }\n"
                                              "int main(void) { return twice(0); }\n");
        for (TBuilt& F : Files) {
            const QString Res = Dir->QFile(F.Triplet + ".res.o");
            auto Rc = RunProgram(F.Triplet + "-windres", {PeDir + "ver.rc", "-O", "coff", "-o", Res});
            if (!Rc.Ok()) continue;
            QStringList Args{Src, Res, "-o", Dir->QFile(F.Name)};
            if (F.Dll) Args << "-shared";
            if (RunProgram(F.Triplet + "-gcc", Args).Ok()) F.Path = Dir->QFile(F.Name);
        }
    }
    static void TearDownTestSuite() { Dir.reset(); }

    void SetUp() override {
        for (const TBuilt& F : Files)
            if (F.Path.isEmpty()) GTEST_SKIP() << "cross compiler missing or failed for " << F.Name.toStdString();
    }

    static inline std::unique_ptr<TempDir> Dir;
    static inline std::vector<TBuilt> Files;
};

TEST_F(PeBuilt, HeadersAndVersionMatchPefileAndFile) {
    TW_REQUIRE_TOOL("/usr/bin/python3", "import pefile");
    TW_REQUIRE_TOOL("file");
    QStringList Paths;
    for (const TBuilt& F : Files) Paths << F.Path;
    auto Dump = RunProgram("/usr/bin/python3", QStringList{PeDir + "dump_pe.py"} + Paths);
    ASSERT_TRUE(Dump.Ok()) << Dump.Describe();
    const QList<QByteArray> Lines = Dump.Out.trimmed().split('\n');
    ASSERT_EQ(Lines.size(), Files.size());

    for (size_t i = 0; i < Files.size(); ++i) {
        const TBuilt& F = Files[i];
        SCOPED_TRACE(F.Name.toStdString());
        const QJsonObject J = QJsonDocument::fromJson(Lines[qsizetype(i)]).object();
        base::TPeFile Pe;
        Pe.SetFileName(F.Path);
        Pe.ReadFileInfo();
        ASSERT_TRUE(Pe.FIsValidPeFile);
        const bool Is64 = F.Triplet.startsWith("x86_64");
        EXPECT_EQ(Pe.FBits, Is64 ? 64 : 32);
        EXPECT_EQ(Pe.FOptionalHeaderMagicStr, Is64 ? "PE32+" : "PE32");
        EXPECT_EQ(int(Pe.FFileHeader.Machine), J["machine"].toInt());
        EXPECT_EQ(int(Pe.FFileHeader.Characteristics), J["characteristics"].toInt());
        EXPECT_EQ(Pe.FAddressOfEntryPoint, uint32_t(J["entry"].toDouble()));
        EXPECT_EQ(double(Pe.FImageBase), J["imagebase"].toDouble());
        const QString Kind = F.Dll ? "Library" : "Executable";
        EXPECT_EQ(Pe.FInfoStr, Kind + (Is64 ? " / Win PE32+ / AMD64 (x64)"
                                            : " / Win PE32 / Intel 386 or later processors and compatible processors"));

        const QJsonArray Secs = J["sections"].toArray();
        ASSERT_EQ(Pe.SectionCount(), Secs.size());
        for (int s = 0; s < Secs.size(); ++s) {
            const QJsonArray E = Secs[s].toArray();
            EXPECT_EQ(Pe.FSectionNames[size_t(s)], E[0].toString());
            EXPECT_EQ(uint32_t(Pe.FSections[size_t(s)].VirtualAddress), uint32_t(E[1].toDouble()));
            EXPECT_EQ(uint32_t(Pe.FSections[size_t(s)].VirtualSize), uint32_t(E[2].toDouble()));
            EXPECT_EQ(uint32_t(Pe.FSections[size_t(s)].SizeOfRawData), uint32_t(E[3].toDouble()));
            EXPECT_EQ(uint32_t(Pe.FSections[size_t(s)].PointerToRawData), uint32_t(E[4].toDouble()));
        }
        const QJsonArray Dirs = J["dirs"].toArray();
        ASSERT_EQ(Dirs.size(), 16);
        for (int d = 0; d < 16; ++d) {
            EXPECT_EQ(uint32_t(Pe.FDataDirectory[d].VirtualAddress), uint32_t(Dirs[d].toArray()[0].toDouble())) << d;
            EXPECT_EQ(uint32_t(Pe.FDataDirectory[d].Size), uint32_t(Dirs[d].toArray()[1].toDouble())) << d;
        }

        base::TKwVersionInfo V;
        V.SetFileName(F.Path);
        ASSERT_TRUE(V.HaveInfo());
        const QJsonArray Fx = J["fixed"].toArray();
        const VS_FIXEDFILEINFO& Fi = V.FixedFileInfo();
        const uint32_t Ours[] = {Fi.dwFileVersionMS, Fi.dwFileVersionLS, Fi.dwProductVersionMS, Fi.dwProductVersionLS,
                                 Fi.dwFileFlagsMask, Fi.dwFileFlags,     Fi.dwFileOS,           Fi.dwFileType};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(Ours[k], uint32_t(Fx[k].toDouble())) << k;
        const QJsonObject Str = J["strings"].toObject();
        EXPECT_EQ(V.ProductVersion(), Str["ProductVersion"].toString());
        EXPECT_EQ(V.FileVersion(), Str["FileVersion"].toString());
        EXPECT_EQ(V.FileDescription(), Str["FileDescription"].toString());
        EXPECT_EQ(V.FileDescription(), "Sample tool for header tests");
        EXPECT_EQ(V.FileVersionNumber().V3, 3);
        EXPECT_EQ(V.ProductVersionNumber().V1, 5);
        EXPECT_EQ(V.LanguageCode(), 0x409);
        EXPECT_EQ(V.CharSet(), "1200 (Unicode UTF-16, little endian byte order)");

        auto Kinds = RunProgram("file", {"-b", F.Path});
        ASSERT_TRUE(Kinds.Ok());
        EXPECT_TRUE(Kinds.Out.startsWith(Is64 ? "PE32+ executable" : "PE32 executable")) << Kinds.Out.toStdString();
        EXPECT_EQ(Kinds.Out.contains("(DLL)"), F.Dll) << Kinds.Out.toStdString();
    }
}

// Above the in-memory limit the file is read by offset and gives the same fields.
TEST_F(PeBuilt, LargeFileLimitGivesTheSameFields) {
    base::TPeFile Small, Large;
    Small.SetFileName(Files[0].Path);
    Small.ReadFileInfo();
    Large.SetFileName(Files[0].Path);
    Large.SetMaxMemoryStreamSize(16);
    Large.ReadFileInfo();
    EXPECT_EQ(Large.FInfoStr, Small.FInfoStr);
    EXPECT_EQ(Large.FSectionNames, Small.FSectionNames);
    EXPECT_EQ(0, std::memcmp(&Large.FOptionalHeader64, &Small.FOptionalHeader64, sizeof Small.FOptionalHeader64));
}

// ---- crafted files ----

void Put16(QByteArray& B, int Off, uint16_t V) {
    if (B.size() < Off + 2) B.resize(Off + 2, '\0');
    B[Off] = char(V);
    B[Off + 1] = char(V >> 8);
}
void Put32(QByteArray& B, int Off, uint32_t V) {
    Put16(B, Off, uint16_t(V));
    Put16(B, Off + 2, uint16_t(V >> 16));
}
void PutBytes(QByteArray& B, int Off, const QByteArray& V) {
    if (B.size() < Off + V.size()) B.resize(Off + V.size(), '\0');
    std::memcpy(B.data() + Off, V.constData(), size_t(V.size()));
}

constexpr int SigAt = 0x80, OptAt = SigAt + 24, TableAt = OptAt + 224;

// A PE32 image of the given sections (name, raw pointer) with its table at TableAt.
QByteArray CraftPe(const std::vector<std::pair<QByteArray, uint32_t>>& Sections, int FileSize = 0x1000) {
    QByteArray B(FileSize, '\0');
    PutBytes(B, 0, "MZ");
    Put32(B, 60, SigAt);
    PutBytes(B, SigAt, QByteArray("PE\0\0", 4));
    Put16(B, SigAt + 4, 0x14C);
    Put16(B, SigAt + 6, uint16_t(Sections.size()));
    Put16(B, SigAt + 20, 224);
    Put16(B, SigAt + 22, 0x0102);
    Put16(B, OptAt, 0x10B);
    Put32(B, OptAt + 16, 0x1234);
    for (size_t i = 0; i < Sections.size(); ++i) {
        PutBytes(B, TableAt + int(i) * 40, Sections[i].first);
        Put32(B, TableAt + int(i) * 40 + 20, Sections[i].second);
    }
    return B;
}

QByteArray UpxHeader(const char* Version, uint8_t Format, uint8_t Method) {
    QByteArray H(37, '\0');
    PutBytes(H, 0, QByteArray(Version));
    PutBytes(H, 5, "UPX!");
    H[10] = char(Format);
    H[11] = char(Method);
    return H;
}

base::TPeFile ReadCrafted(const TempDir& Dir, const QByteArray& Bytes) {
    base::TPeFile Pe;
    Pe.SetFileName(Dir.Write("crafted", Bytes));
    Pe.ReadFileInfo();
    return Pe;
}

TEST(PeCrafted, ShortForeignAndOldFiles) {
    TempDir Dir;
    {
        auto Pe = ReadCrafted(Dir, QByteArray(63, 'a'));
        EXPECT_FALSE(Pe.FIsValidPeFile);
        EXPECT_EQ(Pe.FBits, 0);
        EXPECT_EQ(Pe.FInfoStr, "");
        EXPECT_EQ(Pe.FFirstFile4Bits.BitsStr, "aaaa");
        EXPECT_EQ(Pe.FFileSize, 63);
    }
    {
        QByteArray Elf("\x7f" "ELF\x02\x01\x01", 7);
        Elf.resize(200, '\0');
        auto Pe = ReadCrafted(Dir, Elf);
        EXPECT_FALSE(Pe.FIsValidPeFile);
        EXPECT_EQ(Pe.FFirstFile4Bits.BitsStr, ".ELF");
        EXPECT_EQ(Pe.FFirstFile4Bits.B1, 0x7F);
    }
    {
        QByteArray B = CraftPe({});
        Put32(B, 60, uint32_t(B.size()) - 2); // the signature would straddle the end
        auto Pe = ReadCrafted(Dir, B);
        EXPECT_FALSE(Pe.FIsValidPeFile);
        EXPECT_EQ(Pe.FPeSignature, 0u);
        Put32(B, 60, 0xFFFFFFF0u);
        EXPECT_FALSE(ReadCrafted(Dir, B).FIsValidPeFile);
    }
    {
        QByteArray B(0x100, '\0');
        PutBytes(B, 0, "MZ");
        Put32(B, 60, 0x80);
        PutBytes(B, 0x80, QByteArray("NE\x05\x0a", 4));
        auto Pe = ReadCrafted(Dir, B);
        EXPECT_FALSE(Pe.FIsValidPeFile);
        EXPECT_EQ(Pe.FBits, 16);
        EXPECT_TRUE(Pe.FIs16bit);
        EXPECT_EQ(Pe.FInfoStr, "Win16 NE");
    }
}

TEST(PeCrafted, TruncatedSectionTableKeepsWhatWasRead) {
    TempDir Dir;
    QByteArray B = CraftPe({{"one", 0}, {"two", 0}, {"three", 0}});
    B.truncate(TableAt + 40 + 39); // the second header lacks its last byte
    auto Pe = ReadCrafted(Dir, B);
    EXPECT_TRUE(Pe.FIsValidPeFile);
    EXPECT_EQ(Pe.SectionCount(), 1);
    EXPECT_EQ(Pe.FSectionNames, std::vector<base::String>{"one"});
    EXPECT_EQ(Pe.FInfoStr, "Executable / Win PE32 / Intel 386 or later processors and compatible processors");
    EXPECT_EQ(Pe.FAddressOfEntryPoint, 0x1234u);

    B.truncate(OptAt + 100); // the optional header itself is cut short
    auto Short = ReadCrafted(Dir, B);
    EXPECT_FALSE(Short.FIsValidPeFile);
    EXPECT_EQ(Short.SectionCount(), 0);
}

TEST(PeCrafted, PackerHeaderBeforeSecondSectionOrAfterTable) {
    TempDir Dir;
    // In front of the second section's data.
    QByteArray B = CraftPe({{"UPX0", 0}, {"UPX1", 0x400}, {"UPX2", 0x800}});
    PutBytes(B, 0x400 - 37, UpxHeader("3.96", 9, 2));
    auto Pe = ReadCrafted(Dir, B);
    EXPECT_TRUE(Pe.FIsPackedByUpx);
    EXPECT_TRUE(Pe.FIsValidUpxHeader);
    EXPECT_EQ(Pe.FUpxVersion, "3.96");
    EXPECT_EQ(Pe.FOffset_UpxHeader, 0x400 - 37);

    // Only behind the section table: found where the table ends, not where it begins.
    QByteArray C = CraftPe({{"UPX0", 0}, {"UPX1", 0x400}, {"UPX2", 0x800}});
    const int AfterTable = TableAt + 3 * 40;
    PutBytes(C, AfterTable + 60, UpxHeader("4.02", 200, 2)); // format outside the list
    auto Q = ReadCrafted(Dir, C);
    EXPECT_TRUE(Q.FIsPackedByUpx);
    EXPECT_EQ(Q.FOffset_UpxHeader, AfterTable + 60);
    EXPECT_EQ(Q.FUpxVersion, "4.02");
    EXPECT_FALSE(Q.FIsValidUpxHeader);

    // A version that is not a number is taken from the packer's id text.
    QByteArray D = C;
    PutBytes(D, AfterTable + 60, UpxHeader("xx", 9, 2));
    PutBytes(D, AfterTable + 300, "$Id: UPX 3.91 Copyright");
    EXPECT_EQ(ReadCrafted(Dir, D).FUpxVersion, "3.91");

    // Two packer sections are not examined.
    QByteArray E = CraftPe({{"UPX0", 0}, {"UPX1", 0x400}});
    PutBytes(E, 0x400 - 37, UpxHeader("3.96", 9, 2));
    EXPECT_FALSE(ReadCrafted(Dir, E).FIsPackedByUpx);
}

TEST(PeSupport, MachineTableAndFindBytes) {
    EXPECT_EQ(base::MachineDescription(0x8664), "AMD64 (x64)");
    EXPECT_EQ(base::MachineDescription(0xAA64), "ARM64 little endian");
    EXPECT_EQ(base::MachineDescription(0x0160), "MIPS big-endian");
    EXPECT_EQ(base::MachineDescription(0xC0EE), "CEE");
    EXPECT_EQ(base::MachineDescription(0x1234), "");
    const uint8_t Buf[] = {'a', 'b', 'U', 'P', 'X', '!'};
    const uint8_t Pat[] = {'U', 'P', 'X', '!'};
    EXPECT_EQ(base::FindBytes(Buf, 5, Pat, 4), 2);
    EXPECT_EQ(base::FindBytes(Buf, 4, Pat, 4), -1); // the last byte is outside the range
    EXPECT_EQ(base::FindBytes(Buf, 2, Pat, 4), -1);
    EXPECT_EQ(base::FindBytes(Buf, 5, Pat, 0), -1);
}

// ---- the version block parser on crafted blocks ----

// One node: header, key, value (text values count characters), children; every part padded to 4.
QByteArray Node(const QString& Key, const QByteArray& Value, bool Text, const QByteArray& Children = {}) {
    QByteArray B(6, '\0');
    B.append(reinterpret_cast<const char*>(Key.utf16()), Key.size() * 2);
    B.append(2, '\0');
    while (B.size() % 4) B.append('\0');
    B.append(Value);
    while (B.size() % 4) B.append('\0');
    B.append(Children);
    Put16(B, 0, uint16_t(B.size()));
    Put16(B, 2, uint16_t(Text ? Value.size() / 2 : Value.size()));
    Put16(B, 4, Text ? 1 : 0);
    return B;
}
QByteArray Utf16z(const QString& S) {
    return QByteArray(reinterpret_cast<const char*>(S.utf16()), S.size() * 2) + QByteArray(2, '\0');
}

TEST(VersionBlock, QueriesStayInsideTheBlock) {
    QByteArray Str = Node("ProductVersion", Utf16z("9.8"), true) + Node("Odd", Utf16z("x"), true);
    QByteArray Root = Node("VS_VERSION_INFO", QByteArray(52, '\x11'), false,
                           Node("StringFileInfo", {}, true, Node("040904b0", {}, true, Str)));
    // An exact-size heap copy, so that a read past the end trips the address sanitizer.
    std::vector<uint8_t> Buf(Root.begin(), Root.end());
    LPVOID P = nullptr;
    UINT Len = 0;
    ASSERT_TRUE(VerQueryValueW(Buf.data(), u"\\StringFileInfo\\040904B0\\productversion", &P, &Len));
    EXPECT_EQ(Len, 4u);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(P)), u"9.8");
    ASSERT_TRUE(VerQueryValueW(Buf.data(), u"\\", &P, &Len));
    EXPECT_EQ(Len, 52u);
    EXPECT_FALSE(VerQueryValueW(Buf.data(), u"\\VarFileInfo\\Translation", &P, &Len));

    // A child that claims more than its parent holds, and a value longer than its node.
    QByteArray Bad = Root;
    const int OddAt = int(Bad.indexOf(QByteArray(reinterpret_cast<const char*>(u"Odd"), 6))) - 6;
    ASSERT_GT(OddAt, 0);
    Put16(Bad, OddAt, 0xFFF0);
    Put16(Bad, OddAt + 2, 0x7000);
    std::vector<uint8_t> BadBuf(Bad.begin(), Bad.end());
    if (VerQueryValueW(BadBuf.data(), u"\\StringFileInfo\\040904b0\\Odd", &P, &Len)) {
        const auto* Start = static_cast<const uint8_t*>(P);
        EXPECT_LE(Start + size_t(Len) * 2, BadBuf.data() + BadBuf.size());
    }
    // An unterminated key at the end of the block is not matched.
    std::vector<uint8_t> Cut(Root.begin(), Root.begin() + OddAt + 10);
    Put16(Root, 0, uint16_t(Cut.size()));
    std::memcpy(Cut.data(), Root.constData(), 2);
    EXPECT_FALSE(VerQueryValueW(Cut.data(), u"\\StringFileInfo\\040904b0\\Odd", &P, &Len));
}

// A version resource whose root claims 58,368 bytes in a 484-byte resource (found by fuzzing): the block
// handed out must not let the queries read past it.
TEST(VersionInfo, ARootLongerThanItsResourceIsCutToTheCopy) {
    const QString File = PeDir + "version-length-past-resource.dll";
    const auto* Name = reinterpret_cast<LPCWSTR>(File.utf16());
    const DWORD Size = GetFileVersionInfoSizeW(Name, nullptr);
    ASSERT_EQ(Size, 484u);
    std::vector<uint8_t> Block(Size);
    ASSERT_TRUE(GetFileVersionInfoW(Name, 0, Size, Block.data()));
    EXPECT_LE(size_t(Block[0] | Block[1] << 8), Block.size());
    for (const char16_t* Path : {u"\\", u"\\VarFileInfo\\Translation", u"\\StringFileInfo\\040904b0\\ProductVersion"}) {
        LPVOID P = nullptr;
        UINT Len = 0;
        if (VerQueryValueW(Block.data(), Path, &P, &Len)) {
            EXPECT_LE(static_cast<const uint8_t*>(P) + Len, Block.data() + Block.size());
        }
    }
    base::TKwVersionInfo V;
    V.SetFileName(File);   // read past its buffer before the cut
    EXPECT_TRUE(V.HaveInfo());
}

TEST(VersionInfo, FilesWithoutAResource) {
    TempDir Dir;
    base::TKwVersionInfo V;
    V.SetFileName(Dir.Write("text", "plain text"));
    EXPECT_FALSE(V.HaveInfo());
    EXPECT_EQ(V.CurrentTranslation(), -1);
    EXPECT_EQ(V.ProductVersion(), "");
    EXPECT_EQ(V.CharSet(), "");
    EXPECT_EQ(V.Language(), "");
    V.SetFileName(Dir.QFile("missing"));
    EXPECT_FALSE(V.HaveInfo());
}

// Resource-only libraries, one per translation, linked by the cross binutils (no compiler needed).
struct TTranslationCase {
    const char* Block;  // the StringFileInfo block name
    int Lang, CodePage;
    const char* Language;
    const char* CharSet;
};

// What the system's language and code-page names give for each; 932 is a page our platform does not
// carry, so it counts as unknown here.
const TTranslationCase TranslationCases[] = {
    {"040904b0", 0x409, 1200, "English (United States)", "1200 (Unicode UTF-16, little endian byte order)"},
    {"040704e4", 0x407, 1252, "German (Germany)", "1252  (ANSI - Latin I)"},
    {"041103a4", 0x411, 932, "Japanese (Japan)", "932 (Unknown Code Page)"},
    {"00003039", 0x000, 12345, "Language Neutral", "12345 (Unknown Code Page)"},
};

TEST(VersionInfo, LanguageAndCharSetOfEachTranslationMatchTheSystemsNames) {
    TW_REQUIRE_TOOL("x86_64-w64-mingw32-windres");
    TW_REQUIRE_TOOL("x86_64-w64-mingw32-ld");
    TW_REQUIRE_TOOL("/usr/bin/python3", "import pefile");
    TempDir Dir;
    for (const TTranslationCase& C : TranslationCases) {
        SCOPED_TRACE(C.Block);
        const QString Rc = Dir.Write(QStringLiteral("%1.rc").arg(C.Block),
                                     QStringLiteral("1 VERSIONINFO\nFILEVERSION 1,0,0,0\nBEGIN\n"
                                                    "  BLOCK \"StringFileInfo\"\n  BEGIN\n    BLOCK \"%1\"\n    BEGIN\n"
                                                    "      VALUE \"ProductName\", \"Probe\"\n    END\n  END\n"
                                                    "  BLOCK \"VarFileInfo\"\n  BEGIN\n"
                                                    "    VALUE \"Translation\", %2, %3\n  END\nEND\n")
                                         .arg(C.Block)
                                         .arg(C.Lang)
                                         .arg(C.CodePage)
                                         .toUtf8());
        const QString Obj = Dir.QFile(QStringLiteral("%1.o").arg(C.Block));
        const QString Dll = Dir.QFile(QStringLiteral("%1.dll").arg(C.Block));
        auto Res = RunProgram("x86_64-w64-mingw32-windres", {"--preprocessor=cat", Rc, "-O", "coff", "-o", Obj});
        ASSERT_TRUE(Res.Ok()) << Res.Describe();
        auto Link = RunProgram("x86_64-w64-mingw32-ld", {"--dll", "-e", "0", "-o", Dll, Obj});
        ASSERT_TRUE(Link.Ok()) << Link.Describe();
        // The library holds the translation we meant, as pefile reads it.
        auto Peer = RunProgram("/usr/bin/python3",
                               {"-c",
                                "import pefile,sys\np=pefile.PE(sys.argv[1])\n"
                                "print([v.entry for fi in p.FileInfo[0] if hasattr(fi,'Var') for v in fi.Var][0][b'Translation'])",
                                Dll});
        ASSERT_TRUE(Peer.Ok()) << Peer.Describe();
        EXPECT_EQ(Peer.Out.trimmed(), QStringLiteral("0x%1 0x%2").arg(C.Lang, 4, 16, QChar(u'0')).arg(C.CodePage, 4, 16, QChar(u'0')).toUtf8());

        base::TKwVersionInfo V;
        V.SetFileName(Dll);
        ASSERT_TRUE(V.HaveInfo());
        EXPECT_EQ(V.LanguageCode(), C.Lang);
        EXPECT_EQ(V.CharSetCode(), C.CodePage);
        EXPECT_EQ(V.Language(), C.Language);
        EXPECT_EQ(V.CharSet(), C.CharSet);
        EXPECT_EQ(V.ProductName(), "Probe");
    }
}

// The platform's names against those Wine gives (tests/base/oracle/tables/version-texts.txt, made by
// scripts/make-version-oracle.sh). Where they differ ours are the texts of the system itself, listed
// here with Wine's: Wine names a language without its country and the neutral language "English",
// and words its code-page names its own way; 932 is a page our platform does not carry.
TEST(VersionInfo, SystemNamesAgainstWinesTable) {
    const QString Table = qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(".")) + "/tests/base/oracle/tables/version-texts.txt";
    QFile In(Table);
    ASSERT_TRUE(In.open(QIODevice::ReadOnly)) << Table.toStdString();
    struct TDeparture {
        const char* Key;
        const char* Wine;
        const char* Ours;
    };
    const TDeparture Departures[] = {
        {"language 0409", "English", "English (United States)"},
        {"language 0407", "German", "German (Germany)"},
        {"language 0411", "Japanese", "Japanese (Japan)"},
        {"language 0000", "English", "Language Neutral"},
        {"codepage 1252", "ANSI Latin 1", "1252  (ANSI - Latin I)"},
        {"codepage 437", "OEM United States", "437   (OEM - United States)"},
        {"codepage 932", "ANSI/OEM Japanese Shift-JIS", "-"},
    };
    int Lines = 0;
    for (const QByteArray& Line : In.readAll().split('\n')) {
        if (Line.isEmpty()) continue;
        ++Lines;
        const QList<QByteArray> Parts = Line.split('\t');
        ASSERT_EQ(Parts.size(), 2) << Line.toStdString();
        const QString Key = QString::fromUtf8(Parts[0]), Wine = QString::fromUtf8(Parts[1]);
        const QStringList Words = Key.split(u' ');
        QString Ours = QStringLiteral("-");
        if (Words[0] == u"language") {
            WCHAR Name[256] = {};
            if (VerLanguageNameW(Words[1].toUInt(nullptr, 16), Name, 256)) Ours = QString::fromUtf16(Name);
        } else {
            CPINFOEXW Info{};
            if (GetCPInfoExW(Words[1].toUInt(), 0, &Info)) Ours = QString::fromUtf16(Info.CodePageName);
        }
        SCOPED_TRACE(Key.toStdString());
        const TDeparture* Listed = nullptr;
        for (const TDeparture& D : Departures)
            if (Key == QLatin1String(D.Key)) Listed = &D;
        if (!Listed) {
            EXPECT_EQ(Ours, Wine);
            continue;
        }
        EXPECT_EQ(Wine, QString::fromUtf8(Listed->Wine));
        EXPECT_EQ(Ours, QString::fromUtf8(Listed->Ours));
    }
    EXPECT_EQ(Lines, 9);
}

TEST(VersionInfo, IsAComponentItsOwnerFreesAndOnlyStoresTheNameWhileDesigning) {
    static int Freed = 0;
    struct Counted : base::TKwVersionInfo {
        using base::TKwVersionInfo::TKwVersionInfo;
        ~Counted() override { ++Freed; }
    };
    Freed = 0;
    {
        rtl::TComponent Owner(nullptr);
        auto* V = new Counted(&Owner);
        EXPECT_EQ(Owner.ComponentCount(), 1);
        EXPECT_EQ(V->Owner(), &Owner);
        V->SetDesigning(true);
        V->SetFileName(QString());
        EXPECT_EQ(V->FileName(), "");  // not made the program's path
        V->SetFileName(QStringLiteral("/nonexistent/x.dll"));
        EXPECT_EQ(V->FileName(), "/nonexistent/x.dll");
    }
    EXPECT_EQ(Freed, 1);
}

} // namespace
