// tests/tags/TagsNamesTest.cpp: the common field names and the identifiers of ID3v2, MP4, RIFF INFO and
// WMA, in both directions.
#include "tags/Tags.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Map = std::function<QString(const QString&)>;

// One row: a common name and each format's identifier that reads as it and is written for it.
struct RoundTrip { const char16_t* name; const char16_t* id3v2; const char16_t* mp4; const char16_t* riff; const char16_t* wma; };

class TagsNameMapsRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(TagsNameMapsRoundTrip, ReadsAndWritesTheSameIdentifier)
{
    const auto& r = GetParam();
    const QString name = QString::fromUtf16(r.name);
    const std::pair<Map, Map> maps[] = {{tags::TagNameToID3v2Frame, tags::ID3v2FrameToTagName},
                                        {tags::TagNameToMP4Atom, tags::MP4AtomToTagName},
                                        {tags::TagNameToRIFFInfo, tags::RIFFInfoToTagName},
                                        {tags::TagNameToWMAAttribute, tags::WMAAttributeToTagName}};
    const char16_t* ids[] = {r.id3v2, r.mp4, r.riff, r.wma};
    for (int f = 0; f < 4; ++f) {
        const QString id = QString::fromUtf16(ids[f]);
        EXPECT_EQ(maps[f].first(name), id) << "format " << f;
        if (!id.isEmpty()) {
            EXPECT_EQ(maps[f].second(id), name) << "format " << f;
            EXPECT_EQ(maps[f].first(name.toLower()), id) << "format " << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsNameMapsRoundTrip, ::testing::Values(
    RoundTrip{u"ARTIST", u"TPE1", u"\u00A9ART", u"IART", u"Author"},
    RoundTrip{u"TITLE", u"TIT2", u"\u00A9nam", u"INAM", u"Title"},
    RoundTrip{u"ALBUMARTIST", u"TPE2", u"aART", u"", u"WM/AlbumArtist"},
    RoundTrip{u"GENRE", u"TCON", u"", u"IGNR", u"WM/Genre"},
    RoundTrip{u"COMMENT", u"COMM", u"\u00A9cmt", u"ICMT", u"Description"},
    RoundTrip{u"LYRICS", u"USLT", u"\u00A9lyr", u"ILYR", u"WM/Lyrics"},
    RoundTrip{u"TIPL", u"TIPL", u"TIPL", u"TIPL", u"WM/TIPL"},
    RoundTrip{u"STUDIO", u"TSTU", u"stdo", u"STDO", u"WM/Studio"},
    RoundTrip{u"PAYMENTURL", u"WPAY", u"", u"", u"WM/PaymentURL"},
    RoundTrip{u"ENCODERTOOL", u"", u"\u00A9too", u"ISFT", u""},
    RoundTrip{u"ARCHIVAL LOCATION", u"", u"", u"IARL", u""},
    RoundTrip{u"PREFERENCE", u"", u"", u"", u"WM/Preference"},
    RoundTrip{u"BPM", u"TBPM", u"tmpo", u"IBPM", u"WM/BeatsPerMinute"}));

// Where the two directions part.
struct OneWay { Map map; const char16_t* in; const char16_t* out; };

class TagsNameMapsOneWay : public ::testing::TestWithParam<OneWay> {};

TEST_P(TagsNameMapsOneWay, Gives)
{
    EXPECT_EQ(GetParam().map(QString::fromUtf16(GetParam().in)), QString::fromUtf16(GetParam().out));
}

INSTANTIATE_TEST_SUITE_P(Cases, TagsNameMapsOneWay, ::testing::Values(
    OneWay{tags::TagNameToID3v2Frame, u"artist", u"TPE1"}, OneWay{tags::ID3v2FrameToTagName, u"tpe1", u""},
    OneWay{tags::TagNameToID3v2Frame, u"TRACK", u"TRCK"}, OneWay{tags::ID3v2FrameToTagName, u"TRCK", u"TRACKNUMBER"},
    OneWay{tags::TagNameToID3v2Frame, u"Disc", u"TPOS"}, OneWay{tags::ID3v2FrameToTagName, u"TPOS", u"DISCNUMBER"},
    OneWay{tags::TagNameToID3v2Frame, u"RATING", u""}, OneWay{tags::ID3v2FrameToTagName, u"TXXX", u""},
    OneWay{tags::MP4AtomToTagName, u"\u00A9day", u"RELEASEDATE"}, OneWay{tags::TagNameToMP4Atom, u"YEAR", u"\u00A9day"},
    OneWay{tags::TagNameToMP4Atom, u"release date", u"\u00A9day"}, OneWay{tags::TagNameToMP4Atom, u"Album Artist", u"aART"},
    OneWay{tags::TagNameToMP4Atom, u"PART OF COMPILATION", u"cpil"}, OneWay{tags::MP4AtomToTagName, u"cpil", u"PARTOFCOMPILATION"},
    OneWay{tags::MP4AtomToTagName, u"TPUB", u"PUBLISHER"}, OneWay{tags::TagNameToMP4Atom, u"PUBLISHER", u""},
    OneWay{tags::MP4AtomToTagName, u"SErg", u"RATING"}, OneWay{tags::TagNameToMP4Atom, u"RATING", u""},
    OneWay{tags::MP4AtomToTagName, u"SEpc", u"PLAYCOUNT"}, OneWay{tags::TagNameToMP4Atom, u"PLAYCOUNT", u""},
    OneWay{tags::RIFFInfoToTagName, u"IALB", u"ALBUM"}, OneWay{tags::TagNameToRIFFInfo, u"ALBUM", u"IPRD"},
    OneWay{tags::RIFFInfoToTagName, u"BCPR", u"COPYRIGHT"}, OneWay{tags::TagNameToRIFFInfo, u"copyright", u"ICOP"},
    OneWay{tags::RIFFInfoToTagName, u"itrk", u"TRACKNUMBER"}, OneWay{tags::RIFFInfoToTagName, u"iart", u""},
    OneWay{tags::TagNameToRIFFInfo, u"TRACK", u"ITRK"}, OneWay{tags::RIFFInfoToTagName, u"ITRK", u"TRACKNUMBER"},
    OneWay{tags::WMAAttributeToTagName, u"WM/Track", u"TRACKNUMBER"},
    OneWay{tags::TagNameToWMAAttribute, u"TRACKNUMBER", u"WM/TrackNumber"},
    OneWay{tags::WMAAttributeToTagName, u"WM/TrackNumber", u""},
    OneWay{tags::WMAAttributeToTagName, u"WM/PartOfSet", u"DISC"},
    OneWay{tags::TagNameToWMAAttribute, u"DISCNUMBER", u"WM/PartOfSet"},
    OneWay{tags::TagNameToWMAAttribute, u"YEAR", u"WM/Year"}, OneWay{tags::WMAAttributeToTagName, u"WM/Year", u"RECORDINGDATE"},
    OneWay{tags::ID3v2FrameToTagName, u"", u""}, OneWay{tags::TagNameToID3v2Frame, u"", u""},
    OneWay{tags::MP4AtomToTagName, u"", u""}, OneWay{tags::TagNameToMP4Atom, u"", u""},
    OneWay{tags::RIFFInfoToTagName, u"", u""}, OneWay{tags::TagNameToRIFFInfo, u"", u""},
    OneWay{tags::WMAAttributeToTagName, u"", u""}, OneWay{tags::TagNameToWMAAttribute, u"", u""}));

TEST(TagsNameMaps, NumericIdentifiersTakeTheLowestByteFirst)
{
    EXPECT_EQ(tags::MP4AtomIDToTagName(0xA9 | ('n' << 8) | ('a' << 16) | (uint32_t('m') << 24)), u"TITLE");
    EXPECT_EQ(tags::ID3v2FrameIDToTagName('T' | ('P' << 8) | ('E' << 16) | (uint32_t('1') << 24)), u"ARTIST");
    EXPECT_EQ(tags::ID3v2FrameIDToTagName('T' | ('P' << 8) | ('1' << 16)), u"");   // version 2.2 IDs are unknown
}

} // namespace
