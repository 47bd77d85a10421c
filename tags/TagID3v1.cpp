// tags/TagID3v1.cpp
#include "tags/TagID3v1.h"

#include "rtl/Files.h"
#include "rtl/Streams.h"
#include "rtl/SysUtils.h"
#include "tags/ID3v2Base.h"

#include <algorithm>
#include <cstring>

namespace tags {

bool ID3v1TrimTextDefault = true;
bool ID3v1TreatUnknownGenresAsOtherDefault = false;
bool ID3v1ReturnANSITextDefault = true;
bool ID3v1SetANSITextDefault = true;

const char* const ID3v1Genres[192] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40",
    "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychedelic", "Rave",
    "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing", "Fast Fusion", "Bebob",
    "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock",
    "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic",
    "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad",
    "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House", "Dance Hall",
    "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Negerpunk", "Polsk Punk",
    "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Trash Metal", "Anime", "JPop", "SynthPop", "Abstract", "Art Rock",
    "Baroque", "Bhangra", "Big Beat", "Breakbeat", "Chillout", "Downtempo", "Dub", "EBM", "Eclectic",
    "Electro", "Electroclash", "Emo", "Experimental", "Garage", "Global", "IDM", "Illbient", "Industro-Goth",
    "Jam Band", "Krautrock", "Leftfield", "Lounge", "Math Rock", "New Romantic", "Nu-Breakz", "Post-Punk",
    "Post-Rock", "Psytrance", "Shoegaze", "Space Rock", "Trop Rock", "World Music", "Neoclassical",
    "Audiobook", "Audio Theatre", "Neue Deutsche Welle", "Podcast", "Indie Rock", "G-Funk", "Dubstep",
    "Garage Rock", "Psybient",
};

String GenreIndexToText(uint8_t Index)
{
    if (Index < 192) return QString::fromLatin1(ID3v1Genres[Index]);
    if (Index == 255) return {};
    return QString::number(Index);
}

String GenreIndexToTextOrOther(uint8_t Index)
{
    return QString::fromLatin1(ID3v1Genres[Index < 192 ? Index : 12]);
}

uint8_t GenreTextToIndex(const String& Text)
{
    if (rtl::Trim(Text).isEmpty()) return 255;   // no genre, not "Other"
    int number = 0;
    // a number that no genre byte can hold is no genre number (300 is not 44)
    if (rtl::TryStrToInt(Text, number) && number >= 0 && number <= 255) return uint8_t(number);
    String name = Text;
    name.replace(QStringLiteral("Psychadelic"), QStringLiteral("Psychedelic"));
    for (int i = 0; i < 192; ++i)
        if (name == QLatin1String(ID3v1Genres[i])) return uint8_t(i);
    return 12;
}

TID3v1Tag::TID3v1Tag()
    : TrimText(ID3v1TrimTextDefault), TreatUnknownGenresAsOther(ID3v1TreatUnknownGenresAsOtherDefault),
      ReturnANSIText(ID3v1ReturnANSITextDefault), SetANSIText(ID3v1SetANSITextDefault)
{
    Clear();
}

TID3v1Tag::~TID3v1Tag() = default;

void TID3v1Tag::Clear()
{
    SourceFileName.clear();
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Genre.clear();
    TrackString.clear();
    Loaded = false;
    Revision1 = false;
    Track = 0;
    LyricsFrames.clear();
    FLyricsTagSize = 0;
    FFileSize = 0;
}

int TID3v1Tag::LoadFromFile(const String& FileName)
{
    Clear();
    Loaded = false;
    if (!rtl::FileExists(FileName)) return ID3V1_ERROR_OPENING_FILE;
    try {
        rtl::TFileStream file(FileName, rtl::fmOpenRead | rtl::fmShareDenyWrite);
        const int result = LoadFromStream(file);
        if (result == ID3V1_SUCCESS) SourceFileName = FileName;
        return result;
    } catch (const std::exception&) {
        return ID3V1_ERROR_UNKNOWN;
    }
}

int TID3v1Tag::LoadFromStream(rtl::TStream& TagStream)
{
    Loaded = false;
    Clear();
    try {
        FFileSize = TagStream.Size();
        TagStream.SetPosition(FFileSize < 129 ? 0 : FFileSize - 128);
        uint8_t b[128];
        ReadZeroFilled(TagStream, b, 128);
        if (std::memcmp(b, "TAG", 3) != 0) return ID3V1_ERROR_UNKNOWN;
        auto field = [&](int Offset, int Width) {
            const auto* start = b + Offset;
            const size_t n = size_t(std::find(start, start + Width, 0) - start);
            String s = ReturnANSIText ? rtl::TEncoding::ANSI()->GetString(start, n)
                                      : QString::fromLatin1(reinterpret_cast<const char*>(start), qsizetype(n));
            return TrimText ? rtl::Trim(s) : s;
        };
        Title = field(3, 30);
        Artist = field(33, 30);
        Album = field(63, 30);
        Year = field(93, 4);
        Comment = field(97, 30);
        Genre = TreatUnknownGenresAsOther ? GenreIndexToTextOrOther(b[127]) : GenreIndexToText(b[127]);
        if (TrimText) Genre = rtl::Trim(Genre);
        if (b[125] == 0) {
            Track = b[126];
            TrackString = QString::number(Track);
            Revision1 = true;
        }
        if (FFileSize > 128) {
            // a Lyrics3 block that cannot be read costs its own fields, never the ID3v1 ones
            try {
                LoadLyricsTag(TagStream);
            } catch (const std::exception&) {
                LyricsFrames.clear();
            }
        }
        Loaded = true;
        return ID3V1_SUCCESS;
    } catch (const std::exception&) {
        Clear();
        return ID3V1_ERROR_READING_FILE;
    }
}

namespace {

// A size field, converted as the run-time library converts integers (other writers pad with blanks);
// anything that is not a size raises, as a failed conversion does.
uint32_t ReadDecimal(rtl::TStream& Stream, int Width)
{
    char digits[8] = {};
    ReadZeroFilled(Stream, digits, Width);
    const String text = QString::fromLatin1(digits, Width);
    int value = 0;
    if (!rtl::TryStrToInt(text, value) || value < 0)
        throw rtl::EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return uint32_t(value);
}

// The size digits of a Lyrics3 block at Position, or -1 when they are not a size.
int64_t LyricsBlockSize(rtl::TStream& Stream, int64_t Position)
{
    if (Position < 0) return -1;
    try {
        Stream.SetPosition(Position);
        return ReadDecimal(Stream, 6);
    } catch (const rtl::EConvertError&) {
        return -1;
    }
}

bool ReadMark(rtl::TStream& Stream, int64_t Position, const char* Mark)
{
    const size_t n = std::strlen(Mark);
    if (Position < 0) return false;
    Stream.SetPosition(Position);
    char b[16] = {};
    ReadZeroFilled(Stream, b, int(n));
    return std::memcmp(b, Mark, n) == 0;
}

} // namespace

int TID3v1Tag::LoadLyricsTag(rtl::TStream& TagStream)
{
    const int64_t end = TagStream.Size();
    if (!ReadMark(TagStream, end - 137, "LYRICS200")) return ID3V1_ERROR_UNKNOWN;
    if (end < 143) return ID3V1_ERROR_UNKNOWN;
    TagStream.SetPosition(end - 143);
    const uint32_t blockSize = ReadDecimal(TagStream, 6);
    FLyricsTagSize = blockSize + 15;
    const int64_t fieldsEnd = end - 143;
    if (int64_t(blockSize) > fieldsEnd || !ReadMark(TagStream, fieldsEnd - blockSize, "LYRICSBEGIN"))
        return ID3V1_ERROR_UNKNOWN;
    int result = ID3V1_ERROR_UNKNOWN;
    // A block without fields holds nothing (its size digits are not read as a field).
    while (TagStream.Position() + 8 <= fieldsEnd) {
        char id[3];
        ReadZeroFilled(TagStream, id, 3);
        const uint32_t size = ReadDecimal(TagStream, 5);
        TID3LyricsFrame* frame = AddLyricsFrame(QString::fromLatin1(id, 3));
        const int64_t n = std::min<int64_t>(size, fieldsEnd - TagStream.Position());
        TBytes data(size_t(std::max<int64_t>(n, 0)));
        ReadZeroFilled(TagStream, data.data(), int(data.size()));
        frame->Data = QString::fromLatin1(reinterpret_cast<const char*>(data.data()), qsizetype(data.size()));
        const String& d = frame->Data;
        if (frame->ID == u"IND") {
            LyricsHasTimeStamp = d.size() > 1 && d[1] == u'1';
            InhibitTracksForRandomSelection = d.size() > 2 && d[2] == u'1';
        } else if (frame->ID == u"EAL") {
            if (!Album.isEmpty() && d.contains(Album)) Album = d;
        } else if (frame->ID == u"EAR") {
            if (!Artist.isEmpty() && d.contains(Artist)) Artist = d;
        } else if (frame->ID == u"ETT") {
            if (!Title.isEmpty() && d.contains(Title)) Title = d;
        }
        result = ID3V1_SUCCESS;
        if (n < int64_t(size)) break;   // a field that claims more than the block holds ends it
    }
    return result;
}

TID3LyricsFrame* TID3v1Tag::AddLyricsFrame(const String& ID)
{
    LyricsFrames.push_back(std::make_unique<TID3LyricsFrame>());
    LyricsFrames.back()->ID = ID;
    return LyricsFrames.back().get();
}

bool TID3v1Tag::DeleteLyricsFrame(int Index)
{
    if (Index < 0 || Index >= LyricsFrameCount()) return false;
    LyricsFrames.erase(LyricsFrames.begin() + Index);
    return true;
}

TID3LyricsFrame* TID3v1Tag::FindLyricsFrame(const String& ID) const
{
    for (const auto& frame : LyricsFrames)
        if (frame->ID == ID) return frame.get();
    return nullptr;
}

String TID3v1Tag::GetLyrics() const
{
    for (auto it = LyricsFrames.rbegin(); it != LyricsFrames.rend(); ++it)
        if ((*it)->ID == u"LYR") return (*it)->Data;
    return {};
}

void TID3v1Tag::SetLyrics(const String& Text)
{
    for (int i = 0; i < LyricsFrameCount(); ++i) {
        if (LyricsFrames[i]->ID != u"LYR") continue;
        if (Text.isEmpty()) DeleteLyricsFrame(i);
        else LyricsFrames[i]->Data = Text;
        return;
    }
    if (!Text.isEmpty()) AddLyricsFrame(QStringLiteral("LYR"))->Data = Text;
}

// ---------------------------------------------------------------------------------------------
// Saving and stripping

namespace {

// A text field of the block: the system code page or the low bytes of the characters, cut to Width.
void PutText(uint8_t* Field, int Width, const String& Text, bool ANSI)
{
    if (ANSI) {
        const TBytes bytes = rtl::TEncoding::ANSI()->GetBytes(Text);
        if (!bytes.empty()) std::memcpy(Field, bytes.data(), std::min<size_t>(bytes.size(), size_t(Width)));
    } else {
        for (int i = 0; i < Width && i < Text.size(); ++i) Field[i] = uint8_t(Text[i].unicode());
    }
}

void WriteText(rtl::TStream& Stream, const char* Text) { Stream.WriteBuffer(Text, int64_t(std::strlen(Text))); }

void WriteDigits(rtl::TStream& Stream, uint32_t Value, int Width)
{
    const QByteArray digits = QByteArray::number(Value).rightJustified(Width, '0');
    Stream.WriteBuffer(digits.constData(), Width);
}

// UTF-8 of Text cut to Limit bytes at a character boundary.
QByteArray LyricsFieldBytes(const String& Text, int Limit)
{
    QByteArray bytes = Text.toUtf8();
    if (bytes.size() <= Limit) return bytes;
    int n = Limit;
    while (n > 0 && (uint8_t(bytes[n]) & 0xC0) == 0x80) --n;
    bytes.truncate(n);
    return bytes;
}

} // namespace

int TID3v1Tag::SaveToStream(rtl::TStream& TagStream)
{
    uint8_t block[128];
    int64_t start = 0;
    try {
        const int64_t size = TagStream.Size();
        start = size <= 128 ? 0 : size - 128;
        TagStream.SetPosition(start);
        ReadZeroFilled(TagStream, block, 128);
        TagStream.SetPosition(std::memcmp(block, "TAG", 3) == 0 ? start : size);
    } catch (const std::exception&) {
        return ID3V1_ERROR_READING_FILE;
    }
    std::memset(block, 0, sizeof block);
    std::memcpy(block, "TAG", 3);
    PutText(block + 3, 30, Title, SetANSIText);
    PutText(block + 33, 30, Artist, SetANSIText);
    PutText(block + 63, 30, Album, SetANSIText);
    PutText(block + 93, 4, Year, SetANSIText);
    PutText(block + 97, 30, Comment, SetANSIText);
    block[127] = GenreTextToIndex(Genre);
    if (block[125] == 0) block[126] = Track;
    try {
        TagStream.WriteBuffer(block, 128);
    } catch (const std::exception&) {
        return ID3V1_ERROR_WRITING_FILE;
    }
    return ID3V1_SUCCESS;
}

int TID3v1Tag::LyricsTagSaveToStream(rtl::TStream& TagStream)
{
    // What the size fields can count: 5 digits a field, 6 for the block.
    constexpr int MaxField = 99999;
    constexpr int64_t MaxBlock = 999999;
    try {
        const int64_t end = TagStream.Size();
        if (ReadMark(TagStream, end - 9, "LYRICS200")) {
            const int64_t size = LyricsBlockSize(TagStream, end - 15);
            if (size >= 0 && ReadMark(TagStream, end - 15 - size, "LYRICSBEGIN")) TagStream.SetSize(end - 15 - size);
        }
        rtl::TMemoryStream block;
        WriteText(block, "LYRICSBEGIN");
        WriteText(block, "IND00003");
        WriteText(block, FindLyricsFrame(QStringLiteral("LYR")) ? "1" : "0");
        WriteText(block, LyricsHasTimeStamp ? "1" : "0");
        WriteText(block, InhibitTracksForRandomSelection ? "1" : "0");
        for (const auto& frame : LyricsFrames) {
            if (frame->Data.isEmpty() || frame->ID == u"IND") continue;
            const String& value = frame->ID == u"EAL" ? Album : frame->ID == u"EAR" ? Artist
                                : frame->ID == u"ETT" ? Title : frame->Data;
            const QByteArray bytes = LyricsFieldBytes(value, MaxField);
            if (block.Size() + 8 + bytes.size() > MaxBlock) break;   // the fields that fit
            const QByteArray id = frame->ID.toLatin1().leftJustified(3, ' ', true);
            block.WriteBuffer(id.constData(), 3);
            WriteDigits(block, uint32_t(bytes.size()), 5);
            block.WriteBuffer(bytes.constData(), bytes.size());
        }
        WriteDigits(block, uint32_t(block.Size()), 6);
        WriteText(block, "LYRICS200");
        TagStream.Seek(0, rtl::soEnd);
        block.SaveToStream(TagStream);
        return ID3V1_SUCCESS;
    } catch (const std::exception&) {
        return ID3V1_ERROR_UNKNOWN;
    }
}

int TID3v1Tag::SaveToFile(const String& FileName, bool WriteLyricsTag)
{
    if (WriteLyricsTag) StripID3v1FromFile(FileName);
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = rtl::FileExists(FileName)
                   ? std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite)
                   : std::make_unique<rtl::TFileStream>(FileName, rtl::fmCreate | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return ID3V1_ERROR_OPENING_FILE;
    }
    try {
        if (WriteLyricsTag) LyricsTagSaveToStream(*file);
        const int result = SaveToStream(*file);
        if (result == ID3V1_SUCCESS) SourceFileName = FileName;
        return result;
    } catch (const std::exception&) {
        return ID3V1_ERROR_UNKNOWN;
    }
}

int StripID3v1FromFile(const String& FileName)
{
    if (!rtl::FileExists(FileName)) return ID3V1_ERROR_UNKNOWN;
    std::unique_ptr<rtl::TFileStream> file;
    try {
        file = std::make_unique<rtl::TFileStream>(FileName, rtl::fmOpenReadWrite | rtl::fmShareDenyWrite);
    } catch (const std::exception&) {
        return ID3V1_ERROR_OPENING_FILE;
    }
    try {
        const int64_t end = file->Size();
        if (end < 128 || !ReadMark(*file, end - 128, "TAG")) return ID3V1_ERROR_UNKNOWN;
        int64_t cut = end - 128;
        if (ReadMark(*file, end - 137, "LYRICS200")) {
            // A Lyrics3 block goes too; one whose start cannot be found stays as data, but the ID3v1
            // block is removed all the same.
            const int64_t size = LyricsBlockSize(*file, end - 143);
            if (size >= 0 && ReadMark(*file, end - 143 - size, "LYRICSBEGIN")) cut = end - 143 - size;
        }
        file->SetSize(cut);
        return ID3V1_SUCCESS;
    } catch (const std::exception&) {
        return ID3V1_ERROR_UNKNOWN;
    }
}

} // namespace tags
