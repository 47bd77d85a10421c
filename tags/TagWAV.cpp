// tags/TagWAV.cpp: RIFF and RF64 chunks, INFO sub-chunks and the bext and cart records.
#include "tags/TagWAV.h"

#include "tags/SafeFile.h"
#include "tags/TagItems.h"

#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"

#include <QStringList>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace tags {

namespace {

uint64_t GetLE(const uint8_t* p, size_t Bytes)
{
    uint64_t v = 0;
    for (size_t i = Bytes; i-- > 0;) v = v << 8 | p[i];
    return v;
}

void PutLE(uint8_t* p, size_t Bytes, uint64_t Value)
{
    for (size_t i = 0; i < Bytes; ++i) p[i] = uint8_t(Value >> (8 * i));
}

void WriteLE32(rtl::TStream& Stream, uint32_t Value)
{
    uint8_t b[4];
    PutLE(b, 4, Value);
    Stream.WriteBuffer(b, 4);
}

bool IsID(const uint8_t* p, const char* ID) { return std::memcmp(p, ID, 4) == 0; }

void WriteBytes(rtl::TStream& Stream, const rtl::TBytes& Bytes)
{
    if (!Bytes.empty()) Stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
}

// The chunk walks over one form: RIFF sizes of 32 bits, or RF64 with "ds64" and a "data" chunk whose
// size field 0xFFFFFFFF stands for the 64-bit size in "ds64".
struct TForm {
    bool RF64 = false;
    int64_t Base = 0;
    uint64_t Size = 0;          // the form's size: the RIFF size field, or the ds64 RIFF size
    uint64_t DataSize64 = 0;    // ds64
    uint64_t SampleCount64 = 0; // ds64
    int64_t HeaderEnd = 0;      // the first chunk after "WAVE" (and "ds64")
    bool Wave = false;
};

struct TChunk {
    uint8_t ID[4] = {};
    uint32_t SizeField = 0;
    int64_t Start = 0;       // of the header
    uint64_t Padded = 0;     // data bytes with the pad byte
};

int64_t ID3v2Size(rtl::TStream& Stream)
{
    uint8_t b[10] = {};
    Stream.SetPosition(0);
    if (Stream.Read(b, 10) != 10 || std::memcmp(b, "ID3", 3) != 0) return 0;
    const int64_t size = 10 + (int64_t(b[6] & 0x7F) << 21 | int64_t(b[7] & 0x7F) << 14 | int64_t(b[8] & 0x7F) << 7 | (b[9] & 0x7F));
    return size > Stream.Size() ? 0 : size;
}

// Reads the form header at Base; false when there is no RIFF or RF64 form there.
bool ReadForm(rtl::TStream& Stream, int64_t Base, TForm& Form)
{
    uint8_t b[48] = {};
    Stream.SetPosition(Base);
    if (Stream.Read(b, 12) != 12) return false;
    Form = TForm();
    Form.Base = Base;
    Form.RF64 = IsID(b, "RF64");
    if (!Form.RF64 && !IsID(b, "RIFF")) return false;
    Form.Size = GetLE(b + 4, 4);
    Form.Wave = IsID(b + 8, "WAVE");
    Form.HeaderEnd = Base + 12;
    if (Form.RF64 && Stream.Read(b + 12, 36) == 36 && IsID(b + 12, "ds64")) {
        const uint32_t s = uint32_t(GetLE(b + 16, 4));
        Form.Size = GetLE(b + 20, 8);
        Form.DataSize64 = GetLE(b + 28, 8);
        Form.SampleCount64 = GetLE(b + 36, 8);
        Form.HeaderEnd = Base + 20 + std::max<uint32_t>(s, 28);
    }
    // A ds64 chunk that claims more than the file holds makes no form.
    return Form.HeaderEnd <= Stream.Size();
}

bool ReadChunk(rtl::TStream& Stream, const TForm& Form, TChunk& Chunk)
{
    uint8_t b[8];
    Chunk.Start = Stream.Position();
    if (Stream.Read(b, 8) != 8) return false;
    std::memcpy(Chunk.ID, b, 4);
    Chunk.SizeField = uint32_t(GetLE(b + 4, 4));
    uint64_t size = Chunk.SizeField;
    if (Form.RF64 && IsID(Chunk.ID, "data") && Chunk.SizeField == 0xFFFFFFFFu) size = Form.DataSize64;
    Chunk.Padded = size + (size & 1);
    return true;
}

enum TTagKind { tkInfo, tkBext, tkCart };

// The first chunk of the kind from the form's first chunk on; the stream then stands behind its header
// (behind the list type for LIST/INFO). Lists of other types are walked into.
bool FindTagChunk(rtl::TStream& Stream, const TForm& Form, TTagKind Kind, TChunk& Found)
{
    if (!Form.Wave) return false;
    const int64_t end = Stream.Size();
    int64_t pos = Form.HeaderEnd;
    while (pos + 8 < end) {
        Stream.SetPosition(pos);
        TChunk chunk;
        if (!ReadChunk(Stream, Form, chunk)) return false;
        if (IsID(chunk.ID, "LIST")) {
            uint8_t type[4] = {};
            if (Stream.Read(type, 4) != 4) return false;
            if (IsID(type, "INFO")) {
                if (Kind == tkInfo) {
                    Found = chunk;
                    return true;
                }
            } else {
                pos += 12;   // into the list: its sub-chunks are walked like chunks
                continue;
            }
        } else if ((Kind == tkBext && IsID(chunk.ID, "bext")) || (Kind == tkCart && IsID(chunk.ID, "cart"))) {
            Found = chunk;
            return true;
        }
        pos += 8 + int64_t(chunk.Padded);
    }
    return false;
}

String NameFromID(const uint8_t* ID)
{
    String name;
    for (int i = 0; i < 4; ++i)
        if (ID[i] != 0) name += QChar(char16_t(ID[i]));
    return name;
}

void WriteID(rtl::TStream& Stream, const String& Name)
{
    uint8_t id[4] = {};
    for (int i = 0; i < 4 && i < Name.size(); ++i) id[i] = uint8_t(Name[i].unicode() & 0xFF);
    Stream.WriteBuffer(id, 4);
}

} // namespace

// ---- text rule --------------------------------------------------------------------------------------

rtl::TBytes TextToFieldBytes(const String& Text, int Width)
{
    rtl::TEncoding* ansi = rtl::TEncoding::ANSI();
    const rtl::TBytes bytes = ansi->GetBytes(Text);
    if (ansi->GetString(bytes) == Text) return bytes;
    String text = Text;
    QByteArray utf8 = text.toUtf8();
    while (Width >= 0 && utf8.size() > Width) {
        text.chop(1);
        utf8 = text.toUtf8();
    }
    return rtl::TBytes(utf8.begin(), utf8.end());
}

String FieldBytesToText(const uint8_t* Data, size_t Size)
{
    String text;
    if (Size > 0 && rtl::TEncoding::UTF8()->TryGetString(Data, Size, text) && !text.isEmpty()) return text;
    return rtl::TEncoding::ANSI()->GetString(Data, Size);
}

template <size_t Size> bool TWAVRecord<Size>::HasContent() const
{
    return !Tail.empty() || std::any_of(Record.begin(), Record.end(), [](uint8_t b) { return b != 0; });
}

template <size_t Size> String TWAVRecord<Size>::ReadTextField(size_t Offset, size_t Width) const
{
    const uint8_t* p = Record.data() + Offset;
    const size_t n = size_t(std::find(p, p + Width, 0) - p);
    return FieldBytesToText(p, n);
}

template <size_t Size> void TWAVRecord<Size>::WriteTextField(size_t Offset, size_t Width, const String& Value)
{
    uint8_t* p = Record.data() + Offset;
    std::fill(p, p + Width, 0);
    const rtl::TBytes bytes = TextToFieldBytes(Value, int(Width));
    for (size_t i = 0; i < Width && i < bytes.size(); ++i) {
        p[i] = bytes[i];
        if (bytes[i] == 0) break;
    }
}

template <size_t Size> uint64_t TWAVRecord<Size>::ReadNumber(size_t Offset, size_t Bytes) const
{
    return GetLE(Record.data() + Offset, Bytes);
}

template <size_t Size> void TWAVRecord<Size>::WriteNumber(size_t Offset, size_t Bytes, uint64_t Value)
{
    PutLE(Record.data() + Offset, Bytes, Value);
}

template <size_t Size> String TWAVRecord<Size>::ReadTail() const
{
    const size_t n = size_t(std::find(Tail.begin(), Tail.end(), 0) - Tail.begin());
    return FieldBytesToText(Tail.data(), n);
}

template class TWAVRecord<602>;
template class TWAVRecord<2048>;

String TBEXT::UMID() const
{
    if (Version() == 0) return {};
    QStringList pairs;
    for (size_t i = 0; i < 64; ++i) pairs << u"%1"_s.arg(Record[348 + i], 2, 16, QLatin1Char('0')).toUpper();
    return pairs.join(u' ');
}

void TBEXT::SetUMID(const String& Value)
{
    std::fill(Record.begin() + 348, Record.begin() + 412, 0);
    const QStringList items = Value.split(u' ');
    for (qsizetype k = 0; k < items.size() && k < 64; ++k) {
        bool ok = false;
        const uint32_t v = items[k].toUInt(&ok, 16);
        Record[size_t(348 + k)] = ok ? uint8_t(v) : 0;
    }
}

TTAG_CART_TIMERS TCART::PostTimer() const
{
    TTAG_CART_TIMERS timers;
    for (size_t n = 0; n < timers.size(); ++n) {
        std::copy_n(Record.begin() + ptrdiff_t(684 + 8 * n), 4, timers[n].Usage.begin());
        timers[n].Value = uint32_t(ReadNumber(688 + 8 * n, 4));
    }
    return timers;
}

void TCART::SetPostTimer(const TTAG_CART_TIMERS& Timers)
{
    for (size_t n = 0; n < Timers.size(); ++n) {
        std::copy(Timers[n].Usage.begin(), Timers[n].Usage.end(), Record.begin() + ptrdiff_t(684 + 8 * n));
        WriteNumber(688 + 8 * n, 4, Timers[n].Value);
    }
}

bool TCART::GetPostTimer(int Index, TCART_TIMER& Timer) const
{
    if (Index < 0 || Index > 7) return false;
    Timer.Usage = ReadTextField(size_t(684 + 8 * Index), 4);
    Timer.Value = uint32_t(ReadNumber(size_t(688 + 8 * Index), 4));
    return true;
}

bool TCART::SetPostTimer(int Index, const TCART_TIMER& Timer)
{
    if (Index < 0 || Index > 7) return false;
    uint8_t* p = Record.data() + 684 + 8 * Index;
    for (int i = 0; i < 4; ++i) p[i] = i < Timer.Usage.size() ? uint8_t(Timer.Usage[i].unicode() & 0xFF) : 0x20;
    PutLE(p + 4, 4, Timer.Value);
    return true;
}

bool TCART::ClearPostTimer(int Index)
{
    if (Index < 0 || Index > 7) return false;
    std::fill_n(Record.begin() + 684 + 8 * Index, 8, 0);
    return true;
}

// ---- INFO frames ---------------------------------------------------------------------------------------

// Texts written by other programs may lack the terminating zero: only trailing zeros are dropped.
String TWAVTagFrame::GetAsText() const
{
    if (Format != wtffText) return {};
    const auto* p = static_cast<const uint8_t*>(Stream.Memory());
    size_t n = size_t(Stream.Size());
    while (n > 0 && p[n - 1] == 0) --n;
    Stream.SetPosition(0);
    return FieldBytesToText(p, n);
}

bool TWAVTagFrame::SetAsText(const String& Text)
{
    Stream.Clear();
    if (Text.isEmpty()) return true;
    WriteBytes(Stream, TextToFieldBytes(Text));
    Stream.WriteBuffer("", 1);
    Stream.SetPosition(0);
    Format = wtffText;
    return true;
}

bool TWAVTagFrame::SetAsList(const rtl::TStrings& List)
{
    Stream.Clear();
    for (int i = 0; i < List.Count(); ++i) {
        WriteBytes(Stream, TextToFieldBytes(List.Names(i)));
        Stream.WriteBuffer("\r\n", 2);
        WriteBytes(Stream, TextToFieldBytes(List.ValueFromIndex(i)));
        Stream.WriteBuffer("\r\n", 3);   // CR, LF and the zero byte that ends the entry
    }
    Stream.SetPosition(0);
    Format = wtffText;
    return true;
}

bool TWAVTagFrame::GetAsList(rtl::TStrings& List) const
{
    List.Clear();
    if (Format != wtffText) return false;
    const auto* p = static_cast<const uint8_t*>(Stream.Memory());
    const size_t size = size_t(Stream.Size());
    size_t at = 0;
    auto line = [&] {
        QByteArray bytes;
        while (at < size) {
            if (p[at] == '\r') {
                if (at + 1 < size && p[at + 1] == '\n') {
                    at += 2;
                    break;
                }
                ++at;   // a lone CR is dropped
                continue;
            }
            bytes.append(char(p[at++]));
        }
        return FieldBytesToText(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    };
    for (;;) {
        while (at < size && p[at] == 0) ++at;
        if (at >= size) break;
        const String name = line();
        const String value = line();
        List.Add(name + u'=' + value);
    }
    Stream.SetPosition(0);
    return List.Count() > 0;
}

int TWAVTagFrame::GetIndex() const
{
    for (int i = 0; i < Parent->Count(); ++i)
        if (Parent->Frames[size_t(i)].get() == this) return i;
    return -1;
}

// ---- the tag ---------------------------------------------------------------------------------------------

TWAVTag::TWAVTag() { Clear(); }
TWAVTag::~TWAVTag() = default;

void TWAVTag::Clear()
{
    DeleteAllFrames();
    FileName.clear();
    Loaded = false;
    BEXT.Clear();
    CART.Clear();
    Attributes = TWaveFmt();
    PlayTime = 0;
    SampleCount = 0;
    BitRate = 0;
    FFileSize = 0;
    SampleDataStartPosition = 0;
    SampleDataSize = 0;
    Size = 0;
}

TWAVTagFrame* TWAVTag::AddFrame(const String& Name)
{
    try {
        return AppendNamedItem(Frames, this, Name);
    } catch (const std::exception&) {
        return nullptr;
    }
}

bool TWAVTag::DeleteFrame(int FrameIndex) { return DeleteItemAt(Frames, FrameIndex); }
void TWAVTag::DeleteAllFrames() { Frames.clear(); }

int TWAVTag::AddTextFrame(const String& Name, const String& Text)
{
    TWAVTagFrame* frame = AddFrame(Name);
    if (!frame) return -1;
    frame->SetAsText(Text);
    return Count() - 1;
}

void TWAVTag::SetTextFrameText(const String& Name, const String& Text)
{
    for (const auto& frame : Frames)
        if (frame->Name == Name) {
            frame->SetAsText(Text);
            return;
        }
    AddTextFrame(Name, Text);
}

bool TWAVTag::DeleteFrameByName(const String& Name)
{
    for (int i = 0; i < Count(); ++i)
        if (Frames[size_t(i)]->Name == Name) return DeleteFrame(i);
    return false;
}

void TWAVTag::RemoveEmptyFrames()
{
    DeleteItemsWhere(Frames, [](const TWAVTagFrame& f) { return f.Stream.Size() == 0; });
}

int64_t TWAVTag::CalculateTotalFramesSize() const
{
    int64_t size = 0;
    for (const auto& frame : Frames) size += 8 + frame->Stream.Size() + (frame->Stream.Size() & 1);
    return size;
}

namespace {

template <class TRecord> int64_t RecordChunkSize(const TRecord& Record)
{
    int64_t size = int64_t(TRecord::RecordSize + Record.Tail.size());
    if (!Record.Tail.empty() && Record.Tail.back() != 0) ++size;
    return size + (size & 1);
}

template <class TRecord> void WriteRecordChunk(rtl::TStream& Stream, const char* ID, const TRecord& Record)
{
    const int64_t size = RecordChunkSize(Record);
    Stream.WriteBuffer(ID, 4);
    WriteLE32(Stream, uint32_t(size));
    Stream.WriteBuffer(Record.Record.data(), int64_t(Record.Record.size()));
    WriteBytes(Stream, Record.Tail);
    const int64_t written = int64_t(TRecord::RecordSize + Record.Tail.size());
    const std::vector<uint8_t> zeros(size_t(size - written), 0);
    if (!zeros.empty()) Stream.WriteBuffer(zeros.data(), int64_t(zeros.size()));
}

template <class TRecord> void ReadRecordChunk(rtl::TStream& Stream, const TChunk& Chunk, TRecord& Record)
{
    // A chunk cut short by the end of the file leaves zeros; a tail is never larger than the file.
    Stream.Read(Record.Record.data(), int64_t(Record.Record.size()));
    const int64_t left = std::min<int64_t>(int64_t(Chunk.Padded) - int64_t(TRecord::RecordSize), Stream.Size() - Stream.Position());
    if (left > 0) {
        Record.Tail.resize(size_t(left));
        Record.Tail.resize(size_t(Stream.Read(Record.Tail.data(), left)));
    }
    Record.Loaded = true;
}

} // namespace

int64_t TWAVTag::CalculateBEXTSize() const { return RecordChunkSize(BEXT); }
int64_t TWAVTag::CalculateCARTSize() const { return RecordChunkSize(CART); }

int TWAVTag::LoadFromFile(const String& AFileName)
{
    Clear();
    std::unique_ptr<rtl::TFileStream> file;
    try {
        if (!rtl::FileExists(AFileName)) return WAVTAGLIBRARY_ERROR_OPENING_FILE;
        file = std::make_unique<rtl::TFileStream>(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return WAVTAGLIBRARY_ERROR_OPENING_FILE;
    }
    const int result = LoadFromStream(*file);
    if (result == WAVTAGLIBRARY_SUCCESS) FileName = AFileName;
    return result;
}

int TWAVTag::LoadFromStream(rtl::TStream& TagStream)
{
    Loaded = false;
    BEXT.Loaded = false;
    CART.Loaded = false;
    Clear();
    try {
        const int64_t start = TagStream.Position();
        FFileSize = TagStream.Size();
        TForm form;
        if (!ReadForm(TagStream, ID3v2Size(TagStream), form) && !ReadForm(TagStream, 0, form))
            return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        if (form.RF64 && form.Base != 0) return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        TChunk chunk;
        if (FindTagChunk(TagStream, form, tkInfo, chunk)) {
            const int64_t end = chunk.Start + 8 + int64_t(chunk.Padded);
            Size += 8 + int64_t(chunk.Padded);
            while (TagStream.Position() + 8 <= end) {
                uint8_t head[8];
                TagStream.ReadBuffer(head, 8);
                const uint32_t size = uint32_t(GetLE(head + 4, 4));
                // Every size is checked against what the file holds before anything is allocated.
                if (int64_t(size) > TagStream.Size() - TagStream.Position()) throw rtl::EReadError(u"Stream read error"_s);
                TWAVTagFrame* frame = AddFrame(NameFromID(head));
                if (!frame) throw rtl::EReadError(u"Stream read error"_s);
                if (size > 0) frame->Stream.CopyFrom(TagStream, size);
                frame->Stream.SetPosition(0);
                if (size & 1) TagStream.Seek(1, rtl::soCurrent);
                frame->Format = wtffText;
            }
        }
        if (FindTagChunk(TagStream, form, tkBext, chunk)) {
            ReadRecordChunk(TagStream, chunk, BEXT);
            Size += 8 + int64_t(chunk.Padded);
        }
        if (FindTagChunk(TagStream, form, tkCart, chunk)) {
            ReadRecordChunk(TagStream, chunk, CART);
            Size += 8 + int64_t(chunk.Padded);
        }
        ReadWaveAttributes(TagStream, form.Base, form.RF64);
        Loaded = true;
        TagStream.SetPosition(start);
        return WAVTAGLIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return WAVTAGLIBRARY_ERROR;
    }
}

void TWAVTag::ReadWaveAttributes(rtl::TStream& Stream, int64_t Base, bool)
{
    TForm form;
    if (!ReadForm(Stream, Base, form) || !form.Wave) return;
    if (form.RF64) {
        SampleDataSize = int64_t(form.DataSize64);
        SampleCount = int64_t(form.SampleCount64);
    }
    const int64_t end = Stream.Size();
    int64_t pos = form.HeaderEnd;
    bool haveFmt = false;
    while (pos + 8 <= end) {
        Stream.SetPosition(pos);
        TChunk chunk;
        if (!ReadChunk(Stream, form, chunk)) break;
        if (!haveFmt && IsID(chunk.ID, "fmt ")) {
            uint8_t b[44] = {};
            Stream.SetPosition(pos + 4);
            Stream.Read(b, 44);
            TWaveFmt& f = Attributes;
            f.fmtSize = uint32_t(GetLE(b, 4));
            f.FormatTag = uint16_t(GetLE(b + 4, 2));
            f.Channels = uint16_t(GetLE(b + 6, 2));
            f.SamplesPerSec = uint32_t(GetLE(b + 8, 4));
            f.AvgBytesPerSec = uint32_t(GetLE(b + 12, 4));
            f.BlockAlign = uint16_t(GetLE(b + 16, 2));
            f.BitsPerSample = uint16_t(GetLE(b + 18, 2));
            if (f.FormatTag == 0xFFFE) {
                f.cbSize = uint16_t(GetLE(b + 20, 2));
                f.ValidBitsPerSample = uint16_t(GetLE(b + 22, 2));
                f.ChannelMask = uint32_t(GetLE(b + 24, 4));
                std::memcpy(f.SubFormat, b + 28, 16);
            }
            haveFmt = true;
        } else if (haveFmt && IsID(chunk.ID, "data")) {
            SampleDataStartPosition = pos + 8;
            if (!form.RF64) {
                SampleDataSize = chunk.SizeField;
                // A block alignment of 0 says nothing about the samples: the facts stay 0.
                SampleCount = Attributes.BlockAlign != 0 ? SampleDataSize / Attributes.BlockAlign : 0;
            }
            break;
        }
        pos += 8 + int64_t(chunk.Padded);
    }
    PlayTime = Attributes.SamplesPerSec != 0 ? double(SampleCount) / Attributes.SamplesPerSec : 0;
    BitRate = int32_t(Attributes.AvgBytesPerSec / 125);
}

// ---- saving ------------------------------------------------------------------------------------------------

void TWAVTag::CreateTagChunks(rtl::TStream& Stream)
{
    if (Count() > 0) {
        Stream.WriteBuffer("LIST", 4);
        WriteLE32(Stream, uint32_t(4 + CalculateTotalFramesSize()));
        Stream.WriteBuffer("INFO", 4);
        for (const auto& frame : Frames) {
            WriteID(Stream, frame->Name);
            const int64_t size = frame->Stream.Size();
            WriteLE32(Stream, uint32_t(size));
            if (size > 0) Stream.WriteBuffer(frame->Stream.Memory(), size);
            if (size & 1) Stream.WriteBuffer("", 1);
        }
    }
    if (HaveBEXT()) {
        if (BEXT.Version() == 0) BEXT.SetVersion(1);
        WriteRecordChunk(Stream, "bext", BEXT);
    }
    if (HaveCART()) {
        if (CART.Version().isEmpty()) CART.SetVersion(u"0101"_s);
        WriteRecordChunk(Stream, "cart", CART);
    }
}

namespace {

// Every chunk must lie inside the file.
bool CheckLayout(rtl::TStream& Stream, TForm& Form)
{
    try {
        if (!ReadForm(Stream, 0, Form) || !Form.Wave) return false;
        if (Form.RF64) {
            uint8_t b[8] = {};
            Stream.SetPosition(4);
            Stream.Read(b, 4);
            Stream.SetPosition(12);
            Stream.Read(b + 4, 4);
            if (GetLE(b, 4) != 0xFFFFFFFFu || !IsID(b + 4, "ds64")) return false;
        }
        const int64_t size = Stream.Size();
        const int64_t limit = Form.RF64 ? size : std::min<int64_t>(size, 8 + int64_t(Form.Size));
        int64_t pos = Form.HeaderEnd;
        while (pos < limit) {
            Stream.SetPosition(pos);
            TChunk chunk;
            if (!ReadChunk(Stream, Form, chunk)) return false;
            pos += 8 + int64_t(chunk.Padded);
            if (pos > size) return false;
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The chunks of the form from its header on, up to its size; Visit(chunk, whole size, is a tag chunk).
// A chunk that runs past the end of the file ends the walk.
template <class TVisit> int64_t WalkFormChunks(rtl::TStream& Source, const TForm& Form, TVisit Visit)
{
    int64_t pos = Form.HeaderEnd;
    while (uint64_t(pos) + 8 < Form.Size) {
        Source.SetPosition(pos);
        TChunk chunk;
        if (!ReadChunk(Source, Form, chunk)) break;
        const int64_t whole = 8 + int64_t(chunk.Padded);
        bool tag = IsID(chunk.ID, "bext") || IsID(chunk.ID, "cart");
        if (IsID(chunk.ID, "LIST")) {
            uint8_t type[4] = {};
            Source.Read(type, 4);
            tag = IsID(type, "INFO");
        }
        if (pos + whole > Source.Size()) break;
        Visit(pos, whole, tag);
        pos += whole;
    }
    return pos;
}

// Header, new block, every chunk but the old tag chunks, and whatever lies behind the form. The new
// size is known before anything is copied, so a form that would outgrow RIFF costs no copy.
int RewriteTagChunks(rtl::TStream& Source, const TForm& Form, rtl::TStream& Destination, rtl::TMemoryStream& Block)
{
    uint64_t dropped = 0;
    WalkFormChunks(Source, Form, [&](int64_t, int64_t Whole, bool Tag) {
        if (Tag) dropped += uint64_t(Whole);
    });
    const uint64_t newSize = Form.Size - dropped + uint64_t(Block.Size());
    const uint64_t riff = newSize + (newSize & 1);
    if (!Form.RF64 && riff > 0xFFFFFFFFu) return WAVTAGLIBRARY_ERROR_DOESNT_FIT;

    // Between two files the kernel copies the chunks, without passing the audio through us.
    auto* sourceFile = dynamic_cast<rtl::THandleStream*>(&Source);
    auto* replacement = dynamic_cast<TReplacementFile*>(&Destination);
    auto copy = [&](int64_t Pos, int64_t Count) {
        if (sourceFile && replacement) {
            replacement->CopyFromHandle(sourceFile->Handle(), Pos, Count);
        } else {
            Source.SetPosition(Pos);
            Destination.CopyFrom(Source, Count);
        }
    };
    const int64_t headerAt = Destination.Position();
    copy(0, Form.HeaderEnd);
    const int64_t blockAt = Destination.Position();
    uint8_t size[8];
    PutLE(size, 8, Form.RF64 ? newSize : riff);
    Destination.SetPosition(headerAt + (Form.RF64 ? 20 : 4));
    Destination.WriteBuffer(size, Form.RF64 ? 8 : 4);
    Destination.SetPosition(blockAt);
    if (Block.Size() > 0) Destination.WriteBuffer(Block.Memory(), Block.Size());
    const int64_t end = WalkFormChunks(Source, Form, [&](int64_t Pos, int64_t Whole, bool Tag) {
        if (Tag) return;
        copy(Pos, Whole);
    });
    if (Source.Size() > end) copy(end, Source.Size() - end);
    return WAVTAGLIBRARY_SUCCESS;
}

// The tag chunks written into the file itself where they, with filler chunks, lead the form: the new
// ones take the old room and a "JUNK" chunk fills the rest; a longer block first gets whole blocks of
// the file system inserted at the start. The audio and every other chunk keep their place on the disk.
// kNotInPlace where that cannot be done (a tag chunk further on, a form that would outgrow RIFF, a file
// system that cannot insert): the caller then replaces the file.
constexpr int kNotInPlace = -1;
constexpr int64_t kFillerMin = 8;   // the smallest chunk: its header

int WriteTagChunksInPlace(const String& FileName, rtl::TStream& Source, const TForm& Form, rtl::TMemoryStream& Block)
{
    if ((Form.HeaderEnd & 1) != 0 || (Block.Size() & 1) != 0) return kNotInPlace;
    int64_t roomEnd = Form.HeaderEnd;
    bool leading = true, tagFurtherOn = false;
    WalkFormChunks(Source, Form, [&](int64_t Pos, int64_t Whole, bool Tag) {
        uint8_t id[4] = {};
        Source.SetPosition(Pos);
        Source.Read(id, 4);
        if (leading && (Tag || IsID(id, "JUNK"))) {
            roomEnd = Pos + Whole;
        } else {
            leading = false;
            tagFurtherOn = tagFurtherOn || Tag;
        }
    });
    if (tagFurtherOn) return kNotInPlace;

    const int fd = ::open(FileName.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return kNotInPlace;
    struct TCloser {
        int Handle;
        ~TCloser() { ::close(Handle); }
    } closer{fd};
    const uint64_t oldHead = uint64_t(roomEnd);
    const uint64_t needed = uint64_t(Form.HeaderEnd + Block.Size());
    const uint64_t newHead = uint64_t(InPlaceHeadSize(fd, int64_t(needed), int64_t(oldHead), kFillerMin));
    const uint64_t formSize = Form.Size + (newHead - oldHead);
    if (!Form.RF64 && formSize + (formSize & 1) > 0xFFFFFFFFu) return kNotInPlace;

    rtl::TBytes head(size_t(newHead), 0);
    Source.SetPosition(0);
    Source.ReadBuffer(head.data(), Form.HeaderEnd);
    if (Form.RF64) PutLE(head.data() + 20, 8, formSize);
    else PutLE(head.data() + 4, 4, formSize + (formSize & 1));
    if (Block.Size() > 0) std::memcpy(head.data() + Form.HeaderEnd, Block.Memory(), size_t(Block.Size()));
    if (newHead > needed) {
        std::memcpy(head.data() + needed, "JUNK", 4);
        PutLE(head.data() + needed + 4, 4, newHead - needed - 8);
    }
    try {
        return WriteHeadInPlace(fd, int64_t(oldHead), head) ? WAVTAGLIBRARY_SUCCESS : kNotInPlace;
    } catch (const std::exception&) {
        return WAVTAGLIBRARY_ERROR_WRITING_FILE;
    }
}

const uint8_t EmptyForm[12] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

} // namespace

int TWAVTag::SaveToFile(const String& AFileName)
{
    try {
        RemoveEmptyFrames();
        const bool created = !rtl::FileExists(AFileName);
        if (created) {
            try {
                rtl::TFileStream created(AFileName, rtl::fmCreate | rtl::fmShareDenyWrite);
                created.WriteBuffer(EmptyForm, 12);
            } catch (const std::exception&) {
                return WAVTAGLIBRARY_ERROR_WRITING_FILE;
            }
        }
        std::unique_ptr<rtl::TFileStream> file;
        try {
            file = std::make_unique<rtl::TFileStream>(AFileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        } catch (const std::exception&) {
            return WAVTAGLIBRARY_ERROR_FILE_NOT_WRITABLE;
        }
        TForm form;
        if (!CheckLayout(*file, form)) return WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        rtl::TMemoryStream block;
        CreateTagChunks(block);
        // A file made here holds no audio to keep in place.
        const int inPlace = created ? kNotInPlace : WriteTagChunksInPlace(AFileName, *file, form, block);
        if (inPlace != kNotInPlace) return inPlace;
        std::unique_ptr<TReplacementFile> out;
        try {
            out = std::make_unique<TReplacementFile>(AFileName);
        } catch (const std::exception&) {
            return WAVTAGLIBRARY_ERROR_WRITING_FILE;
        }
        const int result = RewriteTagChunks(*file, form, *out, block);
        if (result != WAVTAGLIBRARY_SUCCESS) return result;
        file.reset();
        try {
            out->Commit();
        } catch (const std::exception&) {
            return WAVTAGLIBRARY_ERROR_WRITING_FILE;
        }
        return WAVTAGLIBRARY_SUCCESS;
    } catch (const std::exception&) {
        return WAVTAGLIBRARY_ERROR;
    }
}

int TWAVTag::SaveToStream(rtl::TStream& Stream)
{
    int result = WAVTAGLIBRARY_ERROR;
    try {
        Stream.SetPosition(0);
        RemoveEmptyFrames();
        if (Stream.Size() == 0) Stream.WriteBuffer(EmptyForm, 12);
        TForm form;
        if (!CheckLayout(Stream, form)) {
            result = WAVTAGLIBRARY_ERROR_NOT_SUPPORTED_FORMAT;
        } else {
            rtl::TMemoryStream image, block;
            CreateTagChunks(block);
            result = RewriteTagChunks(Stream, form, image, block);
            if (result == WAVTAGLIBRARY_SUCCESS) {
                Stream.SetSize(0);
                Stream.SetPosition(0);
                Stream.WriteBuffer(image.Memory(), image.Size());
            }
        }
    } catch (const std::exception&) {
        result = WAVTAGLIBRARY_ERROR;
    }
    try {
        Stream.SetPosition(0);
    } catch (const std::exception&) {
    }
    return result;
}

int StripWAVTagsFromFile(const String& FileName)
{
    try {
        if (!rtl::FileExists(FileName)) return WAVTAGLIBRARY_ERROR_OPENING_FILE;
        TWAVTag empty;
        return empty.SaveToFile(FileName);
    } catch (const std::exception&) {
        return WAVTAGLIBRARY_ERROR;
    }
}

} // namespace tags
