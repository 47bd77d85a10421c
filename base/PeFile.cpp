// Reads only the parts of the file it needs, by offset, each read checked against the file's size: a
// large executable is never loaded whole, and a forged offset or count cannot reach past the end.
#include "base/PeFile.h"

#include <algorithm>
#include <cstring>

#include "base/Conversion.h"
#include "rtl/Streams.h"
#include "rtl/Files.h"

namespace base {

namespace {

struct TMachineRow {
    const char* Name;
    uint16_t Machine;
    const char* Description;
};

// Searched in this order; the first match wins.
constexpr TMachineRow MachineTable[36] = {
    {"IMAGE_FILE_MACHINE_UNKNOWN", 0x0000, "Unknown machine"},
    {"IMAGE_FILE_MACHINE_I386", 0x014C, "Intel 386 or later processors and compatible processors"},
    {"IMAGE_FILE_MACHINE_I486", 0x014D, "Intel 486"},
    {"IMAGE_FILE_MACHINE_I586", 0x014E, "Intel 586"},
    {"IMAGE_FILE_MACHINE_R3000", 0x0162, "MIPS little endian R3000"},
    {"0x0160", 0x0160, "MIPS big-endian"},
    {"IMAGE_FILE_MACHINE_R4000", 0x0166, "MIPS little endian R4000"},
    {"IMAGE_FILE_MACHINE_R10000", 0x0168, "MIPS little endian R10000"},
    {"IMAGE_FILE_MACHINE_WCEMIPSV2", 0x0169, "MIPS little endian WCE v2"},
    {"IMAGE_FILE_MACHINE_RISCV32", 0x5032, "RISC-V 32-bit address space"},
    {"IMAGE_FILE_MACHINE_RISCV64", 0x5064, "RISC-V 64-bit address space"},
    {"IMAGE_FILE_MACHINE_RISCV128", 0x5128, "RISC-V 128-bit address space"},
    {"IMAGE_FILE_MACHINE_ALPHA", 0x0184, "Alpha_AXP"},
    {"IMAGE_FILE_MACHINE_SH3", 0x01A2, "Hitachi SH3 little endian"},
    {"IMAGE_FILE_MACHINE_SH3DSP", 0x01A3, "Hitachi SH3 DSP"},
    {"IMAGE_FILE_MACHINE_SH3E", 0x01A4, "SH3E little endian"},
    {"IMAGE_FILE_MACHINE_SH4", 0x01A6, "Hitachi SH4 little endian"},
    {"IMAGE_FILE_MACHINE_SH5", 0x01A8, "Hitachi SH5"},
    {"IMAGE_FILE_MACHINE_ARM", 0x01C0, "ARM little endian"},
    {"IMAGE_FILE_MACHINE_ARM64", 0xAA64, "ARM64 little endian"},
    {"IMAGE_FILE_MACHINE_ARMNT", 0x01C4, "ARM Thumb-2 little endian"},
    {"IMAGE_FILE_MACHINE_THUMB", 0x01C2, "ARM or Thumb"},
    {"IMAGE_FILE_MACHINE_AM33", 0x01D3, "Matsushita AM33"},
    {"IMAGE_FILE_MACHINE_POWERPC", 0x01F0, "IBM PowerPC little endian"},
    {"IMAGE_FILE_MACHINE_POWERPCFP", 0x01F1, "IBM PowerPC with floating point support"},
    {"IMAGE_FILE_MACHINE_IA64", 0x0200, "Intel Itanium 64 processor family"},
    {"IMAGE_FILE_MACHINE_MIPS16", 0x0266, "MIPS16"},
    {"IMAGE_FILE_MACHINE_ALPHA64", 0x0284, "ALPHA64"},
    {"IMAGE_FILE_MACHINE_MIPSFPU", 0x0366, "MIPS with FPU"},
    {"IMAGE_FILE_MACHINE_MIPSFPU16", 0x0466, "MIPS16 with FPU"},
    {"IMAGE_FILE_MACHINE_TRICORE", 0x0520, "Infineon"},
    {"IMAGE_FILE_MACHINE_CEF", 0x0CEF, "CEF"},
    {"IMAGE_FILE_MACHINE_EBC", 0x0EBC, "EFI byte code"},
    {"IMAGE_FILE_MACHINE_AMD64", 0x8664, "AMD64 (x64)"},
    {"IMAGE_FILE_MACHINE_M32R", 0x9041, "Mitsubishi M32R little endian"},
    {"IMAGE_FILE_MACHINE_CEE", 0xC0EE, "CEE"},
};

constexpr int64_t UpxSearchLen = 1024;

// Whole reads at an offset; false, nothing moved, when the bytes are not all inside the file.
class TReader {
public:
    TReader(rtl::TStream& S, int64_t Size) : FStream(S), FSize(Size) {}
    bool Read(int64_t Offset, void* Buffer, int64_t Count) {
        if (Offset < 0 || Count < 0 || Offset > FSize || Count > FSize - Offset) return false;
        FStream.SetPosition(Offset);
        return FStream.Read(Buffer, Count) == Count;
    }
    int64_t Size() const { return FSize; }

private:
    rtl::TStream& FStream;
    int64_t FSize;
};

String UpxVersionText(const char (&V)[5]) {
    size_t n = 0;
    while (n < 5 && V[n]) ++n;
    return String::fromLatin1(V, qsizetype(n));
}

} // namespace

String MachineDescription(uint16_t Machine) {
    for (const TMachineRow& Row : MachineTable)
        if (Row.Machine == Machine) return String::fromLatin1(Row.Description);
    return {};
}

int64_t FindBytes(const uint8_t* Buffer, int64_t LastIndex, const uint8_t* Pattern, int64_t PatternLen) {
    if (!Buffer || PatternLen <= 0 || PatternLen > LastIndex + 1) return -1;
    const uint8_t* End = Buffer + LastIndex + 1;
    const uint8_t* Hit = std::search(Buffer, End, Pattern, Pattern + PatternLen);
    return Hit == End ? -1 : Hit - Buffer;
}

bool IsValidUpxHeader(const TUpxHeader& H) {
    if (std::memcmp(H.UpxMagic, "UPX!", 4) != 0) return false;
    bool FormatOk = (H.Format >= 1 && H.Format <= 36) || H.Format == 127 || (H.Format >= 129 && H.Format <= 138);
    return FormatOk && H.Method >= 2 && H.Method <= 15;
}

TPeFile::TPeFile() { Reset(); }

void TPeFile::Reset() {
    String Name = FFileName;
    int64_t Limit = FMaxMemoryStreamSize;
    *this = TPeFile(std::in_place);
    FFileName = Name;
    FMaxMemoryStreamSize = Limit;
}

void TPeFile::ReadFileInfo() {
    Reset();
    if (!rtl::FileExists(FFileName)) return;

    TFileInfoRec Info;
    if (GetFileInfoRec(Info, FFileName)) {
        FFileSize = Info.Size;
        FCreationTime = Info.CreationTime;
        FLastWriteTime = Info.LastWriteTime;
        FLastAccessTime = Info.LastAccessTime;
        FAttributes = Info.Attributes;
    } else {
        FFileSize = GetFileSizeSafe(FFileName);
    }

    rtl::TFileStream Stream(FFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    FIsFileLoaded = true;
    // The size the stream sees rules every bounds check, in case the file changed since it was sized.
    TReader R(Stream, Stream.Size());
    struct TLoaded {
        bool& Flag;
        ~TLoaded() { Flag = false; }
    } Unload{FIsFileLoaded};

    uint8_t First[4];
    if (R.Size() > 3 && R.Read(0, First, 4)) {
        FFirstFile4Bits.B1 = First[0];
        FFirstFile4Bits.B2 = First[1];
        FFirstFile4Bits.B3 = First[2];
        FFirstFile4Bits.B4 = First[3];
        for (uint8_t B : First) FFirstFile4Bits.BitsStr += (B >= 33 && B <= 126) ? QChar(B) : QChar('.');
    }

    if (!R.Read(0, &FDosHeader, sizeof FDosHeader)) return;
    int64_t SigOffset = uint32_t(FDosHeader.e_lfanew);
    if (!R.Read(SigOffset, &FPeSignature, 4)) return;
    std::memcpy(PeSignatureArray.data(), &FPeSignature, 4);
    FOffset_PeSignature = SigOffset;

    if (FPeSignature == 0x0A05454E) {
        FBits = 16;
        FIs16bit = true;
        FInfoStr = "Win16 NE";
        return;
    }
    if (FPeSignature != 0x00004550) return;

    FOffset_FileHeader = SigOffset + 4;
    if (!R.Read(FOffset_FileHeader, &FFileHeader, sizeof FFileHeader)) return;
    FOffset_PeHeader = FOffset_FileHeader + int64_t(sizeof FFileHeader);
    uint16_t Magic = 0;
    if (!R.Read(FOffset_PeHeader, &Magic, 2)) return;
    if (Magic == 0x10B) {
        FOptionalHeaderMagicStr = "PE32";
        FBits = 32;
        FIs32bit = true;
    } else if (Magic == 0x20B) {
        FOptionalHeaderMagicStr = "PE32+";
        FBits = 64;
        FIs64bit = true;
    }

    if (FBits == 32) {
        if (!R.Read(FOffset_PeHeader, &FOptionalHeader32, sizeof FOptionalHeader32)) return;
        FOffset_SectionsTable = FOffset_PeHeader + int64_t(sizeof FOptionalHeader32);
        FImageBase = FOptionalHeader32.ImageBase;
        FAddressOfEntryPoint = FOptionalHeader32.AddressOfEntryPoint;
        std::memcpy(FDataDirectory, FOptionalHeader32.DataDirectory, sizeof FDataDirectory);
    } else {
        if (!R.Read(FOffset_PeHeader, &FOptionalHeader64, sizeof FOptionalHeader64)) return;
        FOffset_SectionsTable = FOffset_PeHeader + int64_t(sizeof FOptionalHeader64);
        FImageBase = FOptionalHeader64.ImageBase;
        FAddressOfEntryPoint = FOptionalHeader64.AddressOfEntryPoint;
        std::memcpy(FDataDirectory, FOptionalHeader64.DataDirectory, sizeof FDataDirectory);
    }

    uint16_t Ch = FFileHeader.Characteristics;
    FInfoStr = (Ch & 0x2000) ? "Library" : (Ch & 0x2) ? "Executable" : "";
    if (!FOptionalHeaderMagicStr.isEmpty()) FInfoStr += " / Win " + FOptionalHeaderMagicStr;
    if (!FInfoStr.isEmpty()) FInfoStr += " / " + MachineDescription(FFileHeader.Machine);

    for (int i = 0; i < FFileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER Sec;
        if (!R.Read(FOffset_SectionsTable + int64_t(i) * 40, &Sec, sizeof Sec)) break;
        FSections.push_back(Sec);
        size_t n = 0;
        while (n < 8 && Sec.Name[n]) ++n;
        FSectionNames.push_back(String::fromLatin1(reinterpret_cast<const char*>(Sec.Name), qsizetype(n)).trimmed());
    }
    FIsValidPeFile = true;

    // Packer recognition: its first two sections carry its name and its header sits in front of the
    // second section's data, or else somewhere in the bytes right after the section table.
    if (FSections.size() < 3 || !FSectionNames[0].startsWith("UPX") || !FSectionNames[1].startsWith("UPX"))
        return;
    int64_t Cand = int64_t(FSections[1].PointerToRawData) - 37;
    if (R.Read(Cand, &FUpxHeader, sizeof FUpxHeader)) {
        FOffset_UpxHeader = Cand;
        if (std::memcmp(FUpxHeader.Header.UpxMagic, "UPX!", 4) == 0) FIsPackedByUpx = true;
    }
    int64_t AfterTable = FOffset_SectionsTable + int64_t(FSections.size()) * 40;
    uint8_t After[UpxSearchLen];
    bool HaveAfter = R.Read(AfterTable, After, UpxSearchLen);
    if (!FIsPackedByUpx) {
        FUpxHeader = {};
        FOffset_UpxHeader = -1;
        int64_t P = HaveAfter ? FindBytes(After, UpxSearchLen - 1, reinterpret_cast<const uint8_t*>("UPX!"), 4) : -1;
        // The find is relative to the end of the table, and the magic sits 5 bytes into the header.
        if (P >= 0 && R.Read(AfterTable + P - 5, &FUpxHeader, sizeof FUpxHeader) &&
            std::memcmp(FUpxHeader.Header.UpxMagic, "UPX!", 4) == 0) {
            FIsPackedByUpx = true;
            FOffset_UpxHeader = AfterTable + P - 5;
        } else {
            FUpxHeader = {};
        }
    }
    if (!FIsPackedByUpx) return;
    FUpxVersion = UpxVersionText(FUpxHeader.UpxVersion);
    FIsValidUpxHeader = IsValidUpxHeader(FUpxHeader.Header);
    if (!IsValidFloatText(FUpxVersion, false) && HaveAfter) {
        int64_t Id = FindBytes(After, UpxSearchLen - 1, reinterpret_cast<const uint8_t*>("Id: UPX "), 8);
        if (Id >= 0 && Id + 12 <= UpxSearchLen)
            FUpxVersion = String::fromLatin1(reinterpret_cast<const char*>(After + Id + 8), 4);
    }
}

} // namespace base
