// base/PeFile.h: headers of Windows executables (DOS, NE/PE signature, COFF file header, PE32/PE32+
// optional header, data directories, section table) and packer recognition, read byte for byte.
#pragma once
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/Files.h"

namespace base {

#pragma pack(push, 1)
struct IMAGE_DOS_HEADER {
    uint16_t e_magic, e_cblp, e_cp, e_crlc, e_cparhdr, e_minalloc, e_maxalloc, e_ss, e_sp, e_csum, e_ip, e_cs,
        e_lfarlc, e_ovno;
    uint16_t e_res[4];
    uint16_t e_oemid, e_oeminfo;
    uint16_t e_res2[10];
    int32_t e_lfanew;
};
struct IMAGE_FILE_HEADER {
    uint16_t Machine, NumberOfSections;
    uint32_t TimeDateStamp, PointerToSymbolTable, NumberOfSymbols;
    uint16_t SizeOfOptionalHeader, Characteristics;
};
struct IMAGE_DATA_DIRECTORY {
    uint32_t VirtualAddress, Size;
};
struct IMAGE_OPTIONAL_HEADER32 {
    uint16_t Magic;
    uint8_t MajorLinkerVersion, MinorLinkerVersion;
    uint32_t SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData, AddressOfEntryPoint, BaseOfCode,
        BaseOfData, ImageBase, SectionAlignment, FileAlignment;
    uint16_t MajorOperatingSystemVersion, MinorOperatingSystemVersion, MajorImageVersion, MinorImageVersion,
        MajorSubsystemVersion, MinorSubsystemVersion;
    uint32_t Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
    uint16_t Subsystem, DllCharacteristics;
    uint32_t SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit, LoaderFlags,
        NumberOfRvaAndSizes;
    IMAGE_DATA_DIRECTORY DataDirectory[16];
};
struct IMAGE_OPTIONAL_HEADER64 {
    uint16_t Magic;
    uint8_t MajorLinkerVersion, MinorLinkerVersion;
    uint32_t SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData, AddressOfEntryPoint, BaseOfCode;
    uint64_t ImageBase;
    uint32_t SectionAlignment, FileAlignment;
    uint16_t MajorOperatingSystemVersion, MinorOperatingSystemVersion, MajorImageVersion, MinorImageVersion,
        MajorSubsystemVersion, MinorSubsystemVersion;
    uint32_t Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
    uint16_t Subsystem, DllCharacteristics;
    uint64_t SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit;
    uint32_t LoaderFlags, NumberOfRvaAndSizes;
    IMAGE_DATA_DIRECTORY DataDirectory[16];
};
struct IMAGE_SECTION_HEADER {
    uint8_t Name[8];
    uint32_t VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData, PointerToRelocations,
        PointerToLinenumbers;
    uint16_t NumberOfRelocations, NumberOfLinenumbers;
    uint32_t Characteristics;
};
struct TUpxHeader {
    char UpxMagic[4];
    uint8_t Compressor, Format, Method, Level;
    uint32_t u_len, c_len, u_adler, c_adler, UncompressedFileSize;
    uint8_t Filter1, Filter2, n_mru, header_cheksum;
};
struct TPeUpxHeader {
    char UpxVersion[5];
    TUpxHeader Header;
};
#pragma pack(pop)
static_assert(sizeof(IMAGE_DOS_HEADER) == 64 && sizeof(IMAGE_FILE_HEADER) == 20);
static_assert(sizeof(IMAGE_OPTIONAL_HEADER32) == 224 && sizeof(IMAGE_OPTIONAL_HEADER64) == 240);
static_assert(sizeof(IMAGE_SECTION_HEADER) == 40 && sizeof(TPeUpxHeader) == 37);

struct TBitsInfo {
    uint8_t B1 = 0, B2 = 0, B3 = 0, B4 = 0;
    String BitsStr;
};

using TImageSections = std::vector<IMAGE_SECTION_HEADER>;

// The machine table's description of a COFF machine value; empty when unknown.
String MachineDescription(uint16_t Machine);
// Offset of the first Pattern in Buffer[0..LastIndex]; -1 when absent, empty or longer than the buffer.
int64_t FindBytes(const uint8_t* Buffer, int64_t LastIndex, const uint8_t* Pattern, int64_t PatternLen);
bool IsValidUpxHeader(const TUpxHeader& Header);

class TPeFile {
public:
    TPeFile();

    const String& FileName() const { return FFileName; }
    void SetFileName(const String& Value) { FFileName = Value; }
    void SetMaxMemoryStreamSize(int64_t Value) { FMaxMemoryStreamSize = Value; }
    int DataDirectoryCount() const { return FIsValidPeFile ? 16 : -1; }
    int SectionCount() const { return int(FSections.size()); }

    // Reads everything for FileName. A short or foreign file stops where its data ends (never raises
    // for that); a file that exists but cannot be opened raises rtl::EFOpenError.
    void ReadFileInfo();

    String FFileName;
    bool FIsValidPeFile = false;
    IMAGE_DOS_HEADER FDosHeader{};
    IMAGE_FILE_HEADER FFileHeader{};
    uint32_t FPeSignature = 0;
    uint8_t FBits = 0;
    bool FIs16bit = false, FIs32bit = false, FIs64bit = false;
    IMAGE_OPTIONAL_HEADER32 FOptionalHeader32{};
    IMAGE_OPTIONAL_HEADER64 FOptionalHeader64{};
    String FOptionalHeaderMagicStr;
    String FInfoStr;
    int64_t FOffset_PeSignature = -1, FOffset_FileHeader = -1, FOffset_PeHeader = -1, FOffset_SectionsTable = -1;
    uint64_t FImageBase = 0;
    std::vector<String> FSectionNames;
    TImageSections FSections;
    int64_t FMaxMemoryStreamSize = 104857600;
    bool FIsFileLoaded = false;
    int64_t FFileSize = 0;
    TBitsInfo FFirstFile4Bits;
    bool FIsPackedByUpx = false, FIsValidUpxHeader = false;
    TPeUpxHeader FUpxHeader{};
    String FUpxVersion;
    int64_t FOffset_UpxHeader = -1;
    IMAGE_DATA_DIRECTORY FDataDirectory[16]{};
    rtl::TDateTime FCreationTime = FileTimeNotRead, FLastWriteTime = FileTimeNotRead,
                   FLastAccessTime = FileTimeNotRead;
    TFileAttributesRec FAttributes;
    uint32_t FAddressOfEntryPoint = 0;
    std::array<uint8_t, 4> PeSignatureArray{};

private:
    explicit TPeFile(std::in_place_t) {} // the default fields, for Reset
    void Reset();
};

} // namespace base
