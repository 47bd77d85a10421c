// Encoder progress lines, the log filter and the forced stop.
#include "app/engine/Progress.h"

#include <vector>

#include <QFileInfo>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "base/Strings.h"
#include "rtl/Files.h"
#include "rtl/SysUtils.h"
#include "win/windows.h"

namespace engine {

namespace {

const char16_t* const NoiseStarts[] = {
    u"  configuration:",
    u"  libavutil ",
    u"  libavcodec ",
    u"  libavformat ",
    u"  libavdevice ",
    u"  libswscale",
    u"  libpostproc",
    u"  built on ",
    u"  libavcore ",
    u"  libavfilter ",
    u"  libswresample ",
    u"Unable to parse option value",
    u"Multiple frames in a packet from stream",
    u"[mpeg4 @ 01478BD0]",
    u"-async is forwarded",
    u"Press [q] to stop",
};

const char16_t* const NoiseParts[] = {
    u"Note: libopencore_amrnb supports dtx",
    u"The requested thread algorithm is not supported with this thread library.",
    u"Buffering several frames is not supported. Please consume all available",
    u"Warning, extension is not",
    u"ff asf skip",
    u"ff asf bad header",
    u"freeing incomplete packet size",
    u"Last message repeated",
    u"Invalid and inefficient vfw-avi packed B frames detected",
    u"100 buffers queued in output stream",
    u"Invalid data found when processing input",
    u"Header missing",
    u"start time is not set in estimate_timings_from_pts",
    u"Consider increasing the value for the",
    u"Application provided invalid, non monotonically increasing",
    u"Non-monotonous DTS in output stream",
    u"Queue input is backward in time",
    u"Not yet implemented in FFmpeg, patches welcome",
    u"Update your FFmpeg version to the newest one from Git",
    u"Using AVStream.codec to pass codec parameters to muxers is deprecated",
    u"video_delay is larger in decoder than demuxer 1 > 0.",
    u"If you want to help, upload a sample",
    u"pts has no value",
};

const char16_t* const NoisePairs[][2] = {
    {u"h263 @", u"warning, clipping"},  {u"vcd", u"buffer underflow"},
    {u"mpeg4", u"Error at MB:"},        {u"mpeg4", u"concealing"},
    {u"mpeg @", u"Invalid timestamps"}, {u"mpegts", u"hdmv_pgs_subtitle"},
    {u"amrnb", u"Corrupt bitstream"},   {u"warning", u"dct coefficients to"},
    {u"overread", u"enddists:"},
};

// The texts above, made once: the filter runs over logs of a million lines. The contained texts are
// looked for all at once, by a window as long as the shortest of them that slides over the line: the
// two characters at its end say, through a small table, how far it may move on without passing over a
// text's beginning, and only where it may not move are the texts ending their first Window characters
// with those two compared. A pair is looked for by its longer text; the shorter one is read only where
// that is found. The starts are looked up by the line's first and third characters.
class TNoiseTexts {
public:
    TNoiseTexts() {
        for (const char16_t* t : NoiseParts) FSought.push_back(QString::fromUtf16(t));
        FPartCount = FSought.size();
        for (const auto& pair : NoisePairs) {
            QString first = QString::fromUtf16(pair[0]), second = QString::fromUtf16(pair[1]);
            if (first.size() > second.size()) std::swap(first, second);
            FSought.push_back(second);
            FOther.push_back(first);
        }
        static_assert(std::size(NoiseParts) + std::size(NoisePairs) <= 64, "one bit per text sought");
        FWindow = std::min_element(FSought.begin(), FSought.end(), [](const QString& a, const QString& b) {
                      return a.size() < b.size();
                  })->size();
        FShift.fill(uint8_t(FWindow - 1));
        for (size_t k = 0; k < FSought.size(); ++k) {
            const char16_t* t = reinterpret_cast<const char16_t*>(FSought[k].constData());
            for (qsizetype j = 1; j < FWindow; ++j) {
                uint8_t& shift = FShift[Key(t[j - 1], t[j])];
                shift = std::min(shift, uint8_t(FWindow - 1 - j));
            }
            FEnding[Key(t[FWindow - 2], t[FWindow - 1])] |= uint64_t(1) << k;
        }
        for (const char16_t* t : NoiseStarts) {
            const QString start = QString::fromUtf16(t);
            FStarts[StartKey(start[0].unicode(), start[2].unicode())].push_back(start);
        }
    }

    bool IsNoise(const String& Line) const {
        const char16_t* c = reinterpret_cast<const char16_t*>(Line.constData());
        const qsizetype n = Line.size();
        // Blank: nothing but characters up to the space (what Trim takes off).
        if (std::all_of(c, c + n, [](char16_t ch) { return ch <= 32; })) return true;
        if (StartsWithNoise(Line, c, n)) return true;
        uint64_t tried = 0; // pairs whose shorter text was looked for in vain
        for (qsizetype end = FWindow - 1; end < n;) {
            const size_t key = Key(c[end - 1], c[end]);
            if (const uint8_t shift = FShift[key]) {
                end += shift;
                continue;
            }
            const qsizetype at = end - FWindow + 1;
            for (uint64_t maybe = FEnding[key] & ~tried; maybe; maybe &= maybe - 1) {
                const size_t k = size_t(std::countr_zero(maybe));
                const QString& text = FSought[k];
                if (text.size() > n - at || !std::equal(text.constData(), text.constData() + text.size(), c + at))
                    continue;
                if (k < FPartCount || Line.contains(FOther[k - FPartCount])) return true;
                tried |= uint64_t(1) << k;
            }
            ++end;
        }
        return false;
    }

private:
    static constexpr int KeyBits = 10;
    static constexpr size_t StartBuckets = 61;
    static size_t Key(char16_t a, char16_t b) { return (size_t(a) * 31 + b) & ((1u << KeyBits) - 1); }
    // The starts compare without case: the key is of ASCII characters folded to lower case; any other
    // character at either place sends the line through every start.
    static size_t StartKey(char16_t a, char16_t b) {
        const auto lower = [](char16_t ch) { return size_t(ch >= u'A' && ch <= u'Z' ? ch + 32 : ch); };
        return (lower(a) * 128 + lower(b)) % StartBuckets;
    }

    // What startsWith ignoring case gives, for starts of ASCII characters, without a call per line.
    static bool StartsWithText(const char16_t* c, qsizetype n, const QString& Start) {
        if (Start.size() > n) return false;
        const auto fold = [](char16_t ch) {
            return ch < 128 ? char16_t(ch >= u'A' && ch <= u'Z' ? ch + 32 : ch) : QChar::toCaseFolded(ch);
        };
        const char16_t* s = reinterpret_cast<const char16_t*>(Start.constData());
        for (qsizetype i = 0; i < Start.size(); ++i)
            if (fold(c[i]) != fold(s[i])) return false;
        return true;
    }
    bool StartsWithNoise(const String& Line, const char16_t* c, qsizetype n) const {
        const auto test = [&](const std::vector<QString>& Starts) {
            for (const QString& start : Starts)
                if (StartsWithText(c, n, start)) return true;
            return false;
        };
        if (n < 3) return false; // every start is longer
        if (c[0] < 128 && c[2] < 128) return test(FStarts[StartKey(c[0], c[2])]);
        for (const std::vector<QString>& bucket : FStarts)
            if (test(bucket)) return true;
        return false;
    }

    std::vector<QString> FSought; // the parts, then the longer text of each pair
    std::vector<QString> FOther;  // the shorter text of each pair
    size_t FPartCount = 0;
    qsizetype FWindow = 0;
    std::array<uint8_t, 1u << KeyBits> FShift{};
    std::array<uint64_t, 1u << KeyBits> FEnding{};
    std::array<std::vector<QString>, StartBuckets> FStarts;
};

bool IsNoise(const String& Line) {
    static const TNoiseTexts texts;
    return texts.IsNoise(Line);
}

String After(const String& Line, const String& Key) {
    const int p = Line.indexOf(Key);
    return p < 0 ? String() : Line.mid(p + Key.size());
}

// An integer clock part: 0 unless the whole (trimmed) text is an integer.
int64_t ClockPart(const String& Text) {
    bool ok = false;
    const qlonglong v = Text.trimmed().toLongLong(&ok);
    return ok ? v : 0;
}

} // namespace

double ParseClockSeconds(const String& Text) {
    String s = Text;
    s.replace(u',', u'.');
    s.remove(u' ');
    const int first = s.indexOf(u':');
    if (first < 0) return 0;
    const int64_t hours = ClockPart(s.left(first));
    const String rest = s.mid(first + 1);
    const int second = rest.indexOf(u':');
    if (second < 0) return double(hours * 3600);
    const int64_t minutes = ClockPart(rest.left(second));
    bool ok = false;
    double seconds = rest.mid(second + 1).toDouble(&ok);
    if (!ok || !std::isfinite(seconds)) seconds = 0;
    // Signed: ffmpeg prints a negative time before the first frame, which must not read as hours.
    const int64_t whole = hours * 3600 + minutes * 60;
    return double(whole) + (whole < 0 ? -seconds : seconds);
}

void ParseEncoderProgressLine(const String& Line, TEncoderProgress& Progress) {
    if (Line.contains(QStringLiteral("speed=")))
        Progress.Speed = rtl::Trim(After(Line, QStringLiteral("speed=")));
    if (Line.contains(QStringLiteral("bitrate="))) {
        String bitrate = rtl::Trim(After(Line, QStringLiteral("bitrate=")));
        const int k = bitrate.indexOf(QStringLiteral("kbits/s"));
        if (k >= 0) bitrate = rtl::Trim(bitrate.left(k)) + QStringLiteral(" kbits/s");
        Progress.Bitrate = bitrate;
    }
    const String beforeTime = Line.left(Line.indexOf(QStringLiteral("time=")));
    if (beforeTime.contains(QStringLiteral("size="))) {
        String size = rtl::Trim(After(beforeTime, QStringLiteral("size=")));
        String number = size;
        const int kb = number.indexOf(QStringLiteral("kB"));
        if (kb >= 0) number.remove(kb, 2);
        int64_t value = 0;
        if (rtl::TryStrToInt64(number, value) && !number.contains(u'$') &&
            !number.contains(u'x', Qt::CaseInsensitive))
            size = base::FormatFileSizeText(value * 1024, QStringLiteral(" bytes"));
        Progress.Size = size;
    }
    const String time = rtl::Trim(After(Line, QStringLiteral("time=")));
    const int blank = time.indexOf(u' ');
    if (blank >= 0) {
        Progress.Time = time.left(blank);
        Progress.PositionSec =
            int(std::clamp<double>(std::nearbyint(ParseClockSeconds(Progress.Time)), INT32_MIN, INT32_MAX));
    }
}

bool ParseEncoderProgress(rtl::TStrings* Output, TEncoderProgress& Progress) {
    if (!Output) return false;
    const String multipleFrames = QStringLiteral("Multiple frames in a packet from stream");
    for (int i = Output->Count() - 1; i >= 0; --i) {
        const String line = (*Output)[i];
        if (line.startsWith(multipleFrames, Qt::CaseInsensitive)) return false;
        if (!line.contains(QStringLiteral("time=")) || !line.contains(QStringLiteral("size="))) continue;
        ParseEncoderProgressLine(line, Progress); // the newest progress line decides
        return true;
    }
    return false;
}

int ProgressPercent(int PositionSec, int64_t ExpectedSec) {
    if (PositionSec < 1 || ExpectedSec < 1) return 0;
    const double percent = std::nearbyint(double(PositionSec) * 100.0 / double(ExpectedSec));
    return int(std::clamp(percent, 0.0, 100.0));
}

void FilterEncoderLog(rtl::TStrings* Output) {
    if (!Output) return;
    // One pass: deleting row by row would move the rest of a long log each time. A list that owns its
    // objects frees those of the noise only.
    Output->RemoveIf([](const String& Line, rtl::TObject*) { return IsNoise(Line); });
}

bool TEncoderProgressScan::Scan(rtl::TStrings* Output, TEncoderProgress& Progress) {
    if (!Output) return false;
    const int count = Output->Count();
    // A cleared, shrunk or rewritten list is read again from its start.
    if (count < FScanned || (FProgressIndex >= 0 && (*Output)[FProgressIndex] != FProgressLine)) Reset();
    const String multipleFrames = QStringLiteral("Multiple frames in a packet from stream");
    for (int i = FScanned; i < count; ++i) {
        const String line = (*Output)[i];
        if (line.startsWith(multipleFrames, Qt::CaseInsensitive)) {
            FMultipleFramesIndex = i;
        } else if (line.contains(QStringLiteral("time=")) && line.contains(QStringLiteral("size="))) {
            FProgressIndex = i;
            FProgressLine = line;
        }
    }
    FScanned = count;
    // Read from the newest line up, a newer "Multiple frames" line comes first and ends the reading.
    if (FProgressIndex < 0 || FMultipleFramesIndex > FProgressIndex) return false;
    // Most lines an encoder prints are not progress lines: the newest one is parsed once.
    if (FParsedLine.isNull() || FParsedLine != FProgressLine) {
        FValues = TEncoderProgress();
        ParseEncoderProgressLine(FProgressLine, FValues);
        FParsedLine = FProgressLine;
        Memo.Valid = false;
    }
    Progress = FValues;
    return true;
}

void TEncoderProgressScan::Reset() {
    FScanned = 0;
    FProgressIndex = FMultipleFramesIndex = -1;
    FProgressLine.clear();
    FParsedLine = String();
    Memo.Valid = false;
}

bool TerminateApp(const String& AppPath) {
    String path = AppPath;
    if (rtl::ExtractFilePath(path).isEmpty()) path = rtl::ExpandFileName(path);
    // /proc reports the resolved executable, so compare with the resolved name.
    const String canonical = QFileInfo(path).canonicalFilePath();
    const String wanted = canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;

    bool result = false;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    const DWORD self = GetCurrentProcessId();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
        if (entry.th32ParentProcessID != self) continue;
        HANDLE query = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, entry.th32ProcessID);
        if (!query) continue;
        WCHAR exe[1024] = {};
        const DWORD n = GetModuleFileNameExW(query, nullptr, exe, 1024);
        CloseHandle(query);
        if (n == 0 || String::fromUtf16(exe, n) != wanted) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID);
        if (!process) continue;
        if (TerminateProcess(process, 1)) result = true;
        CloseHandle(process);
    }
    CloseHandle(snap);
    return result;
}

} // namespace engine
