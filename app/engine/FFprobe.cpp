// The probing tool's report and chapters.
#include "app/engine/FFprobe.h"

#include <QHash>

#include "app/engine/Analysis.h"
#include "app/engine/ConRun.h"
#include "rtl/Files.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

const String CRLF = QStringLiteral("\r\n");

// The report text read as an INI file: section names without regard to case (found by hash, since
// the readers ask for up to 201 numbered sections), keys in file order.
class TProbeIni {
public:
    explicit TProbeIni(const String& Text) {
        TSection* Current = nullptr;
        qsizetype Pos = 0;
        const qsizetype Size = Text.size();
        while (Pos <= Size) {
            qsizetype End = Pos;
            while (End < Size && Text[End] != u'\r' && Text[End] != u'\n') ++End;
            const String Line = rtl::Trim(Text.mid(Pos, End - Pos));
            if (End < Size && Text[End] == u'\r' && End + 1 < Size && Text[End + 1] == u'\n') ++End;
            Pos = End + 1;
            if (Line.isEmpty() || Line.startsWith(u';')) continue;
            if (Line.startsWith(u'[') && Line.endsWith(u']')) {
                const String Name = rtl::Trim(Line.mid(1, Line.size() - 2));
                const String Key = Name.toLower();
                auto It = FIndex.constFind(Key);
                if (It == FIndex.constEnd()) {
                    It = FIndex.insert(Key, static_cast<int>(FSections.size()));
                    FSections.push_back(TSection{});
                }
                Current = &FSections[static_cast<size_t>(*It)];
                continue;
            }
            if (!Current) continue; // before the first section
            const qsizetype Eq = Line.indexOf(u'=');
            if (Eq < 0)
                Current->Add(Line, String());
            else
                Current->Add(rtl::Trim(Line.left(Eq)), rtl::TrimLeft(Line.mid(Eq + 1)));
        }
    }

    bool SectionExists(const String& Name) const { return FIndex.contains(Name.toLower()); }

    // The section's pairs in file order; a key that occurs twice carries its first value both times.
    TFFKeyValueList Pairs(const String& Name, bool SkipEmptyKeys) const {
        TFFKeyValueList Result;
        const TSection* S = Find(Name);
        if (!S) return Result;
        Result.reserve(S->Keys.size());
        for (const auto& [Key, Value] : S->Keys) {
            if (SkipEmptyKeys && Key.isEmpty()) continue;
            Result.emplace_back(Key, FirstValue(*S, Key));
        }
        return Result;
    }

    // The first value of the key in the section, or empty text.
    String Value(const String& Section, const String& Key) const {
        const TSection* S = Find(Section);
        return S ? FirstValue(*S, Key) : String();
    }

private:
    struct TSection {
        std::vector<std::pair<String, String>> Keys;
        QHash<String, int> First; // lower-case key -> its first entry

        void Add(const String& Key, const String& Value) {
            const String Lower = Key.toLower();
            if (!First.contains(Lower)) First.insert(Lower, static_cast<int>(Keys.size())); // the first stays
            Keys.emplace_back(Key, Value);
        }
    };

    const TSection* Find(const String& Name) const {
        const auto It = FIndex.constFind(Name.toLower());
        return It == FIndex.constEnd() ? nullptr : &FSections[static_cast<size_t>(*It)];
    }

    static String FirstValue(const TSection& S, const String& Key) {
        const auto It = S.First.constFind(Key.toLower());
        return It == S.First.constEnd() ? String() : S.Keys[static_cast<size_t>(*It)].second;
    }

    std::vector<TSection> FSections;
    QHash<String, int> FIndex;
};

constexpr int MaxProbeSections = 200; // numbered sections 0..200 are read
constexpr int MaxChapterSlots = MaxChapters;

void AppendPairs(String& Out, const String& Sep, const String& Title, const TFFKeyValueList& Pairs) {
    if (Pairs.empty()) return;
    Out += Sep + Title + CRLF;
    for (const auto& [Key, Value] : Pairs) Out += Sep + Sep + Key + u'=' + Value + CRLF;
}

TFFStreamType StreamTypeOf(const String& CodecType) {
    const String T = CodecType.toLower();
    if (T == QStringLiteral("audio")) return ffstAudio;
    if (T == QStringLiteral("video")) return ffstVideo;
    if (T == QStringLiteral("subtitle")) return ffstSubtitle;
    return ffstUnknown;
}

// The captured output as the report text: filtered, joined and unescaped.
String ReportText(rtl::TStringList& Lines) {
    FilterFFprobeIniOutput(&Lines);
    return UnescapeFFprobeIniValue(Lines.Text());
}

String ToolCommand(const String& Exe) {
    return Exe.contains(u' ') || Exe.contains(u'"') ? QuoteFileName(Exe) : Exe;
}

// A chapter time in seconds as milliseconds, or -1 when it is missing, not a number or out of range.
int ChapterTimeMs(const String& Text) {
    double Seconds = 0;
    if (!TryReadDecimal(Text, Seconds)) return -1;
    const double Ms = Seconds * 1000.0;
    if (Ms < -2147483648.0 || Ms > 2147483647.0) return -1;
    return static_cast<int>(rtl::Round(Ms));
}

} // namespace

// ---- filter and unescaping -------------------------------------------------------------------------

void FilterFFprobeIniOutput(rtl::TStrings* Lines) {
    std::vector<String> Kept;
    Kept.reserve(static_cast<size_t>(Lines->Count()));
    for (int i = 0; i < Lines->Count(); ++i) {
        const String Line = Lines->Strings(i);
        if (Line.isEmpty() || Line[0] == u' ' || Line[0] == u'\t' ||
            Line.startsWith(QStringLiteral("Input #"), Qt::CaseInsensitive))
            continue;
        if (Line.startsWith(u'[') ? !Line.endsWith(u']') : !Line.contains(u'=')) continue;
        Kept.push_back(Line);
    }
    if (static_cast<int>(Kept.size()) == Lines->Count()) return;
    Lines->BeginUpdate();
    Lines->Clear();
    for (const String& Line : Kept) Lines->Add(Line);
    Lines->EndUpdate();
}

String UnescapeFFprobeIniValue(const String& Text) {
    if (!Text.contains(u'\\')) return Text;
    String Out;
    Out.reserve(Text.size());
    const qsizetype Size = Text.size();
    auto hex = [](QChar C) -> int {
        const char16_t U = C.unicode();
        if (U >= u'0' && U <= u'9') return U - u'0';
        if (U >= u'a' && U <= u'f') return U - u'a' + 10;
        if (U >= u'A' && U <= u'F') return U - u'A' + 10;
        return -1;
    };
    for (qsizetype i = 0; i < Size; ++i) {
        const QChar C = Text[i];
        if (C != u'\\' || i + 1 >= Size) {
            Out += C;
            continue;
        }
        const char16_t Next = Text[i + 1].unicode();
        switch (Next) {
        case u'\\':
        case u':':
        case u'=':
        case u'#':
        case u';':
        case u'\'':
        case u'"':
        case u'?':
            Out += QChar(Next);
            ++i;
            break;
        case u'n':
        case u'r':
            Out += CRLF;
            ++i;
            break;
        case u't':
            Out += u'\t';
            ++i;
            break;
        case u'b':
            Out += u'\b';
            ++i;
            break;
        case u'f':
            Out += u'\f';
            ++i;
            break;
        case u'x': {
            // Control characters come as "\x00" and two hex digits.
            if (i + 5 < Size && Text[i + 2] == u'0' && Text[i + 3] == u'0' && hex(Text[i + 4]) >= 0 &&
                hex(Text[i + 5]) >= 0) {
                Out += QChar(char16_t(hex(Text[i + 4]) * 16 + hex(Text[i + 5])));
                i += 5;
            } else {
                Out += C;
            }
            break;
        }
        default:
            Out += C; // not an escape of the tool: the backslash stays
            break;
        }
    }
    return Out;
}

// ---- the parts ---------------------------------------------------------------------------------------

void TFFFormat::ClearAll() {
    FFormatInfo.clear();
    FFormatTags.clear();
}

void TFFFormat::ParseIniString(const String& Text) {
    ClearAll();
    const TProbeIni Ini(Text);
    FFormatInfo = Ini.Pairs(QStringLiteral("format"), true);
    FFormatTags = Ini.Pairs(QStringLiteral("format.tags"), true);
}

String TFFFormat::AsText(const String& Sep) const {
    String Out = QStringLiteral("FORMAT") + CRLF;
    AppendPairs(Out, Sep, QStringLiteral("FORMAT INFO"), FFormatInfo);
    AppendPairs(Out, Sep, QStringLiteral("FORMAT TAGS"), FFormatTags);
    return Out;
}

String TFFStream::AsText(const String& Sep) const {
    String Out;
    AppendPairs(Out, Sep, QStringLiteral("STREAM INFO"), FStreamInfo);
    AppendPairs(Out, Sep, QStringLiteral("STREAM DISPOSITION"), FStreamDisposition);
    AppendPairs(Out, Sep, QStringLiteral("STREAM TAGS"), FStreamTags);
    return Out;
}

void TFFStreams::ParseIniString(const String& Text) {
    const TProbeIni Ini(Text);
    for (int N = 0; N <= MaxProbeSections; ++N) {
        const String Name = QStringLiteral("streams.stream.") + String::number(N);
        if (!Ini.SectionExists(Name)) break;
        auto Stream = std::make_unique<TFFStream>();
        Stream->FStreamInfo = Ini.Pairs(Name, false);
        for (const auto& [Key, Value] : Stream->FStreamInfo)
            if (Key.compare(QStringLiteral("codec_type"), Qt::CaseInsensitive) == 0)
                Stream->FStreamType = StreamTypeOf(Value);
        Stream->FStreamDisposition = Ini.Pairs(Name + QStringLiteral(".disposition"), false);
        Stream->FStreamTags = Ini.Pairs(Name + QStringLiteral(".tags"), false);
        FItems.push_back(std::move(Stream));
    }
}

String TFFStreams::AsText(const String& Sep) const {
    String Out = QStringLiteral("STREAMS (") + String::number(FItems.size()) + QStringLiteral(") ") + CRLF;
    for (size_t i = 0; i < FItems.size(); ++i) {
        Out += Sep + QStringLiteral("STREAM ") + String::number(i + 1) + CRLF;
        Out += FItems[i]->AsText(Sep + Sep);
        Out += CRLF;
    }
    return Out;
}

String TFFChapter::AsText(const String& Sep) const {
    String Out;
    AppendPairs(Out, Sep, QStringLiteral("CHAPTER INFO"), FChapterInfo);
    AppendPairs(Out, Sep, QStringLiteral("CHAPTER TAGS"), FChapterTags);
    return Out;
}

void TFFChapters::ParseIniString(const String& Text) {
    const TProbeIni Ini(Text);
    for (int N = 0; N <= MaxProbeSections; ++N) {
        const String Name = QStringLiteral("chapters.chapter.") + String::number(N);
        if (!Ini.SectionExists(Name)) break;
        auto Chapter = std::make_unique<TFFChapter>();
        Chapter->FChapterInfo = Ini.Pairs(Name, false);
        Chapter->FChapterTags = Ini.Pairs(Name + QStringLiteral(".tags"), false);
        FItems.push_back(std::move(Chapter));
    }
}

String TFFChapters::AsText(const String& Sep) const {
    String Out = QStringLiteral("CHAPTERS (") + String::number(FItems.size()) + QStringLiteral(") ") + CRLF;
    for (size_t i = 0; i < FItems.size(); ++i) {
        Out += Sep + QStringLiteral("CHAPTER ") + String::number(i + 1) + CRLF;
        Out += FItems[i]->AsText(Sep + Sep);
        Out += CRLF;
    }
    return Out;
}

// ---- the report --------------------------------------------------------------------------------------

void TFFProbe::ClearAll() {
    FFormat.ClearAll();
    FStreams.ClearAll();
    FChapters.ClearAll();
    FFileName.clear();
}

bool TFFProbe::ReadFile(const String& FFProbeExe, const String& FileName) {
    ClearAll();
    FFileName = FileName;
    if (!rtl::FileExists(FileName) || !rtl::FileExists(FFProbeExe)) return false;

    const String Exe = ToolCommand(FFProbeExe);
    const String Quoted = QuoteFileName(FileName);
    rtl::TStringList Lines;
    auto run = [&](const char16_t* Show) {
        Lines.Clear();
        RunConsoleApp(Exe,
                      QStringLiteral("-pretty -hide_banner ") + QString::fromUtf16(Show) +
                          QStringLiteral(" -print_format ini -i ") + Quoted,
                      &Lines, 0);
        return ReportText(Lines);
    };
    if (FReadFormatInfo) FFormat.ParseIniString(run(u"-show_format"));
    if (FReadStreamsInfo) FStreams.ParseIniString(run(u"-show_streams"));
    if (FReadChapters) FChapters.ParseIniString(run(u"-show_chapters"));
    return true;
}

String TFFProbe::AsText(const String& Sep) const {
    String Out = FFormat.AsText(Sep);
    Out += CRLF;
    Out += FStreams.AsText(Sep);
    if (!FChapters.FItems.empty()) {
        Out += CRLF;
        Out += FChapters.AsText(Sep);
    }
    return Out;
}

// ---- chapters alone -----------------------------------------------------------------------------------

void GetMediaChapters(const String& FileName, const String& FFProbeExe, TVideoFileInfo& Info) {
    if (!rtl::FileExists(FileName) || !rtl::FileExists(FFProbeExe)) return;
    rtl::TStringList Lines;
    RunConsoleApp(ToolCommand(FFProbeExe),
                  QStringLiteral("-show_chapters -print_format ini -i ") + QuoteFileName(FileName), &Lines,
                  0);
    const TProbeIni Ini(UnescapeFFprobeIniValue(Lines.Text()));

    for (int N = 0; N < MaxChapterSlots; ++N) {
        const String Name = QStringLiteral("chapters.chapter.") + String::number(N);
        if (!Ini.SectionExists(Name)) break;
        TMediaChapter& C = Info.Chapters[static_cast<size_t>(N)];
        C.IDStr = Ini.Value(Name, QStringLiteral("id"));
        C.StartTimeStr = Ini.Value(Name, QStringLiteral("start_time"));
        C.EndTimeStr = Ini.Value(Name, QStringLiteral("end_time"));
        C.StartTimeMs = ChapterTimeMs(C.StartTimeStr);
        C.EndTimeMs = ChapterTimeMs(C.EndTimeStr);
        if (C.StartTimeMs < 0 || C.EndTimeMs < 0) {
            C.Exists = false;
            break;
        }
        C.DurationMs = C.EndTimeMs - C.StartTimeMs;
        C.Exists = true;
        ++Info.ChapterCount;
        const String Tags = Name + QStringLiteral(".tags");
        if (Ini.SectionExists(Tags)) {
            C.Title = Ini.Value(Tags, QStringLiteral("title"));
            if (C.Title.isEmpty()) C.Title = QStringLiteral("Chapter ") + String::number(Info.ChapterCount);
        }
    }
}

} // namespace engine
