// tags/TagID3v1.h: the 128-byte ID3v1 block at the end of a file, the Lyrics3 v2 block before it,
// and the ID3v1 genre table that the ID3v2 side uses too.
#pragma once
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace rtl { class TStream; }

namespace tags {

using rtl::String;

extern const char* const ID3v1Genres[192];

String GenreIndexToText(uint8_t Index);          // 255 gives "", 192..254 their decimal text
String GenreIndexToTextOrOther(uint8_t Index);   // anything outside the table gives "Other"
uint8_t GenreTextToIndex(const String& Text);    // a number gives its low byte; unknown names 12

// One field of a Lyrics3 v2 block.
class TID3LyricsFrame {
public:
    String ID;     // 3 letters
    String Data;
};

class TID3v1Tag {
public:
    TID3v1Tag();
    ~TID3v1Tag();
    TID3v1Tag(const TID3v1Tag&) = delete;
    TID3v1Tag& operator=(const TID3v1Tag&) = delete;

    void Clear();
    int LoadFromFile(const String& FileName);
    int LoadFromStream(rtl::TStream& TagStream);
    int LoadLyricsTag(rtl::TStream& TagStream);
    // Saving rewrites a block at the end in place or appends one; with WriteLyricsTag the old ID3v1 and
    // Lyrics3 blocks are stripped first and a new Lyrics3 block is written before the ID3v1 block.
    int SaveToFile(const String& FileName, bool WriteLyricsTag = false);
    int SaveToStream(rtl::TStream& TagStream);
    int LyricsTagSaveToStream(rtl::TStream& TagStream);

    TID3LyricsFrame* AddLyricsFrame(const String& ID);
    bool DeleteLyricsFrame(int Index);
    TID3LyricsFrame* FindLyricsFrame(const String& ID) const;
    String GetLyrics() const;
    void SetLyrics(const String& Text);
    int LyricsFrameCount() const { return int(LyricsFrames.size()); }

    uint32_t FLyricsTagSize = 0;   // the Lyrics3 block found by the last load, its 15-byte trailer included
    int64_t FFileSize = 0;
    String SourceFileName;
    bool Loaded = false;
    bool Revision1 = false;
    String Title, Artist, Album, Year, Comment;
    uint8_t Track = 0;
    String TrackString;
    String Genre;
    std::vector<std::unique_ptr<TID3LyricsFrame>> LyricsFrames;
    bool LyricsHasTimeStamp = false;
    bool InhibitTracksForRandomSelection = false;
    bool TrimText;
    bool TreatUnknownGenresAsOther;
    bool ReturnANSIText;
    bool SetANSIText;
};

// Cuts the ID3v1 block, and the Lyrics3 block before it, off the end of the file.
int StripID3v1FromFile(const String& FileName);

// Unit-wide defaults read by the constructor.
extern bool ID3v1TrimTextDefault;
extern bool ID3v1TreatUnknownGenresAsOtherDefault;
extern bool ID3v1ReturnANSITextDefault;
extern bool ID3v1SetANSITextDefault;

// Result codes of the unit.
constexpr int ID3V1_SUCCESS = 0;
constexpr int ID3V1_ERROR_OPENING_FILE = 3;
constexpr int ID3V1_ERROR_READING_FILE = 4;
constexpr int ID3V1_ERROR_WRITING_FILE = 5;
constexpr int ID3V1_ERROR_UNKNOWN = 0xFFFF;

} // namespace tags
