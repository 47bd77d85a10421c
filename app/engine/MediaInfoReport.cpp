// The media-analysis library's report of one file.
#include "app/engine/MediaInfoReport.h"

#include <algorithm>
#include <climits>

#include "app/engine/Analysis.h"
#include "app/engine/MediaInfoDll.h"
#include "base/DateTime.h"
#include "base/Files.h"
#include "rtl/Files.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

bool TryInt(const String& Text, int& Value) {
    return rtl::TryStrToInt(Text, Value);
}

// The first '.' and the first ',' as the decimal mark of the settings (for texts that are shown).
String WithDecimalMark(const String& Text) {
    String T = Text;
    const QChar Mark = rtl::FormatSettings.DecimalSeparator;
    const qsizetype Dot = T.indexOf(u'.');
    if (Dot >= 0) T[Dot] = Mark;
    const qsizetype Comma = T.indexOf(u',');
    if (Comma >= 0) T[Comma] = Mark;
    return T;
}

// A number where only the first '.' and the first ',' may be the decimal mark.
bool TryFirstMarkNumber(const String& Text, double& Value) {
    String T = Text;
    const qsizetype Dot = T.indexOf(u'.');
    if (Dot >= 0) T[Dot] = u'\x01';
    const qsizetype Comma = T.indexOf(u',');
    if (Comma >= 0) T[Comma] = u'\x01';
    if (T.contains(u'.') || T.contains(u',')) return false;
    T.replace(u'\x01', u'.');
    return TryReadDecimal(T, Value);
}

// Stream sizes reach past 2 GiB: read them as 64-bit.
void ReadStreamSize(const String& Text, int64_t& Size) {
    int64_t Value = 0;
    if (rtl::TryStrToInt64(Text, Value) && Value >= 0) Size = Value;
}

// A duration in milliseconds. The library writes some as decimals ("2016.000000").
bool TryReadMs(const String& Text, int& Ms) {
    if (TryInt(Text, Ms)) return true;
    double Value = 0;
    if (!TryReadDecimal(Text, Value) || Value < double(INT_MIN) || Value > double(INT_MAX)) return false;
    Ms = static_cast<int>(rtl::Round(Value));
    return true;
}

class TReader {
public:
    explicit TReader(TMediaInfoHandle Handle) : FHandle(Handle) {}
    String Get(int Kind, int Number, const char16_t* Parameter) const {
        return MediaInfoGet(FHandle, Kind, Number, QString::fromUtf16(Parameter));
    }
    // The first parameter's value, or the second's when the first is empty.
    String GetOr(int Kind, int Number, const char16_t* First, const char16_t* Second) const {
        const String Value = Get(Kind, Number, First);
        return Value.isEmpty() ? Get(Kind, Number, Second) : Value;
    }

private:
    TMediaInfoHandle FHandle;
};

void ReadVideoStream(const TReader& R, int N, TVideoFileInfo& Info) {
    TVideoStreamInfo& V = Info.VideoStreams[N];
    const int K = mikVideo;
    V.Codec = R.Get(K, N, u"Format");
    const String Version = R.Get(K, N, u"Format_Version");
    if (!Version.isEmpty()) V.Codec += QStringLiteral(" - ") + Version;
    V.CodecID = R.GetOr(K, N, u"CodecID/Hint", u"CodecID");
    V.Profile = R.Get(K, N, u"Format_Profile");
    int I = 0;
    if (TryInt(R.Get(K, N, u"BitRate"), I)) V.Bitrate = std::max(I / 1000, 0);
    if (TryInt(R.Get(K, N, u"Width"), I) && I >= 0 && I <= UINT16_MAX) V.Width = static_cast<uint16_t>(I);
    if (TryInt(R.Get(K, N, u"Height"), I) && I >= 0 && I <= UINT16_MAX) V.Height = static_cast<uint16_t>(I);
    double D = 0;
    if (TryFirstMarkNumber(R.Get(K, N, u"DisplayAspectRatio"), D)) V.DAR = D;
    V.DARStr = WithDecimalMark(R.Get(K, N, u"DisplayAspectRatio/String"));
    if (TryFirstMarkNumber(R.Get(K, N, u"FrameRate"), D)) V.FPS = D;
    if (TryInt(R.Get(K, N, u"FrameCount"), I)) {
        if (I >= 0)
            V.Frames = static_cast<uint32_t>(I);
        else if (Info.Duration > 0)
            V.Frames = RoundToCardinal(V.FPS * Info.Duration / 1000.0);
    }
    if (V.Bitrate > 0 && V.Width != 0 && V.Height != 0 && V.FPS > 0)
        V.BitsPerPixel = double(V.Bitrate) * 1000.0 / (double(V.Width) * V.Height * V.FPS);
    if (TryFirstMarkNumber(R.Get(K, N, u"Bits-(Pixel*Frame)"), D)) V.BitsPerPixel = D;
    V.ScanType = R.Get(K, N, u"ScanType/String");
    ReadStreamSize(R.Get(K, N, u"StreamSize"), V.StreamSize);
    ReadStreamSizeText(R.Get(K, N, u"StreamSize/String"), V.StreamSizeStr, V.StreamSizeInPercent);
    V.EncodedLibrary = R.GetOr(K, N, u"Encoded_Application", u"Encoded_Library/String");
}

void ReadAudioStream(const TReader& R, int N, TVideoFileInfo& Info) {
    TAudioStreamInfo& A = Info.AudioStreams[N];
    const int K = mikAudio;
    A.Codec = MediaInfoAudioCodecName(R.Get(K, N, u"Format"), R.Get(K, N, u"Format_Version"),
                                      R.Get(K, N, u"CodecID/Hint"), R.Get(K, N, u"CodecID/Info"));
    A.CodecID = R.Get(K, N, u"CodecID");
    A.DurationMs = 0;
    int Ms = 0;
    if (TryReadMs(R.Get(K, N, u"Duration"), Ms)) {
        A.DurationMs = Ms;
        // The first audio stream with a duration fills an empty file duration.
        if (!(Info.Duration > 0)) {
            Info.Duration = Ms;
            Info.DurationStr = base::MsToClockText(Ms, false);
        }
    }
    A.Profile = R.Get(K, N, u"Format_Profile");
    int I = 0;
    if (ReadMediaInfoAudioBitrate(R.Get(K, N, u"BitRate"), I)) A.Bitrate = I;
    A.BitrateMode = R.Get(K, N, u"BitRate_Mode");
    // Constant rates such as 127999 bit/s are meant as 128 kbit/s.
    if (A.BitrateMode.compare(QStringLiteral("CBR"), Qt::CaseInsensitive) == 0 && A.Bitrate % 2 != 0)
        ++A.Bitrate;
    if (TryInt(R.Get(K, N, u"Channel(s)_Original"), I) && I >= 0 && I <= 255)
        A.Channels = static_cast<uint8_t>(I);
    if (A.Channels == 0 && TryInt(R.Get(K, N, u"Channel(s)"), I) && I >= 0 && I <= 255)
        A.Channels = static_cast<uint8_t>(I);
    A.ChannelsStr = R.Get(K, N, u"Channel(s)/String");
    if (TryInt(R.Get(K, N, u"SamplingRate"), I)) A.SamplingRate = I;
    if (TryInt(R.Get(K, N, u"BitDepth"), I) && I >= 0 && I <= 255) A.BitsPerSample = static_cast<uint8_t>(I);
    if (TryInt(R.Get(K, N, u"SamplingCount"), I) && I >= 0) A.Frames = static_cast<uint32_t>(I);
    if (TryInt(R.Get(K, N, u"Video_Delay"), I)) A.VideoDelay = I;
    A.Language = R.Get(K, N, u"Language/String");
    ReadStreamSize(R.Get(K, N, u"StreamSize"), A.StreamSize);
    ReadStreamSizeText(R.Get(K, N, u"StreamSize/String"), A.StreamSizeStr, A.StreamSizeInPercent);
    A.EncodedLibrary = R.GetOr(K, N, u"Encoded_Library", u"Encoded_Library/String");
    A.EncodedLibrary.remove(QChar(0x015E));
}

} // namespace

void ReadStreamSizeText(const String& Text, String& SizeStr, uint8_t& Percent) {
    String T = rtl::StringReplace(Text, QStringLiteral("MiB"), QStringLiteral("MB"), rtl::rfIgnoreCase);
    T = rtl::StringReplace(T, QStringLiteral("KiB"), QStringLiteral("KB"), rtl::rfIgnoreCase);
    T = rtl::StringReplace(T, QStringLiteral("GiB"), QStringLiteral("GB"), rtl::rfIgnoreCase);
    const qsizetype Paren = T.indexOf(u'(');
    if (Paren < 0) {
        SizeStr = T;
        return;
    }
    SizeStr = rtl::Trim(T.left(Paren));
    const String P = rtl::StringReplace(T.mid(Paren + 1), QStringLiteral("%)"), String());
    int I = 0;
    if (TryInt(P, I) && I >= 0 && I <= 255) Percent = static_cast<uint8_t>(I);
}

String MediaInfoAudioCodecName(const String& Format, const String& Version, const String& Hint,
                               const String& Info) {
    String H = Hint;
    int Dummy = 0;
    if (H.isEmpty() || TryInt(H, Dummy)) H = Info;
    if (H == Format) H.clear();
    String Name = Format;
    if (!Version.isEmpty()) Name += QStringLiteral(" - ") + Version;
    if (!H.isEmpty()) Name += QStringLiteral(" (") + H + u')';
    return Name;
}

bool ReadMediaInfoAudioBitrate(const String& Text, int& Kbps) {
    int Value = 0;
    if (!TryInt(Text, Value)) {
        const qsizetype Slash = Text.indexOf(u'/');
        int A = 0, B = 0;
        if (Slash < 0 || !TryInt(rtl::Trim(Text.left(Slash)), A) ||
            !TryInt(rtl::Trim(Text.mid(Slash + 1)), B))
            return false;
        Value = static_cast<int>((int64_t(A) + int64_t(B)) / 2);
    }
    Kbps = Value > 0 ? Value / 1000 : 0;
    return true;
}

void ReadMediaInfo(const String& FileName, const String& LibPath, TVideoFileInfo& Info) {
    if (LibPath.isEmpty() || !rtl::FileExists(LibPath)) return;
    if (base::GetFileSizeSafe(FileName) == 0) return;
    if (!LoadMediaInfoLib(LibPath)) return;

    // The handle is closed and deleted however the routine ends.
    TMediaInfoFile File;
    if (!File.Open(FileName)) return;
    const TReader R(File.Handle());

    MediaInfoOption(nullptr, QStringLiteral("Complete"), QStringLiteral("0"));
    Info.MediaInfoFull = MediaInfoInform(File.Handle());

    int Counts[7] = {};
    bool CountKnown[7] = {};
    int Data = Info.NumberOfDataStreams;
    for (int Kind = mikGeneral; Kind <= mikMenu; ++Kind) {
        CountKnown[Kind] = TryInt(R.Get(Kind, 0, u"StreamCount"), Counts[Kind]);
        if (CountKnown[Kind]) Data += Counts[Kind];
    }
    // The counts are stored in a byte: more than 255 streams read as 255.
    if (CountKnown[mikVideo])
        Info.NumberOfVideoStreams = static_cast<uint8_t>(std::clamp(Counts[mikVideo], 0, 255));
    if (CountKnown[mikAudio])
        Info.NumberOfAudioStreams = static_cast<uint8_t>(std::clamp(Counts[mikAudio], 0, 255));
    if (Data != 0) --Data; // the general stream is no data stream
    Info.NumberOfDataStreams = static_cast<uint16_t>(std::clamp(Data, 0, 65535));

    int Menus = 0;
    if (TryInt(R.Get(mikMenu, 0, u"StreamCount"), Menus) && Menus > 0) Info.MenuExists = true;

    if (CountKnown[mikGeneral] && Counts[mikGeneral] > 0) {
        Info.Format = R.Get(mikGeneral, 0, u"Format");
        Info.FormatInfo = R.Get(mikGeneral, 0, u"Format/Info");
        int Overall = 0;
        if (TryInt(R.Get(mikGeneral, 0, u"OverallBitRate"), Overall)) Info.OverallBitrate = Overall / 1000;
        Info.EncodedApplication = R.GetOr(mikGeneral, 0, u"Encoded_Application", u"Encoded_Library");
    }

    const int Videos = CountKnown[mikVideo] ? std::clamp(Counts[mikVideo], 0, MaxVideoStreams) : 0;
    for (int N = 0; N < Videos; ++N) ReadVideoStream(R, N, Info);
    const int Audios = CountKnown[mikAudio] ? std::clamp(Counts[mikAudio], 0, MaxAudioStreams) : 0;
    for (int N = 0; N < Audios; ++N) ReadAudioStream(R, N, Info);

    if (Info.NumberOfAudioStreams == 1 && Info.NumberOfDataStreams == 1 &&
        Info.AudioStreams[0].Bitrate <= Info.OverallBitrate)
        Info.AudioStreams[0].Bitrate = Info.OverallBitrate;
}

} // namespace engine
