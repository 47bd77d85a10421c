// The encoder's parameters from the encoder panel and the current file's analysis.
#include "app/engine/EncoderParams.h"

#include <QDir>

#include "app/engine/ConRun.h"
#include "app/engine/Procs.h"
#include "base/DateTime.h"
#include "base/Strings.h"
#include "rtl/Files.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

const String MP3Codec = QStringLiteral("libmp3lame");
const String CopyCodec = QStringLiteral("copy");

// 75250 ms gives "75.250" (the encoder) or "0075.250" (the player).
String SecText(int Ms) { return base::MsToSecText(Ms, 0, 3); }
String PlayerSecText(int Ms) { return base::MsToSecText(Ms, 4, 3); }

// The audio stream the track combo names (its index less one, at least the first).
const TAudioStreamInfo& ChosenStream(const TEncoderPanel& Panel, const TVideoFileInfo& Info) {
    int index = Panel.cbAudioTrackNo.ItemIndex() - 1;
    if (index < 0) index = 0;
    if (index >= MaxAudioStreams) index = MaxAudioStreams - 1;
    return Info.AudioStreams[index];
}

int TimeMs(const TSpinEditModel& H, const TSpinEditModel& M, const TSpinEditModel& S, const TSpinEditModel& Ms) {
    return (GetSpinEditInt(H) * 3600 + GetSpinEditInt(M) * 60 + GetSpinEditInt(S)) * 1000 + GetSpinEditInt(Ms);
}

} // namespace

// ---- helpers ---------------------------------------------------------------------------------------------

rtl::Char LocaleDecimalSeparator() { return rtl::FormatSettings.DecimalSeparator; }

String VolumeToFactorStr(int Percent) {
    String s = rtl::FormatFloat(QStringLiteral("0.00"), Percent * 0.01);
    const int p = s.indexOf(LocaleDecimalSeparator());
    if (p >= 0) s[p] = u'.';
    return s;
}

String CodecToFileExt(const String& Codec, const String& Default) {
    const String c = rtl::Trim(Codec.toLower());
    auto has = [&](const char16_t* Part) { return c.contains(QString::fromUtf16(Part)); };
    auto is = [&](const char16_t* Name) { return c == QString::fromUtf16(Name); };
    const String prefix = c.left(3);

    if (is(u"pcm_s16be")) return QStringLiteral("aiff");
    if (has(u"pcm_s") || has(u"pcm_u")) return QStringLiteral("wav");
    if (has(u"mp3")) return QStringLiteral("mp3");
    if (has(u"truehd")) return QStringLiteral("thd");
    if (is(u"liba52")) return QStringLiteral("ac3");
    if (is(u"ac3") || has(u"ac-3")) return QStringLiteral("ac3");
    if (has(u"wmav") || has(u"wma")) return QStringLiteral("wma");
    if (is(u"mpeg4aac") || is(u"aac") || is(u"libfaad") || is(u"libfaac") || is(u"libfdk_aac") || is(u"mp4a"))
        return AacFileExt;
    if (is(u"mp2")) return QStringLiteral("mp2");
    if (is(u"mp1")) return QStringLiteral("mpa");
    if (is(u"flac")) return QStringLiteral("flac");
    if (is(u"vorbis")) return QStringLiteral("ogg");
    if (is(u"alac")) return QStringLiteral("m4a");
    if (prefix == QStringLiteral("dts")) return QStringLiteral("dts");
    if (prefix == QStringLiteral("amr")) return QStringLiteral("amr");
    if (prefix == QStringLiteral("pcm")) return QStringLiteral("wav");
    if (is(u"wavpack")) return QStringLiteral("wv");
    return Default;
}

uint16_t RoundToStdBitrate(int Bitrate, int Default, int Min, int Max) {
    if (Bitrate < Min) return static_cast<uint16_t>(Min);
    if (Bitrate > Max) return static_cast<uint16_t>(Max);

    int result = Default;
    static const int ladder[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    bool found = false;
    for (int rung : ladder)
        if (rung >= Bitrate) {
            result = rung;
            found = true;
            break;
        }
    for (int rung = 384; !found && rung <= 1472; rung += 64)
        if (rung >= Bitrate) {
            result = rung;
            found = true;
        }

    // Rates a little above a standard one are that rate, not the next.
    struct TSnap { int From, To, Rate; };
    static const TSnap snaps[] = {{128, 130, 128}, {160, 170, 160}, {192, 200, 192}, {224, 230, 224}, {256, 266, 256}};
    for (const TSnap& s : snaps)
        if (Bitrate >= s.From && Bitrate <= s.To) result = s.Rate;
    return static_cast<uint16_t>(result);
}

// ---- the encoder command line --------------------------------------------------------------------------

String GetAudioCodecStr(const TEncoderPanel& Panel) {
    switch (Panel.cbOutputFormat.ItemIndex()) {
    case ofMP3: return MP3Codec;
    case ofExtract: return CopyCodec;
    default: return String();
    }
}

String GetMapParams(const TEncoderPanel& Panel, const TVideoFileInfo& Info) {
    const int n = Panel.cbAudioTrackNo.ItemIndex();
    if (n < 1 || n > MaxAudioStreams || Info.NumberOfAudioStreams < n) return String();
    return QStringLiteral("-map 0:") + QString::number(Info.AudioStreams[n - 1].StreamIndex);
}

String GetExt(const TEncoderPanel& Panel, const TVideoFileInfo& Info, bool bIncludeDot) {
    String ext;
    switch (Panel.cbOutputFormat.ItemIndex()) {
    case ofMP3: ext = QStringLiteral("mp3"); break;
    case ofExtract: {
        const TAudioStreamInfo& stream = ChosenStream(Panel, Info);
        const String codec = stream.CodecFF.isEmpty() ? stream.Codec : stream.CodecFF;
        ext = CodecToFileExt(codec, QStringLiteral("UNSUPPORTED"));
        if (ext == QStringLiteral("UNSUPPORTED")) ext = QStringLiteral("WAV");
        break;
    }
    default: ext = QStringLiteral("wav"); break;
    }
    return bIncludeDot ? u'.' + ext : ext;
}

String GetAudioParamsStr(const TEncoderPanel& Panel, const TVideoFileInfo& Info, TEncodingParams& ep,
                         [[maybe_unused]] bool ShowErrors) {
    String S;
    int invalid = 0;
    const bool mp3 = Panel.cbOutputFormat.ItemIndex() == ofMP3;

    ep.AudioCodec = GetAudioCodecStr(Panel);
    switch (Panel.cbBitrateMode.ItemIndex()) {
    case 0: ep.MP3BitrateMode = bmCbr; break;
    case 1: ep.MP3BitrateMode = bmAbr; break;
    default: ep.MP3BitrateMode = bmPreset; break;
    }
    const bool byBitrate = ep.MP3BitrateMode == bmCbr || ep.MP3BitrateMode == bmAbr;
    ep.AudioBitrate = -1;
    ep.LamePreset = -1;
    ep.AudioBitrateInvalid = ep.AudioSamplingInvalid = false;

    if (mp3 && byBitrate) {
        int value = 0;
        if (Panel.IsAuto(Panel.cbAudioBitrate.Text())) {
            ep.AudioBitrate = ChosenStream(Panel, Info).Bitrate;
            if (ep.AudioBitrate <= 0) ep.AudioBitrate = 128;
            if (ep.MP3BitrateMode == bmCbr) ep.AudioBitrate = RoundToStdBitrate(ep.AudioBitrate, 64, 64, 320);
        } else if (TryWholeNumber(Panel.cbAudioBitrate.Text(), value)) {
            ep.AudioBitrate = value;
        } else {
            ep.AudioBitrateInvalid = true;
            ++invalid;
        }
    }

    ep.AudioSampling = -1;
    if (!Panel.IsAuto(Panel.cbAudioSampling.Text())) {
        int value = 0;
        if (TryWholeNumber(Panel.cbAudioSampling.Text(), value))
            ep.AudioSampling = value;
        else
            ep.AudioSamplingInvalid = true, ++invalid;
    }

    ep.AudioChannels = -1;
    if (!Panel.IsAuto(Panel.cbAudioChannels.Text())) {
        const String text = Panel.cbAudioChannels.Text();
        const int blank = text.indexOf(u' ');
        int value = 0;
        if (TryWholeNumber(blank >= 0 ? text.left(blank) : text, value)) ep.AudioChannels = value;
    }

    if (mp3) {
        const int stereo = Panel.cbAudioStereoMode.ItemIndex();
        if (Panel.cbAudioChannels.ItemIndex() != 1) {
            if (stereo == 1) S += QStringLiteral(" -joint_stereo 0");
            if (stereo == 2) S += QStringLiteral(" -joint_stereo 1");
        }
        const int quality = Panel.cbAudioAlgoQuality.ItemIndex();
        if (quality > 0) S += QStringLiteral(" -compression_level ") + QString::number(quality - 1);
        if (Panel.chAudioLowpass) S += QStringLiteral(" -cutoff ") + QString::number(GetSpinEditInt(Panel.spedAudioLowpass));
    }

    ep.AudioVolume = static_cast<int>(rtl::Round(Panel.tbAudioVolume.Position));

    if (ep.AudioBitrate > 0 && byBitrate) {
        S += QStringLiteral(" -b:a ") + QString::number(ep.AudioBitrate) + u'k';
        if (ep.MP3BitrateMode == bmAbr) S += QStringLiteral(" -abr 1");
    }

    if (mp3 && ep.MP3BitrateMode == bmPreset) {
        const int preset = Panel.cbPresets.ItemIndex();
        if (preset == 0) S += QStringLiteral(" -b:a 320k");
        if (preset > 0) S += QStringLiteral(" -q:a ") + QString::number(preset - 1);
    }

    if (ep.AudioSampling > 0) S += QStringLiteral(" -ar ") + QString::number(ep.AudioSampling);
    if (ep.AudioChannels > 0) S += QStringLiteral(" -ac ") + QString::number(ep.AudioChannels);
    if (ep.AudioVolume != 100) S += QStringLiteral(" -af volume=") + VolumeToFactorStr(ep.AudioVolume);

    if (!ep.AudioCodec.isEmpty()) S = QStringLiteral("-c:a ") + ep.AudioCodec + S;
    S.remove(u'"');

    if (ep.AudioCodec == CopyCodec)
        S = QStringLiteral("-c:a copy");
    else if (invalid > 0)
        return QStringLiteral("ERROR");

    if (Panel.cbAudioTrackNo.ItemIndex() > 0) S += u' ' + GetMapParams(Panel, Info);
    // One blank after "-sn" also when no codec option leads the rest (WAV).
    return rtl::Trim(QStringLiteral("-vn -sn ") + rtl::TrimLeft(S));
}

String GetAdditionalParamsStr(const TEncoderPanel& Panel, TEncodingParams& ep, [[maybe_unused]] bool ShowErrors,
                              const TFileRowInfo* Row) {
    String T;
    if (Row != nullptr && Row->bChapter) {
        const int start = Row->ChapterStartMs;
        const int end = Row->ChapterEndMs;
        if (end - start > 0) {
            ep.StartOffsetMs = start;
            ep.EndOffsetMs = end;
            ep.DurationMs = end - start;
        } else {
            // A chapter without a usable range is converted whole, never with another row's range.
            ep.StartOffsetMs = -1;
            ep.EndOffsetMs = -1;
            ep.DurationMs = -1;
        }
    } else {
        ep.DurationMs = -1;
        ep.StartOffsetMs = -1;
        if (Panel.chTimeStart) {
            const int start = TimeMs(Panel.spedTimeStartH, Panel.spedTimeStartM, Panel.spedTimeStartS, Panel.spedTimeStartMs);
            if (start > 0) ep.StartOffsetMs = start;
        }
        ep.EndOffsetMs = -1;
        if (Panel.chTimeEnd) {
            ep.EndOffsetMs = TimeMs(Panel.spedTimeEndH, Panel.spedTimeEndM, Panel.spedTimeEndS, Panel.spedTimeEndMs);
            if (ep.StartOffsetMs > 0 && ep.EndOffsetMs < ep.StartOffsetMs) ep.EndOffsetMs = 0;
            if (ep.EndOffsetMs >= 0) {
                ep.DurationMs = ep.EndOffsetMs - ep.StartOffsetMs;
                if (ep.StartOffsetMs < 0) ep.DurationMs -= 1;   // no start: the length is the end itself
                if (ep.DurationMs < 0) ep.DurationMs = 0;
            }
        }
    }
    if (ep.DurationMs >= 0) T = QStringLiteral(" -t ") + SecText(ep.DurationMs);
    return rtl::Trim(T);
}

void GetEncodingParams(const TEncoderPanel& Panel, const TVideoFileInfo& Info, TEncodingParams& ep, bool ShowErrors,
                       const TFileRowInfo* Row, TAppParams& Params) {
    ep.DisableSubtitles = true;
    ep.ffmpeg = GetFFmpegExe(Params);
    ep.ffplay = GetFFplayExe(Params);
    ep.StartOffsetQuickMs = -1;
    ep.StartOffsetSlowMs = -1;

    ep.ParamsAudio = GetAudioParamsStr(Panel, Info, ep, ShowErrors);
    ep.ParamsAdditional = GetAdditionalParamsStr(Panel, ep, ShowErrors, Row);

    // A long way in, the input seek jumps close (fast, to a key frame) and the output seek does the
    // last 40 s exactly.
    String inputSeek, outputSeek;
    if (ep.StartOffsetMs > 0) {
        ep.StartOffsetQuickMs = ep.StartOffsetMs - 40000;
        if (ep.StartOffsetQuickMs > 0) {
            inputSeek = QStringLiteral("-ss ") + SecText(ep.StartOffsetQuickMs);
            ep.StartOffsetSlowMs = 40000;
            outputSeek = QStringLiteral("-ss ") + SecText(40000) + u' ';
        } else {
            ep.StartOffsetSlowMs = ep.StartOffsetMs;
            outputSeek = QStringLiteral("-ss ") + SecText(ep.StartOffsetMs) + u' ';
        }
    }

    if (ep.StartOffsetMs <= 0 && ep.EndOffsetMs <= 0) ep.DurationMs = static_cast<int>(Info.Seconds) * 1000;

    ep.ParamsFFplay = GetFFplayParamsStr(Panel, ep);
    ep.ParamsPreviewEncoding = GetPreviewParams_Encoding(ep);
    ep.ParamsALL = ep.ParamsAudio + u' ' + ep.ParamsAdditional;
    ep.Params_OnePass = QStringLiteral("-y ") + inputSeek + QStringLiteral(" -i ") + QuoteFileName(ep.fIn) + u' ' +
                        outputSeek + ep.ParamsAudio + u' ' + ep.ParamsAdditional + u' ' + QuoteFileName(ep.fOut);
}

String RemoveFirstCopyOption(const String& Params) {
    return base::ReplaceFirstText(Params, QStringLiteral("-c:a copy"), String(), false);
}

String RunParamsOnePass(const TEncoderPanel& Panel, const TEncodingParams& ep, const String& Ext) {
    if (Panel.cbOutputFormat.ItemIndex() == ofExtract && Ext == QStringLiteral(".WAV"))
        return RemoveFirstCopyOption(ep.Params_OnePass);
    return ep.Params_OnePass;
}

// ---- the player and the command-line window -----------------------------------------------------------

String GetFFplayParamsStr(const TEncoderPanel& Panel, const TEncodingParams& ep) {
    String start, length, volume;
    if (ep.StartOffsetMs > 0) start = QStringLiteral("-ss ") + PlayerSecText(ep.StartOffsetMs) + u' ';
    if (ep.DurationMs > 0) length = QStringLiteral(" -t ") + PlayerSecText(ep.DurationMs);
    if (Panel.tbAudioVolume.Position != 100)
        volume = QStringLiteral(" -af volume=") +
                 VolumeToFactorStr(static_cast<int>(rtl::Round(Panel.tbAudioVolume.Position))) + u' ';
    const String title = QStringLiteral("Tunewright - ") + rtl::ExtractFileName(ep.fIn) + QStringLiteral(" - Press Q to exit!");
    return QStringLiteral(" -i ") + QuoteFileName(ep.fIn) + u' ' + start + length + volume +
           QStringLiteral(" -sn -window_title ") + QuoteFileName(title);
}

String GetPreviewParams_Encoding(const TEncodingParams& ep) {
    String inputSeek, outputSeek;
    if (ep.StartOffsetQuickMs > 0) inputSeek = QStringLiteral("-ss ") + PlayerSecText(ep.StartOffsetQuickMs) + u' ';
    if (ep.StartOffsetSlowMs > 0) outputSeek = QStringLiteral("-ss ") + PlayerSecText(ep.StartOffsetSlowMs) + u' ';
    return inputSeek + QStringLiteral(" -i ") + QuoteFileName(ep.fIn) + u' ' + outputSeek + ep.ParamsAudio + u' ' +
           ep.ParamsAdditional + QStringLiteral(" - | ") + QuoteFileName(ep.ffplay) + QStringLiteral(" -i - -window_title ") +
           QuoteFileName(QStringLiteral("Tunewright - Conversion Preview - Press Q to exit!"));
}

String GetPreviewBatFileName() {
    String dir = qEnvironmentVariable("TMPDIR");
    if (dir.isEmpty()) dir = QStringLiteral("/tmp");
    return rtl::ExcludeTrailingPathDelimiter(dir) + QStringLiteral("/tunewright_preview.sh");
}

String TCmdLineInfo::Text() const {
    return u'"' + ExePath + u'"' + QStringLiteral("\r\n") + Params + QStringLiteral("\r\n") + u'"' + OutputName + u'"';
}

TCmdLineInfo GetCmdLineInfo(const TEncoderPanel& Panel, const TEncodingParams& ep, const String& Ext) {
    TCmdLineInfo info;
    String params = RunParamsOnePass(Panel, ep, Ext);
    params.replace(QStringLiteral("   "), QStringLiteral(" "));
    params = base::ReplaceFirstText(params, QStringLiteral("\"<output_file>\""), String(), false);
    params = base::ReplaceFirstText(params, QStringLiteral("<output_file>"), String(), false);
    params = rtl::Trim(params);
    params = base::ReplaceFirstText(params, QStringLiteral("-vn"), QStringLiteral("\r\n-vn"), false);

    info.Caption = Panel.Texts.CommandLineInfo;
    info.ExePath = ep.ffmpeg;
    info.Params = params;
    info.OutputName = rtl::Trim(QStringLiteral("output_file") + Ext);
    return info;
}

} // namespace engine
