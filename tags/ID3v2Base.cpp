// tags/ID3v2Base.cpp
#include "tags/ID3v2Base.h"

#include "rtl/Streams.h"

#include <algorithm>
#include <cstring>

namespace tags {

uint32_t DecodeSynchsafe(const uint8_t* Bytes, int Width)
{
    uint32_t r = 0;
    for (int i = 0; i < Width; ++i) r = (r << 7) | (Bytes[i] & 0x7F);
    return r;
}

void EncodeSynchsafe(uint32_t Value, uint8_t* Bytes, int Width)
{
    for (int i = Width - 1; i >= 0; --i) {
        Bytes[i] = uint8_t(Value & 0x7F);
        Value >>= 7;
    }
}

uint16_t SwapWord(uint16_t Value) { return uint16_t((Value >> 8) | (Value << 8)); }

uint32_t SwapLongWord(uint32_t Value)
{
    return (Value >> 24) | ((Value >> 8) & 0xFF00) | ((Value << 8) & 0xFF0000) | (Value << 24);
}

void ReverseBytes10(uint8_t* Value) { std::reverse(Value, Value + 10); }

int ReadZeroFilled(rtl::TStream& Stream, void* Buffer, int Count)
{
    if (Count <= 0) return 0;
    std::memset(Buffer, 0, size_t(Count));
    return int(Stream.Read(Buffer, Count));
}

int64_t BytesLeft(rtl::TStream& Stream)
{
    const int64_t left = Stream.Size() - Stream.Position();
    return left > 0 ? left : 0;
}

TBytes RemoveUnsynchronisationBytes(const uint8_t* Data, size_t Size, bool& LastWasFF)
{
    TBytes out;
    out.reserve(Size);
    for (size_t i = 0; i < Size; ++i) {
        const uint8_t b = Data[i];
        if (LastWasFF && b == 0x00) {
            LastWasFF = false;   // a dropped 00 is not a previous FF
            continue;
        }
        out.push_back(b);
        LastWasFF = b == 0xFF;
    }
    return out;
}

void CopyRemovingUnsynchronisation(rtl::TStream& Source, rtl::TStream& Dest, int64_t Count)
{
    constexpr int64_t ChunkSize = 61440;
    TBytes chunk(size_t(std::min(Count, ChunkSize)));
    bool lastWasFF = false;
    while (Count > 0) {
        const int64_t n = Source.Read(chunk.data(), std::min(Count, ChunkSize));
        if (n <= 0) break;
        const TBytes clean = RemoveUnsynchronisationBytes(chunk.data(), size_t(n), lastWasFF);
        if (!clean.empty()) Dest.WriteBuffer(clean.data(), int64_t(clean.size()));
        Count -= n;
    }
}

bool RemoveUnsynchronisationInPlace(rtl::TMemoryStream& Stream)
{
    try {
        rtl::TMemoryStream scratch;
        Stream.SetPosition(0);
        CopyRemovingUnsynchronisation(Stream, scratch, Stream.Size());
        Stream.Clear();
        scratch.SetPosition(0);
        if (scratch.Size() > 0) Stream.CopyFrom(scratch, scratch.Size());
        Stream.SetPosition(0);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

TFrameID StringToFrameID(const String& Text)
{
    TFrameID id{0, 0, 0, 0};
    for (int i = 0; i < 4 && i < Text.size(); ++i) id[i] = uint8_t(Text.at(i).unicode());
    return id;
}

TFrameID FrameIDFromLiteral(const String& Text) { return StringToFrameID(Text); }

String FrameIDToString(const TFrameID& ID)
{
    String s;
    for (int i = 0; i < 3; ++i) s += QChar(ID[i]);
    if (ID[3] != 0) s += QChar(ID[3]);
    return s;
}

static bool ValidIDChar(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool ValidFrameID(const TFrameID& ID)
{
    return ValidIDChar(ID[0]) && ValidIDChar(ID[1]) && ValidIDChar(ID[2]) && ValidIDChar(ID[3]);
}

bool ValidFrameIDv22(const TFrameID& ID)
{
    return ValidIDChar(ID[0]) && ValidIDChar(ID[1]) && ValidIDChar(ID[2]);
}

bool FrameIDMatchesText(const TFrameID& ID, const char* Text)
{
    const size_t n = std::strlen(Text);
    for (size_t i = 0; i < 4; ++i) {
        const uint8_t c = i < n ? uint8_t(Text[i]) : 0;
        if (ID[i] != c) return false;
    }
    return true;
}

bool FrameIDMatchesText(const TFrameID& ID, const String& Text)
{
    for (int i = 0; i < 4; ++i) {
        const unsigned c = i < Text.size() ? Text.at(i).unicode() : 0;
        if (ID[i] != c) return false;
    }
    return true;
}

int ID3v2FrameKind(const TFrameID& ID)
{
    if (FrameIDMatchesText(ID, "PCNT")) return fkPlayCounter;
    for (const char* other : {"SESC", "SEBR", "SEFC", "GEOB", "APIC"})
        if (FrameIDMatchesText(ID, other)) return fkOther;
    if (FrameIDMatchesText(ID, "WXXX")) return fkUserDefinedURL;
    if (ID[0] == 'W') return fkURL;
    if (FrameIDMatchesText(ID, "TIPL") || FrameIDMatchesText(ID, "TMCL")) return fkList;
    if (FrameIDMatchesText(ID, "COMM") || FrameIDMatchesText(ID, "USLT")) return fkContent;
    if (FrameIDMatchesText(ID, "TXXX")) return fkUserDefinedText;
    if (ID[0] == 'T') return fkText;
    return fkOther;
}

} // namespace tags
