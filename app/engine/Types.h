// app/engine/Types.h: the plain records and enumerations the engine and the windows pass between them.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "rtl/System.h"

namespace engine {

using rtl::String;
using TColor = int32_t; // 0x00BBGGRR

enum TFileAnalysis : uint8_t { faNone, faQuick, faFull };
enum TMP3BitrateMode : uint8_t { bmCbr, bmAbr, bmPreset };
enum TOverwriteParams : uint8_t { opRename, opOverwrite, opSkip };

struct TFontParams {
    String Name;
    int Size = 0;
};

struct TListFileRec {
    bool Active = false;
    String ItemValue; // a folder path
};
using TListFileArray = std::vector<TListFileRec>;

struct TRunParams {
    bool bAutoConvert = false;
    bool bAutoClose = false;
    TOverwriteParams Overwrite = opRename;
    bool bOverwriteParams = false;
    String OutFile;
    String OutDir;
    int Silent = 0;
    bool bSaveHtml = false; // InitAppParams sets it
};

struct TAppParams {
    bool DeleteIncomplete = false;
    String LanguageIni;
    bool AcceptAllMediaFiles = false;
    String ffmpeg;
    String ffplay;
    String ffprobe;
    String MediaInfoDll;
    String ToolsDir;
    String LangDir;
    String DataDir;
    String StylesDir;
    String DirListFile;
    String LastDir;
    String IniName;
    String LnkShortName;
    String AudioBitratesFile;
    String ProfilesDir;
    String LastProfileFile;
    String LogDir;
    TColor ColorProgressDark = 0;
    TColor ColorProgressLight = 0;
    TColor ColorOK = 0;
    TColor ColorError = 0;
    bool DragAcceptDirectories = false;
    String BatPreview;
    TRunParams RunParams;
    bool OpenFileAfterIconClick = false;
    TFileAnalysis FileAnalysis = faNone;
    String StyleName;
    bool SplitChapters = false;
    TFontParams MonospaceFont;
    String ListFile_Directories;
    TListFileArray ArrListOutputDirectories;
    bool KeepFileDates = false;
    bool DarkStyle = false;
};

struct TEncodingParams {
    String AudioCodec;
    int AudioBitrate = 0;
    int AudioQuality = 0;
    int AudioSampling = 0;
    int AudioChannels = 0;
    int AudioVolume = 0;
    int AudioTrack = 0;
    TMP3BitrateMode MP3BitrateMode = bmCbr;
    int LamePreset = 0;
    String ParamsAudio;
    // Which of the typed values made ParamsAudio "ERROR".
    bool AudioBitrateInvalid = false;
    bool AudioSamplingInvalid = false;
    String ParamsAdditional;
    String ParamsALL;
    String ffmpeg;
    String ffplay;
    String fIn;
    String fOut;
    bool DisableSubtitles = false;
    String Params_OnePass;
    String ParamsFFplay;
    String ParamsPreviewEncoding;
    int StartOffsetMs = 0;
    int EndOffsetMs = 0;
    int DurationMs = 0;
    int StartOffsetQuickMs = 0;
    int StartOffsetSlowMs = 0;
    String OutputExt;
};

struct TSTreamInfoStr {
    bool StreamExists = false;
    String Str1;
};

struct TVideoStreamInfo {
    bool Exists = false;
    String Codec;
    String CodecID;
    String Profile;
    String PixelFormat;
    double DAR = 0;
    String DARStr;
    String ScanType;
    uint16_t Width = 0;
    uint16_t Height = 0;
    int Bitrate = 0;
    double FPS = 0;
    double BitsPerPixel = 0;
    uint32_t Frames = 0;
    int64_t StreamSize = 0;
    String StreamSizeStr;
    uint8_t StreamSizeInPercent = 0;
    String EncodedLibrary;
    uint8_t StreamIndex = 0;
};

struct TAudioStreamInfo {
    bool Exists = false;
    String Codec;
    String CodecID;
    String CodecFF;
    String Profile;
    int SamplingRate = 0;
    uint8_t Channels = 0;
    String ChannelsStr;
    uint8_t BitsPerSample = 0;
    uint32_t Frames = 0;
    int Bitrate = 0;
    String BitrateMode;
    String Language;
    int VideoDelay = 0;
    int64_t StreamSize = 0;
    String StreamSizeStr;
    uint8_t StreamSizeInPercent = 0;
    String EncodedLibrary;
    uint8_t StreamIndex = 0;
    int DurationMs = 0;
};

struct TMediaChapter {
    String Title;
    String IDStr;
    String StartTimeStr;
    String EndTimeStr;
    int StartTimeMs = -1;
    int EndTimeMs = -1;
    int DurationMs = -1;
    bool Exists = false;
};

constexpr int MaxFileNameChars = 511; // TVideoFileInfo.FileName holds 512 units with the terminator
constexpr int MaxStreamLines = 256;
constexpr int MaxVideoStreams = 10;
constexpr int MaxAudioStreams = 98;
constexpr int MaxChapters = 256;

struct TVideoFileInfo {
    String FileName; // at most MaxFileNameChars units: SetFileName cuts longer names
    int64_t FileSize = 0;
    uint32_t Seconds = 0;
    double Duration = 0;
    String DurationStr;
    uint32_t Start = 0;
    String Format;
    String FormatInfo;
    int OverallBitrate = 0;
    std::array<TSTreamInfoStr, MaxStreamLines> StreamsStr;
    std::array<TVideoStreamInfo, MaxVideoStreams> VideoStreams;
    std::array<TAudioStreamInfo, MaxAudioStreams> AudioStreams;
    uint8_t NumberOfAudioStreams = 0;
    uint8_t NumberOfVideoStreams = 0;
    uint16_t NumberOfDataStreams = 0;
    String EncodedApplication;
    bool MenuExists = false;
    std::array<TMediaChapter, MaxChapters> Chapters;
    int ChapterCount = 0;
    String MediaInfoFull;

    void SetFileName(const String& Name) { FileName = Name.left(MaxFileNameChars); }
    // Every text empty, every number and flag 0, the three times of every chapter -1.
    void Clear() { *this = TVideoFileInfo(); }
};

struct TProfileInfo {
    String ShortFileName;
    String DisplayName;
    double SortIndex = 0;
    String ProfileType;
    TColor BgColor = 0;
    TColor FontColor = 0;
    bool Extract = false;
};

struct TColumnInfo {
    String Name;
    int Index = 0;
    int Position = 0;
    int Tag = 0;
    String TagString;
    bool Visible = false;
    int Width = 0;
};

struct TGridInfo {
    int RowCount = 0;
    int CheckedCount = 0;
    int UncheckedCount = 0;
    int SelectedCount = 0;
    int SelectedCheckedCount = 0;
    int SelectedUncheckedCount = 0;
};

// The known media extensions, upper case, without the dot.
constexpr int MediaFileExtensionCount = 78;
extern const std::array<const char16_t*, MediaFileExtensionCount> MediaFileExtensions;

// The extension the codec-to-extension mapping gives AAC audio.
extern String AacFileExt;

// The application parameters of the whole process (InitAppParams gives the defaults).
extern TAppParams AppParams;

} // namespace engine
