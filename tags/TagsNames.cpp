// tags/TagsNames.cpp: the common field names of the tag front and the identifiers that ID3v2, MP4,
// RIFF INFO and WMA use for them, in one table read in both directions.
#include "tags/Tags.h"

#include "rtl/SysUtils.h"

#include <QHash>

namespace tags {

namespace {

// One row per common name. A cell lists the format's identifiers separated by '|'; a trailing '<' marks
// an identifier that is only read as this name, a trailing '>' one that is only written for it.
struct TNameRow {
    const char16_t* Name;
    const char16_t* ID3v2;
    const char16_t* MP4;
    const char16_t* RIFF;
    const char16_t* WMA;
};

constexpr TNameRow NameTable[] = {
    {u"ARTIST", u"TPE1", u"\u00A9ART", u"IART", u"Author"},
    {u"TITLE", u"TIT2", u"\u00A9nam", u"INAM", u"Title"},
    {u"ALBUMARTIST", u"TPE2", u"aART", u"", u"WM/AlbumArtist"},
    {u"COMPOSER", u"TCOM", u"\u00A9wrt", u"ICOM", u"WM/Composer"},
    {u"SUBTITLE", u"TIT3", u"", u"", u"WM/SubTitle"},
    {u"MIXARTIST", u"TPE4", u"", u"", u"WM/ModifiedBy"},
    {u"ALBUM", u"TALB", u"\u00A9alb", u"IPRD|IALB<", u"WM/AlbumTitle"},
    {u"COPYRIGHT", u"TCOP", u"cprt", u"ICOP|BCPR<", u"Copyright"},
    {u"GROUPING", u"TIT1", u"\u00A9grp", u"", u"WM/ContentGroupDescription"},
    {u"GENRE", u"TCON", u"", u"IGNR", u"WM/Genre"},
    {u"RELEASEDATE", u"TDRL", u"\u00A9day", u"", u"WM/ReleaseYear"},
    {u"RECORDINGDATE", u"TDRC", u"", u"ICRD", u"WM/Year"},
    {u"YEAR", u"TYER", u"\u00A9day>", u"IYER", u"WM/Year>"},
    {u"TRACKNUMBER", u"TRCK", u"", u"ITRK|itrk<", u"WM/TrackNumber>|WM/Track<"},
    {u"TRACK", u"TRCK>", u"", u"ITRK>", u"WM/TrackNumber>"},
    {u"DISCNUMBER", u"TPOS", u"", u"", u"WM/PartOfSet>"},
    {u"DISC", u"TPOS>", u"", u"", u"WM/PartOfSet"},
    {u"BPM", u"TBPM", u"tmpo", u"IBPM", u"WM/BeatsPerMinute"},
    {u"KEY", u"TKEY", u"", u"BKEY", u"WM/InitialKey"},
    {u"CONDUCTOR", u"TPE3", u"", u"", u"WM/Conductor"},
    {u"LYRICIST", u"TEXT", u"", u"", u"WM/Writer"},
    {u"PRODUCED", u"TPRO", u"", u"IENG", u"WM/Produced"},
    {u"STUDIO", u"TSTU", u"stdo", u"STDO", u"WM/Studio"},
    {u"PUBLISHER", u"TPUB", u"TPUB<", u"IPUB", u"WM/Publisher"},
    {u"ENCODEDBY", u"TENC", u"\u00A9enc", u"ITCH", u"WM/EncodedBy"},
    {u"SOFTWARESETTINGS", u"TSSE", u"", u"", u"WM/EncodingSettings"},
    {u"ISRC", u"TSRC", u"", u"", u"WM/ISRC"},
    {u"DISCSUBTITLE", u"TSST", u"", u"", u"WM/SetSubTitle"},
    {u"LANGUAGE", u"TLAN", u"", u"", u"WM/Language"},
    {u"MEDIA", u"TMED", u"", u"ISRF", u"WM/Media"},
    {u"TIPL", u"TIPL", u"TIPL", u"TIPL", u"WM/TIPL"},
    {u"TMCL", u"TMCL", u"TMCL", u"TMCL", u"WM/TMCL"},
    {u"MOOD", u"TMOO", u"", u"", u"WM/Mood"},
    {u"COMMENT", u"COMM", u"\u00A9cmt", u"ICMT", u"Description"},
    {u"LYRICS", u"USLT", u"\u00A9lyr", u"ILYR", u"WM/Lyrics"},
    {u"ARTISTSORT", u"TSOP", u"soar", u"", u"WM/ArtistSortOrder"},
    {u"TITLESORT", u"TSOT", u"sonm", u"", u"WM/TitleSortOrder"},
    {u"ALBUMARTISTSORT", u"TSO2", u"soaa", u"", u"WM/AlbumArtistSortOrder"},
    {u"ALBUMSORT", u"TSOA", u"soal", u"", u"WM/AlbumSortOrder"},
    {u"ORIGINALARTIST", u"TOPE", u"", u"", u"WM/OriginalArtist"},
    {u"ORIGINALTITLE", u"TOAL", u"", u"", u"WM/OriginalTitle"},
    {u"ORIGINALLYRICIST", u"TOLY", u"", u"", u"WM/OriginalLyricist"},
    {u"ORIGINALFILENAME", u"TOFN", u"", u"", u"WM/OriginalFilename"},
    {u"ORIGINALRELEASEDATE", u"TDOR", u"", u"", u"WM/OriginalReleaseYear"},
    {u"ARTISTURL", u"WOAR", u"", u"", u"WM/AuthorURL"},
    {u"AUDIOFILEURL", u"WOAF", u"", u"", u"WM/AudioFileURL"},
    {u"BUYCDURL", u"WCOM", u"", u"", u"WM/BuyCDURL"},
    {u"PUBLISHERURL", u"WPUB", u"", u"", u"WM/PublisherURL"},
    {u"RADIOSTATIONURL", u"WORS", u"", u"", u"WM/RadioURL"},
    {u"COPYRIGHTURL", u"WCOP", u"", u"", u"CopyrightURL"},
    {u"OFFICIALAUDIOSOURCEURL", u"WOAS", u"", u"", u"WM/AudioSourceURL"},
    {u"PAYMENTURL", u"WPAY", u"", u"", u"WM/PaymentURL"},
    {u"FILEOWNER", u"TOWN", u"", u"", u"WM/FileOwner"},
    {u"RADIOSTATIONNAME", u"TRSN", u"", u"", u"WM/RadioStationName"},
    {u"RADIOSTATIONOWNER", u"TRSO", u"", u"", u"WM/RadioStationOwner"},
    {u"ALBUM ARTIST", u"", u"aART>", u"", u""},
    {u"RELEASE DATE", u"", u"\u00A9day>", u"", u""},
    {u"GAPLESSPLAYBACK", u"", u"pgap", u"", u""},
    {u"PARTOFCOMPILATION", u"", u"cpil", u"", u""},
    {u"PART OF COMPILATION", u"", u"cpil>", u"", u""},
    {u"TVNETWORK", u"", u"tvnn", u"", u""},
    {u"SHOW", u"", u"tvsh", u"", u""},
    {u"EPISODE", u"", u"tven", u"", u""},
    {u"SEASONNUMBER", u"", u"tvsn", u"", u""},
    {u"EPISODENUMBER", u"", u"tves", u"", u""},
    {u"HDVIDEO", u"", u"hdvd", u"", u""},
    {u"DESCRIPTION", u"", u"desc", u"", u""},
    {u"LONGDESCRIPTION", u"", u"ldes", u"", u""},
    {u"ENCODERTOOL", u"", u"\u00A9too", u"ISFT", u""},
    {u"COMPOSERSORT", u"", u"soco", u"", u""},
    {u"SHOWSORT", u"", u"sosn", u"", u""},
    {u"PODCAST", u"", u"pcst", u"", u""},
    {u"PODCASTURL", u"", u"purl", u"", u""},
    {u"PODCASTKEYWORDS", u"", u"keyw", u"", u""},
    {u"PODCASTCATEGORY", u"", u"catg", u"", u""},
    {u"PURCHASEACCOUNT", u"", u"apID", u"", u""},
    {u"PURCHASEACCOUNTTYPE", u"", u"akID", u"", u""},
    {u"PURCHASEDATE", u"", u"purd", u"", u""},
    {u"RATING", u"", u"SErg<", u"", u"WM/SharedUserRating"},
    {u"PLAYCOUNT", u"", u"SEpc<", u"", u"WM/Playcount"},
    {u"URL", u"", u"", u"IURL", u"WM/PromotionURL"},
    {u"TEMPO", u"", u"", u"BTPO", u"WM/Tempo"},
    {u"KEYWORDS", u"", u"", u"IKEY", u""},
    {u"MUSICEND", u"", u"", u"BEND", u""},
    {u"MUSICENERGY", u"", u"", u"BERG", u""},
    {u"MUSICTEXTURE", u"", u"", u"BTXR", u""},
    {u"HOOKSTART", u"", u"", u"HKST", u""},
    {u"HOOKEND", u"", u"", u"HKEN", u""},
    {u"SUBJECT", u"", u"", u"ISBJ", u""},
    {u"ARCHIVAL LOCATION", u"", u"", u"IARL", u""},
    {u"CATALOGNUMBER", u"", u"", u"", u"WM/CatalogNo"},
    {u"PARTOFSERIES", u"", u"", u"", u"WM/PartOfSeries"},
    {u"PRODUCER", u"", u"", u"", u"WM/Producer"},
    {u"ARRANGER", u"", u"", u"", u"WM/Arranger"},
    {u"ENGINEER", u"", u"", u"", u"WM/Engineer"},
    {u"DJMIXER", u"", u"", u"", u"WM/DJMixer"},
    {u"MIXER", u"", u"", u"", u"WM/Mixer"},
    {u"POPULARITY", u"", u"", u"", u"WM/Popularity"},
    {u"QUALITY", u"", u"", u"", u"WM/Quality"},
    {u"SITUATION", u"", u"", u"", u"WM/Situation"},
    {u"PREFERENCE", u"", u"", u"", u"WM/Preference"},
};

enum TNameFormat { nfID3v2, nfMP4, nfRIFF, nfWMA, nfCount };

// Both directions of one format's column; the first row that names a key decides.
struct TNameMap {
    QHash<String, String> Read;    // identifier -> common name
    QHash<String, String> Write;   // common name -> identifier
};

const TNameMap& NameMap(TNameFormat Format)
{
    static const auto maps = [] {
        std::array<TNameMap, nfCount> m;
        for (const TNameRow& row : NameTable) {
            const char16_t* cells[nfCount] = {row.ID3v2, row.MP4, row.RIFF, row.WMA};
            for (int f = 0; f < nfCount; ++f) {
                for (String id : String::fromUtf16(cells[f]).split(u'|', Qt::SkipEmptyParts)) {
                    const bool readOnly = id.endsWith(u'<');
                    const bool writeOnly = id.endsWith(u'>');
                    if (readOnly || writeOnly) id.chop(1);
                    const String name = String::fromUtf16(row.Name);
                    if (!writeOnly && !m[size_t(f)].Read.contains(id)) m[size_t(f)].Read.insert(id, name);
                    if (!readOnly && !m[size_t(f)].Write.contains(name)) m[size_t(f)].Write.insert(name, id);
                }
            }
        }
        return m;
    }();
    return maps[size_t(Format)];
}

String ReadName(TNameFormat Format, const String& ID) { return NameMap(Format).Read.value(ID); }
String WriteID(TNameFormat Format, const String& Name) { return NameMap(Format).Write.value(rtl::UpperCase(Name)); }

// Each byte of the number, lowest first, becomes one character of the same code.
String IDNumberToText(uint32_t ID, int Length)
{
    String text;
    for (int i = 0; i < Length; ++i) text += QChar(char16_t((ID >> (8 * i)) & 0xFF));
    return text;
}

} // namespace

String ID3v2FrameToTagName(const String& FrameID) { return ReadName(nfID3v2, FrameID); }
String TagNameToID3v2Frame(const String& Name) { return WriteID(nfID3v2, Name); }
String MP4AtomToTagName(const String& AtomName) { return ReadName(nfMP4, AtomName); }
String TagNameToMP4Atom(const String& Name) { return WriteID(nfMP4, Name); }
String RIFFInfoToTagName(const String& ChunkID) { return ReadName(nfRIFF, ChunkID); }
String TagNameToRIFFInfo(const String& Name) { return WriteID(nfRIFF, Name); }
String WMAAttributeToTagName(const String& AttributeName) { return ReadName(nfWMA, AttributeName); }
String TagNameToWMAAttribute(const String& Name) { return WriteID(nfWMA, Name); }

QStringList WMAAttributesOfNameMaps()
{
    QStringList names = NameMap(nfWMA).Read.keys();
    for (const String& id : NameMap(nfWMA).Write) names << id;
    names.removeDuplicates();
    return names;
}

String ID3v2FrameIDToTagName(uint32_t FrameID)
{
    return ID3v2FrameToTagName(IDNumberToText(FrameID, FrameID > 0xFFFFFF ? 4 : 3));
}

String MP4AtomIDToTagName(uint32_t AtomID) { return MP4AtomToTagName(IDNumberToText(AtomID, 4)); }

} // namespace tags
