#include "base/Container.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace base {

namespace {

String ZErrorText(int Code) {
    switch (Code) {
    case 2: return "Need dictionary";
    case 1: return "Stream end";
    case 0: return "OK";
    case -1: return "File error";
    case -2: return "Stream error";
    case -3: return "Data error";
    case -4: return "Insufficient memory";
    case -5: return "Buffer error";
    case -6: return "Incompatible version";
    default: return "Unknown error";
    }
}

int ZCheck(int Code) {
    if (Code < 0) throw EZDecompressionError(Code, ZErrorText(Code));
    return Code;
}

[[noreturn]] void InvalidOperation() { throw EZDecompressionError(-2, "Invalid ZStream operation!"); }

constexpr int64_t InputBufferSize = 65536;

} // namespace

int ReadContainerHeader(rtl::TStream& Stream, TContainerHeader& Header) {
    if (Stream.Size() < ContainerHeaderSize) return 22;
    Stream.SetPosition(0);
    return Stream.Read(&Header, ContainerHeaderSize) == ContainerHeaderSize ? 0 : 25;
}

bool IsValidContainer(rtl::TStream& Stream) {
    TContainerHeader H;
    if (ReadContainerHeader(Stream, H) != 0) return false;
    // A negative length could balance a name that runs past the end; no container has one.
    if (H.PayloadLength < 0 || H.PayloadLength > Stream.Size()) return false;
    return Stream.Size() == H.PayloadLength + H.NameLength + H.ExtraLength + ContainerHeaderSize;
}

int UnpackContainer(rtl::TStream& Source, rtl::TMemoryStream& Target) {
    TContainerHeader H;
    if (!IsValidContainer(Source) || ReadContainerHeader(Source, H) != 0) return 40;
    rtl::TMemoryStream P;
    Source.SetPosition(ContainerHeaderSize + H.NameLength + H.ExtraLength);
    const int64_t Left = Source.Size() - Source.Position();
    if (Left > 0) P.CopyFrom(Source, Left);
    Target.Clear();
    if (H.Scrambled != 0) TDec().DecodeStream(P);
    P.SetPosition(0);
    TZDecompressionStream Z(P);
    // Inflate once into Target; learning the size first would inflate the payload twice.
    std::vector<uint8_t> Buf(InputBufferSize);
    for (;;) {
        const int64_t N = Z.Read(Buf.data(), int64_t(Buf.size()));
        if (N <= 0) break;
        Target.WriteBuffer(Buf.data(), N);
    }
    Target.SetPosition(0);
    return 0;
}

int UnpackContainerInPlace(rtl::TMemoryStream& Stream) {
    rtl::TMemoryStream Copy;
    Copy.LoadFromStream(Stream);
    return UnpackContainer(Copy, Stream);
}

void DescrambleBlock(uint8_t* Block, size_t Len, uint8_t Mode, const std::array<uint8_t, 6>& K) {
    if (Mode == 0) return;
    const uint8_t K13 = K[0], K17 = K[1], K21 = K[2], K25 = K[3], K29 = K[4], K33 = K[5];
    for (size_t i = 0; i < Len; ++i) {
        uint8_t b = uint8_t(Block[i] - ((i & 1) ? K13 : K17) - uint8_t(i));
        if (Mode == 2 && i > 0) {
            if (i % 3 == 0) b = uint8_t(b + K29 - K21);
            if (i % 4 == 0) b = uint8_t(b - uint8_t(K25 + K21));
            if (i % 7 == 0) b = uint8_t(b - K29);
            if (i % 11 == 0) b = uint8_t(b - uint8_t(K33 + K29));
        }
        Block[i] = b;
    }
}

bool TDec::DecodeStream(rtl::TStream& Input, rtl::TStream& Output) {
    const int64_t Size = Input.Size();
    if (Size < ScrambleHeaderSize) return false;
    uint8_t Header[ScrambleHeaderSize];
    const int64_t Saved = Input.Position();
    Input.SetPosition(0);
    if (Input.Read(Header, ScrambleHeaderSize) != ScrambleHeaderSize) {
        Input.SetPosition(Saved);
        return false;
    }
    Input.SetPosition(ScrambleHeaderSize);
    const uint8_t Mode = Header[4];
    const std::array<uint8_t, 6> Key{Header[13], Header[17], Header[21], Header[25], Header[29], Header[33]};

    Output.SetSize(0);
    Output.SetPosition(0);
    int64_t Blocks = (Size - ScrambleHeaderSize) / ScrambleBlockSize;
    if (Blocks == 0) Blocks = 1;
    std::vector<uint8_t> Buf(ScrambleBlockSize);
    int64_t Block = 0;
    int64_t Got;
    do {
        Got = Input.Read(Buf.data(), ScrambleBlockSize);
        DescrambleBlock(Buf.data(), Buf.size(), Mode, Key);
        Output.WriteBuffer(Buf.data(), ScrambleBlockSize);
        ++Block;
        PercentComplete = int(std::min<int64_t>(100, std::llround(double(Block) * 100 / double(Blocks))));
        if (DecProc && !DecProc(PercentComplete)) Aborted = true;
        if (Aborted) return false;
    } while (Got == ScrambleBlockSize);
    if (Output.Size() < Size - ScrambleHeaderSize) return false;
    Output.SetSize(Size - ScrambleHeaderSize);
    return true;
}

bool TDec::DecodeStream(rtl::TMemoryStream& Stream) {
    rtl::TMemoryStream Copy;
    Copy.LoadFromStream(Stream);
    return DecodeStream(Copy, Stream);
}

TZDecompressionStream::TZDecompressionStream(rtl::TStream& Source)
    : FStream(Source), FStreamStart(Source.Position()), FStreamPos(FStreamStart), FBuffer(InputBufferSize) {
    ZCheck(inflateInit(&FZStream));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZStream); }

void TZDecompressionStream::Restart() {
    ZCheck(inflateReset(&FZStream));
    FZStream.next_in = nullptr;
    FZStream.avail_in = 0;
    FStreamPos = 0;
    FStream.SetPosition(0);
    FEnded = false;
    FDelivered = 0;
}

int64_t TZDecompressionStream::Read(void* Buffer, int64_t Count) {
    if (Count <= 0 || FEnded) return 0;
    FZStream.next_out = static_cast<Bytef*>(Buffer);
    int64_t Left = Count;
    while (Left > 0 && !FEnded) {
        if (FZStream.avail_in == 0) {
            if (FStream.Position() != FStreamPos) FStream.SetPosition(FStreamPos);
            const int64_t N = FStream.Read(FBuffer.data(), InputBufferSize);
            if (N <= 0) break;
            FStreamPos += N;
            FZStream.next_in = FBuffer.data();
            FZStream.avail_in = uInt(N);
            if (OnProgress) OnProgress();
        }
        const uInt Chunk = uInt(std::min<int64_t>(Left, 1 << 30));
        FZStream.avail_out = Chunk;
        const int Res = ZCheck(inflate(&FZStream, Z_NO_FLUSH));
        Left -= Chunk - FZStream.avail_out;
        if (Res == Z_STREAM_END) {
            FEnded = true;
            // Leave the source right after the compressed data.
            FStreamPos -= FZStream.avail_in;
            FStream.SetPosition(FStreamPos);
            FZStream.avail_in = 0;
        } else if (Res == Z_NEED_DICT) {
            throw EZDecompressionError(Res, ZErrorText(Res));
        } else if (Res == Z_BUF_ERROR || (FZStream.avail_out != 0 && FZStream.avail_in != 0)) {
            break;
        }
    }
    FDelivered += Count - Left;
    return Count - Left;
}

int64_t TZDecompressionStream::Write(const void*, int64_t) { InvalidOperation(); }

int64_t TZDecompressionStream::Seek(int64_t Offset, rtl::TSeekOrigin Origin) {
    int64_t Skip = -1;
    if (Origin == rtl::soBeginning && Offset == 0) {
        Restart();
        return 0;
    }
    if (Origin == rtl::soCurrent && Offset >= 0) Skip = Offset;
    else if (Origin == rtl::soBeginning && Offset >= FDelivered) Skip = Offset - FDelivered;
    else if (Origin == rtl::soBeginning) return FDelivered; // backwards to anywhere but 0: no change
    else if (Origin == rtl::soEnd && Offset == 0) Skip = INT64_MAX;
    else InvalidOperation();
    uint8_t Buf[8192];
    while (Skip > 0) {
        const int64_t N = Read(Buf, std::min<int64_t>(Skip, sizeof Buf));
        if (N <= 0) break;
        Skip -= N;
    }
    return FDelivered;
}

int64_t TZDecompressionStream::GetSize() { InvalidOperation(); }

} // namespace base
