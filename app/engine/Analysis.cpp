// Media file analysis: the encoder's report, the library's report, and the corrections between them.
#include "app/engine/Analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/engine/ConRun.h"
#include "app/engine/MediaInfoReport.h"
#include "base/BinaryProcs.h"
#include "base/Strings.h"
#include "rtl/Files.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

const rtl::TFormatSettings& PointSettings() {
    static const rtl::TFormatSettings Settings = rtl::TFormatSettings::Invariant();
    return Settings;
}

bool TryInt(const String& Text, int& Value) {
    return rtl::TryStrToInt(Text, Value);
}

// The text after the first occurrence of Key; false when Key is absent.
bool TextAfter(const String& Text, const String& Key, String& After) {
    const qsizetype P = Text.indexOf(Key);
    if (P < 0) return false;
    After = Text.mid(P + Key.size());
    return true;
}

String CutBefore(const String& Text, const String& Key) {
    const qsizetype P = Text.indexOf(Key);
    return P < 0 ? Text : Text.left(P);
}

// Splits a stream description at its commas, but not at commas inside parentheses or brackets:
// the encoder writes pixel formats such as "yuv420p(tv, bt709, progressive)". When the brackets do
// not balance, every comma splits. Parts are trimmed; an empty last part is dropped.
std::vector<String> SplitStreamParts(const String& Line) {
    std::vector<String> Parts;
    auto split = [&](bool Nested) {
        Parts.clear();
        int Depth = 0;
        qsizetype Start = 0;
        for (qsizetype i = 0; i < Line.size(); ++i) {
            const QChar C = Line[i];
            if (Nested && (C == u'(' || C == u'[')) {
                ++Depth;
            } else if (Nested && (C == u')' || C == u']')) {
                if (Depth > 0) --Depth;
            } else if (C == u',' && Depth == 0) {
                Parts.push_back(rtl::Trim(Line.mid(Start, i - Start)));
                Start = i + 1;
            }
        }
        Parts.push_back(rtl::Trim(Line.mid(Start)));
        return Depth == 0;
    };
    if (!split(true)) split(false);
    if (!Parts.empty() && Parts.back().isEmpty()) Parts.pop_back();
    return Parts;
}

// The container index of a stream line: the digits after the ':' that follows the first '#'
// ("Stream #0:12[0x2](eng): Audio: ..." gives 12). False when there is none or it exceeds a byte.
bool ReadStreamIndex(const String& Line, uint8_t& Index) {
    String After;
    if (!TextAfter(Line, QStringLiteral("#"), After)) return false;
    After = After.left(20);
    const qsizetype Colon = After.indexOf(u':');
    if (Colon < 0) return false;
    After = After.mid(Colon + 1);
    qsizetype Digits = 0;
    while (Digits < After.size() && After[Digits] >= u'0' && After[Digits] <= u'9') ++Digits;
    int Value = 0;
    if (Digits == 0 || !TryInt(After.left(Digits), Value) || Value > 255) return false;
    Index = static_cast<uint8_t>(Value);
    return true;
}

// The text from 7 units after the start of Key ("Video: " / "Audio: "), trimmed, when Part holds Key.
String CutAfterKind(const String& Part, const String& Key) {
    const qsizetype P = Part.indexOf(Key);
    return P < 0 ? Part : rtl::Trim(Part.mid(P + 7));
}

void FrameRateRule(const String& Part, TVideoStreamInfo& Stream) {
    const String Text = rtl::Trim(CutBefore(CutBefore(Part, QStringLiteral("fps")), QStringLiteral("tbr")));
    double Fps = 0;
    if (TryReadDecimal(Text, Fps)) Stream.FPS = Fps;
}

void SetBitsPerPixel(TVideoStreamInfo& Stream) {
    if (Stream.Bitrate > 0 && Stream.Width != 0 && Stream.Height != 0 && Stream.FPS > 0)
        Stream.BitsPerPixel =
            double(Stream.Bitrate) * 1000.0 / (double(Stream.Width) * Stream.Height * Stream.FPS);
}

void ParseDurationLine(const String& Line, TVideoFileInfo& Info) {
    String Text;
    if (!TextAfter(Line, QStringLiteral("Duration:"), Text)) return;
    const qsizetype Comma = Text.indexOf(u',');
    if (Comma < 0) return; // "Duration: N/A" alone: nothing is taken
    Info.DurationStr = rtl::Trim(Text.left(Comma));
    double Value = ParseTimeStr(Info.DurationStr);
    Info.Duration = Value * 1000.0;
    Info.Seconds = RoundToCardinal(Value);

    String Rest = Text.mid(Comma + 1);
    String AfterStart;
    if (TextAfter(Rest, QStringLiteral("start:"), AfterStart)) {
        Rest = rtl::Trim(AfterStart);
        const qsizetype StartComma = Rest.indexOf(u',');
        double Start = 0;
        if (StartComma >= 0 && TryReadDecimal(Rest.left(StartComma), Start)) {
            // Matroska files often start a few milliseconds before zero: the start is never below 0.
            Info.Start = RoundToCardinal(Start);
            Value -= Start;
            if (Value < 0) Value = 0;
            Info.Seconds = RoundToCardinal(Value);
        }
    }
    String BitrateText;
    if (TextAfter(Rest, QStringLiteral("bitrate:"), BitrateText)) {
        int N = 0;
        if (TryInt(rtl::Trim(CutBefore(BitrateText, QStringLiteral("kb/s"))), N))
            Info.VideoStreams[0].Bitrate = N > 100 ? N - 60 : (N < 0 ? 0 : N);
    }
}

} // namespace

bool TryReadDecimal(const String& Text, double& Value) {
    String T = rtl::Trim(Text);
    T.replace(u',', u'.');
    double V = 0;
    if (T.isEmpty() || !rtl::TryStrToFloat(T, V, PointSettings()) || !std::isfinite(V)) return false;
    Value = V;
    return true;
}

uint32_t RoundToCardinal(double Value) {
    if (!(Value > 0)) return 0;
    if (Value >= 4294967295.0) return UINT32_MAX;
    return static_cast<uint32_t>(rtl::Round(Value));
}

void ClearVideoFileInfo(TVideoFileInfo& Info) {
    Info.Clear();
}

double ParseTimeStr(const String& TimeStr) {
    String T = TimeStr;
    T.replace(u',', u'.');
    T.remove(u' ');
    const qsizetype Colon = T.indexOf(u':');
    if (Colon < 0) return 0;
    int Hours = 0, Minutes = 0;
    double Seconds = 0;
    if (!TryInt(T.left(Colon), Hours)) Hours = 0;
    const String Rest = T.mid(Colon + 1);
    const qsizetype Colon2 = Rest.indexOf(u':');
    if (Colon2 >= 0) {
        if (!TryInt(Rest.left(Colon2), Minutes)) Minutes = 0;
        if (!TryReadDecimal(Rest.mid(Colon2 + 1), Seconds)) Seconds = 0;
    }
    // The whole units add up in 32-bit unsigned arithmetic, as the clock texts always did.
    const uint32_t Whole = static_cast<uint32_t>(Hours) * 3600u + static_cast<uint32_t>(Minutes) * 60u;
    return double(Whole) + Seconds;
}

bool IsMediaFileExt(const String& FileName) {
    String Ext = rtl::ExtractFileExt(FileName);
    if (Ext.startsWith(u'.')) Ext.remove(0, 1);
    if (Ext.isEmpty()) return false;
    Ext = rtl::UpperCase(Ext);
    for (const char16_t* Known : MediaFileExtensions)
        if (Ext == QStringView(Known)) return true;
    return false;
}

void ParseVideoStreamLine(const String& Line, uint32_t Seconds, TVideoStreamInfo& Stream) {
    ReadStreamIndex(Line, Stream.StreamIndex);
    std::vector<String> Parts = SplitStreamParts(Line);
    // This encoder writes a stream's own aspect ratio as a part of its own (", SAR 1:1 DAR 4:3") where
    // older builds put it in brackets after the size; without it the parts keep their places.
    for (size_t k = Parts.size(); k-- > 2;)
        if (Parts[k].startsWith(QStringLiteral("SAR ")) && Parts[k].contains(QStringLiteral(" DAR ")))
            Parts.erase(Parts.begin() + static_cast<std::ptrdiff_t>(k));

    for (size_t k = 0; k < Parts.size(); ++k) {
        String Part = Parts[k];
        switch (k) {
        case 0:
            Stream.Exists = true;
            Stream.Codec = CutAfterKind(Part, QStringLiteral("Video:"));
            break;
        case 1:
            Stream.PixelFormat = Part;
            break;
        case 2: {
            const qsizetype X = Part.indexOf(u'x');
            if (X >= 0) {
                String H = Part.mid(X + 1);
                if (H.contains(u'[')) H = rtl::Trim(CutBefore(H, QStringLiteral("[")));
                int W = 0, Hv = 0;
                if (TryInt(Part.left(X), W) && W >= 0 && W <= UINT16_MAX)
                    Stream.Width = static_cast<uint16_t>(W);
                if (TryInt(H, Hv) && Hv >= 0 && Hv <= UINT16_MAX) Stream.Height = static_cast<uint16_t>(Hv);
            }
            break;
        }
        case 3: {
            const qsizetype Kb = Part.indexOf(QStringLiteral("kb/s"));
            if (Kb >= 0) {
                Part = rtl::Trim(Part.left(Kb));
                int N = 0;
                // An MPEG-1 stream can report an absurd peak rate; the overall rate is better then.
                if (TryInt(Part, N) && N > 0 && !(N > 9999 && Stream.Codec == QStringLiteral("mpeg1video")))
                    Stream.Bitrate = N;
            }
            if (Part.contains(QStringLiteral("tbr")) || Part.contains(QStringLiteral("fps")))
                FrameRateRule(Part, Stream);
            break;
        }
        case 4:
            FrameRateRule(Part, Stream);
            break;
        case 5:
            if (Stream.FPS == 0) FrameRateRule(Part, Stream);
            break;
        default:
            break;
        }
    }
    SetBitsPerPixel(Stream);
    Stream.Frames = RoundToCardinal(double(Seconds) * Stream.FPS);
}

void ParseAudioStreamLine(const String& Line, TAudioStreamInfo& Stream) {
    ReadStreamIndex(Line, Stream.StreamIndex);
    const std::vector<String> Parts = SplitStreamParts(Line);
    for (size_t k = 0; k < Parts.size(); ++k) {
        String Part = Parts[k];
        if (k == 0) {
            Stream.Exists = true;
            Stream.Codec = CutAfterKind(Part, QStringLiteral("Audio:"));
            Stream.CodecFF = rtl::Trim(CutBefore(Stream.Codec, QStringLiteral(" ")));
        }
        const qsizetype Kb = Part.indexOf(QStringLiteral("kb/s"));
        int N = 0;
        if (Kb >= 0 && TryInt(rtl::Trim(Part.left(Kb)), N)) Stream.Bitrate = N;
        if (k == 3) {
            // The sample format: "s16" gives 16, "s32 (24 bit)" 32, "fltp" nothing.
            String Format = Part;
            if (Format.contains(u'(')) Format = rtl::Trim(CutBefore(Format, QStringLiteral("(")));
            if (Format.startsWith(u's')) Format.remove(0, 1);
            int Bits = 0;
            if (TryInt(Format, Bits) && Bits >= 0 && Bits <= 255)
                Stream.BitsPerSample = static_cast<uint8_t>(Bits);
        }
        if (Stream.Channels == 0) {
            if (Part == QStringLiteral("stereo"))
                Stream.Channels = 2;
            else if (Part == QStringLiteral("mono"))
                Stream.Channels = 1;
        }
    }
}

void ParseEncoderReport(rtl::TStrings* Lines, TVideoFileInfo& Info) {
    int Stored = 0;
    while (Stored < MaxStreamLines - 1 && Info.StreamsStr[Stored].StreamExists) ++Stored;
    for (int i = 0; i < Lines->Count(); ++i) {
        const String Line = rtl::Trim(Lines->Strings(i));
        // The report's own lines start so; a tag value that merely holds the words is no report line.
        if (Line.startsWith(QStringLiteral("Duration:"))) {
            ParseDurationLine(Line, Info);
        } else if (Line.startsWith(QStringLiteral("Stream #")) && Stored < MaxStreamLines - 1) {
            Info.StreamsStr[Stored].StreamExists = true;
            Info.StreamsStr[Stored].Str1 = Line;
            ++Stored;
        }
    }

    int Video = Info.NumberOfVideoStreams, Audio = Info.NumberOfAudioStreams;
    for (int i = 0; i < Stored; ++i) {
        const String& Line = Info.StreamsStr[i].Str1;
        if (Line.contains(QStringLiteral("Video:"))) {
            ++Video;
            if (Video > MaxVideoStreams) continue;
            ParseVideoStreamLine(Line, Info.Seconds, Info.VideoStreams[Video - 1]);
        }
        if (Line.contains(QStringLiteral("Audio:"))) {
            ++Audio;
            if (Audio > MaxAudioStreams) continue;
            ParseAudioStreamLine(Line, Info.AudioStreams[Audio - 1]);
        }
    }
    Info.NumberOfVideoStreams = static_cast<uint8_t>(std::min(Video, 255));
    Info.NumberOfAudioStreams = static_cast<uint8_t>(std::min(Audio, 255));
}

void ApplyAnalysisCorrections(TVideoFileInfo& Info) {
    if (Info.NumberOfVideoStreams == 1 && Info.VideoStreams[0].StreamSize < 1) {
        int64_t Sum = 0;
        const int Count = std::min<int>(Info.NumberOfAudioStreams, MaxAudioStreams);
        for (int i = 0; i < Count; ++i) Sum += Info.AudioStreams[i].StreamSize;
        if (Sum > 0) {
            TVideoStreamInfo& V = Info.VideoStreams[0];
            V.StreamSize = Info.FileSize - Sum;
            V.StreamSizeStr = base::FormatFileSizeText(V.StreamSize, QStringLiteral(" bytes"));
            double Percent = Info.FileSize > 0 ? double(V.StreamSize) * 100.0 / double(Info.FileSize) : 0;
            if (Percent > 100) Percent = 100;
            V.StreamSizeInPercent = static_cast<uint8_t>(RoundToCardinal(Percent));
        }
    }
    if (Info.NumberOfAudioStreams == 1 && Info.NumberOfDataStreams == 1 &&
        Info.AudioStreams[0].Bitrate <= Info.OverallBitrate)
        Info.AudioStreams[0].Bitrate = Info.OverallBitrate;
}

TPendingVideoFileInfo::TPendingVideoFileInfo(const String& FileName, const String& EncoderPath) : FFileName(FileName) {
    FInfo.SetFileName(FileName);
    FInfo.FileSize = base::GetFileSizeOrZero(FileName);
    if (!rtl::FileExists(FileName) || !rtl::FileExists(EncoderPath)) return;
    String Exe = EncoderPath;
    if (Exe.contains(u' ') || Exe.contains(u'"')) Exe = QuoteFileName(Exe);
    FReport = std::make_unique<TConsoleChild>(Exe, QStringLiteral("-i ") + QuoteFileName(FileName), 0, true);
}

TPendingVideoFileInfo::~TPendingVideoFileInfo() = default;

TVideoFileInfo TPendingVideoFileInfo::Finish() {
    if (!FReport) return FInfo;
    rtl::TStringList Lines;
    FReport->Finish(&Lines);
    FReport.reset();
    ParseEncoderReport(&Lines, FInfo);
    ReadMediaInfo(FFileName, AppParams.MediaInfoDll, FInfo);
    ApplyAnalysisCorrections(FInfo);
    return FInfo;
}

TVideoFileInfo GetVideoFileInfo(const String& FileName, const String& EncoderPath) {
    return TPendingVideoFileInfo(FileName, EncoderPath).Finish();
}

} // namespace engine
