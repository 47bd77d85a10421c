// app/engine/Metadata.h: the engine's one door into the tag library: the ten common fields of a file,
// copying every tag from input to output, stripping, writing a record while keeping "<@COPY>" fields,
// and the metadata panel's tags for one output.
#pragma once
#include "app/engine/Conversion.h"
#include "app/engine/Types.h"

namespace engine {

struct TTagRec {
    String Artist, Album, Title, Genre, Year, Comment, TrackNo, TrackCount, EncodedBy, EncoderSettings;
    const void* CoverJpg = nullptr; // not owned, never filled here
    const void* CoverPng = nullptr;
};

// Tag kinds handed to the tag front.
constexpr int TagKindAutomatic = 1;
constexpr int TagKindID3v1 = 4;
constexpr int TagKindID3v2 = 5;

// The field value that keeps what the output has.
constexpr const char16_t* KeepTagMarker = u"<@COPY>";

void ClearTagRec(TTagRec& TagRec);
// The record cleared, then the file's ten common fields when it exists and has tags.
void ReadTagsFromFile(const String& FileName, TTagRec& TagRec);
// Both files must exist; true when saving into DestFile succeeded.
bool CopyTags(const String& SrcFile, const String& DestFile, int TagKind);
// True when stripping succeeded; an empty ".tmp" left beside the file is deleted.
bool RemoveTags(const String& FileName, int TagKind);
// Sets every field but those exactly "<@COPY>" (an empty field clears the tag); pictures are not written.
bool WriteTagsToFile(const String& FileName, const TTagRec& TagRec, int TagKind);

// The main window's metadata panel, as the tag step reads it.
enum TTagMode { tmCopyFromSource, tmAddCustom, tmNone };
enum TMP3TagsToWrite { mtBoth, mtID3v2, mtID3v1 }; // "ID3v1 & ID3v2", "ID3v2", "ID3v1"

struct TTagPanel {
    TTagMode Mode = tmCopyFromSource;
    String edTagArtist, edTagAlbum, edTagTitle, cbTagGenres, cbTagYear, meTagComment, edTagTrackNo, edTagTrackNo2;
    bool chTagAutoNumbering = false;
    bool chTagAddEncoderInfo = false;
    TMP3TagsToWrite cbMP3TagsToWrite = mtBoth;
};

// The custom tags of the panel for one output. RowIndex: the row in List (-1 or past the end: no valid
// row); ParamsAudio: the encoder's audio parameters, for the encoder-settings field.
bool AddTag(const TTagPanel& Panel, const String& SrcFile, const String& Mp3File, const TConvertList& List, int RowIndex,
            const String& ParamsAudio);

// The run's tag step for the panel's mode: copy, add custom tags or strip.
TTagStep MakeTagStep(const TTagPanel& Panel, const TConvertList& List, const TEncodingParams& Params);

} // namespace engine
