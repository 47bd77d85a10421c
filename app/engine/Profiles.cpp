// Encoder profiles: reading, writing, listing and the look of the profile combo's items.
#include "app/engine/Profiles.h"

#include <QCollator>

#include <algorithm>
#include <vector>

#include "app/engine/EncoderParams.h"
#include "app/engine/Procs.h"
#include "base/Colors.h"
#include "base/FileSearch.h"
#include "base/MemIniFile.h"
#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Files.h"
#include "rtl/Math.h"
#include "rtl/SysUtils.h"

namespace engine {

namespace {

const String SecMain = QStringLiteral("MAIN");
const String SecAudio = QStringLiteral("AUDIO");
const String SecAdditional = QStringLiteral("ADDITIONAL");
const String ProfileAppName = QStringLiteral("Tunewright");
const String ProfileAppVer = QStringLiteral("1.5");

constexpr TColor White = 0xFFFFFF;
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);

const QStringList StereoModeWords = {QStringLiteral("Auto"), QStringLiteral("Stereo"), QStringLiteral("JointStereo")};

String ExpandEscapes(const String& Text) {
    String s = Text;
    s.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    s.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
    return s;
}

// A whole-number text selects the item of that text (the first item when there is none).
void SelectNumberItem(TComboModel& Combo, const String& Text) {
    const int index = Combo.Items.indexOf(rtl::Trim(Text));
    Combo.SetItemIndex(index >= 0 ? index : 0);
}

int IndexInList(int Index, const TComboModel& Combo, int Fallback) {
    return Index >= 0 && Index < Combo.Count() ? Index : Fallback;
}

const char16_t* OutputFormatWord(int Index) {
    switch (Index) {
    case ofMP3: return u"MP3";
    case ofWAV: return u"WAV";
    default: return u"extract";
    }
}

} // namespace

// ---- files ---------------------------------------------------------------------------------------------

void SaveProfile(const TEncoderPanel& Panel, const String& PresetFile, [[maybe_unused]] const String& ProfileType,
                 [[maybe_unused]] const String& SortIndex) {
    base::TKwpMemIniFile ini(PresetFile, rtl::TEncoding::UTF8());
    ini.WriteString(SecMain, QStringLiteral("AppName"), ProfileAppName);
    ini.WriteString(SecMain, QStringLiteral("AppVer"), ProfileAppVer);

    int number = 0;
    ini.WriteString(SecAudio, QStringLiteral("OutputFormat"), QString::fromUtf16(OutputFormatWord(Panel.cbOutputFormat.ItemIndex())));
    const String bitrate = rtl::Trim(Panel.cbAudioBitrate.Text());
    ini.WriteString(SecAudio, QStringLiteral("AudioBitrate"), TryWholeNumber(bitrate, number) ? bitrate : String());
    ini.WriteInteger(SecAudio, QStringLiteral("AudioBitrateMode"), Panel.cbBitrateMode.ItemIndex());
    ini.WriteInteger(SecAudio, QStringLiteral("LamePreset"), Panel.cbPresets.ItemIndex());
    const String sampling = rtl::Trim(Panel.cbAudioSampling.Text());
    ini.WriteString(SecAudio, QStringLiteral("AudioSampling"), TryWholeNumber(sampling, number) ? sampling : QStringLiteral("0"));
    ini.WriteInteger(SecAudio, QStringLiteral("AudioChannels"), Panel.cbAudioChannels.ItemIndex());
    const int stereo = Panel.cbAudioStereoMode.ItemIndex();
    ini.WriteString(SecAudio, QStringLiteral("AudioStereoMode"), StereoModeWords.value(stereo, StereoModeWords[0]));
    ini.WriteInteger(SecAudio, QStringLiteral("AudioAlgoQuality"), Panel.cbAudioAlgoQuality.ItemIndex());
    ini.WriteBool(SecAudio, QStringLiteral("AudioLowpassFilterEnabled"), Panel.chAudioLowpass);
    ini.WriteInteger(SecAudio, QStringLiteral("AudioLowpassFilter"), GetSpinEditInt(Panel.spedAudioLowpass));
    ini.WriteInteger(SecAudio, QStringLiteral("Volume"), static_cast<int>(rtl::Round(Panel.tbAudioVolume.Position)));

    ini.WriteBool(SecAdditional, QStringLiteral("TimeStart"), Panel.chTimeStart);
    ini.WriteBool(SecAdditional, QStringLiteral("TimeEnd"), Panel.chTimeEnd);
    const std::pair<const char16_t*, const TSpinEditModel*> times[] = {
        {u"TimeStartH", &Panel.spedTimeStartH}, {u"TimeStartM", &Panel.spedTimeStartM},
        {u"TimeStartS", &Panel.spedTimeStartS}, {u"TimeStartMs", &Panel.spedTimeStartMs},
        {u"TimeEndH", &Panel.spedTimeEndH},     {u"TimeEndM", &Panel.spedTimeEndM},
        {u"TimeEndS", &Panel.spedTimeEndS},     {u"TimeEndMs", &Panel.spedTimeEndMs}};
    for (const auto& [key, edit] : times) ini.WriteInteger(SecAdditional, QString::fromUtf16(key), GetSpinEditInt(*edit));

    // Written here rather than on destruction, so that a failed write reaches the caller.
    ini.UpdateFile();
}

void LoadProfile(TEncoderPanel& Panel, const String& PresetFile) {
    if (!rtl::FileExists(PresetFile)) return;
    // The controls' enabled state follows whatever was loaded, also when reading stopped half-way.
    struct TRefresh {
        TEncoderPanel& Panel;
        ~TRefresh() { Panel.InitControls(); }
    } refresh{Panel};

    base::TKwpMemIniFile ini(PresetFile, rtl::TEncoding::UTF8());

    const String format =
        rtl::Trim(ini.ReadString(SecAudio, QStringLiteral("OutputFormat"),
                                 QString::fromUtf16(OutputFormatWord(Panel.cbOutputFormat.ItemIndex()))))
            .toLower();
    Panel.cbOutputFormat.SetItemIndex(format == QStringLiteral("wav") ? ofWAV : format == QStringLiteral("extract") ? ofExtract : ofMP3);

    int number = 0;
    const String bitrate = ini.ReadString(SecAudio, QStringLiteral("AudioBitrate"), Panel.cbAudioBitrate.Text());
    if (TryWholeNumber(bitrate, number))
        SelectNumberItem(Panel.cbAudioBitrate, bitrate);
    else
        Panel.cbAudioBitrate.SetItemIndex(0);   // "Auto"

    Panel.cbBitrateMode.SetItemIndex(IndexInList(
        ini.ReadInteger(SecAudio, QStringLiteral("AudioBitrateMode"), Panel.cbBitrateMode.ItemIndex()), Panel.cbBitrateMode, 2));
    Panel.cbPresets.SetItemIndex(
        IndexInList(ini.ReadInteger(SecAudio, QStringLiteral("LamePreset"), Panel.cbPresets.ItemIndex()), Panel.cbPresets, 3));

    const String sampling = ini.ReadString(SecAudio, QStringLiteral("AudioSampling"), Panel.cbAudioSampling.Text());
    if (TryWholeNumber(sampling, number)) SelectNumberItem(Panel.cbAudioSampling, sampling);

    Panel.cbAudioChannels.SetItemIndex(
        ini.ReadInteger(SecAudio, QStringLiteral("AudioChannels"), Panel.cbAudioChannels.ItemIndex()));

    const String stereo = ini.ReadString(SecAudio, QStringLiteral("AudioStereoMode"),
                                         StereoModeWords.value(Panel.cbAudioStereoMode.ItemIndex(), StereoModeWords[0]));
    Panel.cbAudioStereoMode.SetItemIndex(StrArrayToInt(rtl::Trim(stereo), StereoModeWords, {0, 1, 2}, 0, true));

    Panel.cbAudioAlgoQuality.SetItemIndex(IndexInList(
        ini.ReadInteger(SecAudio, QStringLiteral("AudioAlgoQuality"), Panel.cbAudioAlgoQuality.ItemIndex()),
        Panel.cbAudioAlgoQuality, 0));

    Panel.chAudioLowpass = ini.ReadBool(SecAudio, QStringLiteral("AudioLowpassFilterEnabled"), Panel.chAudioLowpass);
    SetSpinEditInt(Panel.spedAudioLowpass,
                   ini.ReadInteger(SecAudio, QStringLiteral("AudioLowpassFilter"), GetSpinEditInt(Panel.spedAudioLowpass)));

    int volume = ini.ReadInteger(SecAudio, QStringLiteral("Volume"), static_cast<int>(rtl::Round(Panel.tbAudioVolume.Position)));
    volume = std::clamp(volume, 0, 300);
    Panel.tbAudioVolume.SetPosition(volume);

    Panel.chTimeStart = ini.ReadBool(SecAdditional, QStringLiteral("TimeStart"), Panel.chTimeStart);
    Panel.chTimeEnd = ini.ReadBool(SecAdditional, QStringLiteral("TimeEnd"), Panel.chTimeEnd);
    const std::pair<const char16_t*, TSpinEditModel*> times[] = {
        {u"TimeStartH", &Panel.spedTimeStartH}, {u"TimeStartM", &Panel.spedTimeStartM},
        {u"TimeStartS", &Panel.spedTimeStartS}, {u"TimeStartMs", &Panel.spedTimeStartMs},
        {u"TimeEndH", &Panel.spedTimeEndH},     {u"TimeEndM", &Panel.spedTimeEndM},
        {u"TimeEndS", &Panel.spedTimeEndS},     {u"TimeEndMs", &Panel.spedTimeEndMs}};
    for (const auto& [key, edit] : times)
        SetSpinEditInt(*edit, ini.ReadInteger(SecAdditional, QString::fromUtf16(key), GetSpinEditInt(*edit)));
}

// ---- the profile list ------------------------------------------------------------------------------------

bool AP_AddProfile(TProfileList& List, const String& fName) {
    if (!rtl::FileExists(fName)) return false;
    base::TKwpMemIniFile ini(fName, rtl::TEncoding::UTF8());
    if (rtl::AnsiUpperCase(ini.ReadString(SecMain, QStringLiteral("AppVer"), String())) != rtl::AnsiUpperCase(ProfileAppVer) ||
        rtl::AnsiUpperCase(ini.ReadString(SecMain, QStringLiteral("AppName"), String())) != rtl::AnsiUpperCase(ProfileAppName))
        return false;

    TProfileInfo info;
    info.ShortFileName = rtl::ExtractFileName(fName);
    info.DisplayName = ini.ReadString(SecMain, QStringLiteral("DisplayName"), String());
    if (info.DisplayName.isEmpty()) info.DisplayName = rtl::ChangeFileExt(info.ShortFileName, String());
    info.ProfileType = ini.ReadString(SecMain, QStringLiteral("Type"), String());
    info.Extract = rtl::AnsiUpperCase(info.ProfileType) == QStringLiteral("EXTRACT");
    String sortText = ini.ReadString(SecMain, QStringLiteral("SortIndex"), QStringLiteral("-1"));
    sortText.replace(u'.', LocaleDecimalSeparator());
    double sortIndex = -1.0;
    info.SortIndex = rtl::TryStrToFloat(sortText, sortIndex) ? sortIndex : -1.0;
    info.BgColor = White;
    info.FontColor = White;
    base::TryTextToColor(ini.ReadString(SecMain, QStringLiteral("BgColor"), QStringLiteral("#FFFFFF")), info.BgColor);
    base::TryTextToColor(ini.ReadString(SecMain, QStringLiteral("FontColor"), QStringLiteral("#FFFFFF")), info.FontColor);
    List.push_back(info);
    return true;
}

void SortProfiles(TProfileList& List, int High) {
    if (High < 0 || High >= static_cast<int>(List.size())) return;
    // Quicksort around the middle element, as the profile list has always been ordered.
    std::function<void(int, int)> sort = [&](int L, int R) {
        while (L < R) {
            int i = L, j = R;
            const double pivot = List[(L + R) / 2].SortIndex;
            while (i <= j) {
                while (List[i].SortIndex < pivot) ++i;
                while (List[j].SortIndex > pivot) --j;
                if (i <= j) {
                    std::swap(List[i], List[j]);
                    ++i;
                    --j;
                }
            }
            if (L < j) sort(L, j);
            L = i;
        }
    };
    sort(0, High);
}

int StrArrayToInt(const String& Str, const QStringList& Strings, const std::vector<int>& Ints, int Default,
                  bool IgnoreCase) {
    if (Strings.count() != static_cast<int>(Ints.size())) return Default;
    const String s = IgnoreCase ? rtl::AnsiUpperCase(Str) : Str;
    for (int i = 0; i < Strings.count(); ++i)
        if ((IgnoreCase ? rtl::AnsiUpperCase(Strings[i]) : Strings[i]) == s) return Ints[i];
    return Default;
}

TProfileCombo GetProfiles(const String& ProfilesDir, const String& LastProfileFile, const TEngineTexts& Texts) {
    TProfileCombo combo;
    combo.Items << Texts.cbProfile_TheLastSessionSettings << Texts.cbProfile_DefaultSettings;

    rtl::TStringList files;
    base::CollectFiles(QStringLiteral("*.ini"), ProfilesDir, &files, true);
    // The names in a sorted string list's order (by the locale, without regard to case), with each name's
    // collation key made once rather than the texts folded and collated again in every comparison.
    const QCollator collator;
    std::vector<std::pair<QCollatorSortKey, String>> names;
    names.reserve(size_t(files.Count()));
    for (int i = 0; i < files.Count(); ++i) names.emplace_back(collator.sortKey(files[i].toCaseFolded()), files[i]);
    std::sort(names.begin(), names.end(), [](const auto& A, const auto& B) { return A.first.compare(B.first) < 0; });
    const String last = rtl::ExpandFileName(LastProfileFile);
    for (const auto& [key, name] : names)
        if (rtl::ExpandFileName(name) != last) AP_AddProfile(combo.List, name);

    try {
        SortProfiles(combo.List, static_cast<int>(combo.List.size()) - 1);
    } catch (...) {
        // an unsorted list is still a usable list
    }
    for (const TProfileInfo& p : combo.List) combo.Items << ExpandEscapes(p.DisplayName);
    combo.ItemIndex = 0;
    return combo;
}

int FindProfileItem(const TProfileCombo& Combo, const String& ShortFileName) {
    for (size_t i = 0; i < Combo.List.size(); ++i)
        if (rtl::AnsiUpperCase(Combo.List[i].ShortFileName) == rtl::AnsiUpperCase(ShortFileName)) return static_cast<int>(i) + 2;
    return 0;
}

TProfileChoice ProfileForItem(const TProfileCombo& Combo, int Index, const String& ProfilesDir, String& FileName) {
    if (Index == 0) return pcLastSession;
    if (Index == 1) return pcDefaults;
    if (Index < 0 || Combo.List.empty()) return pcNothing;
    size_t entry = static_cast<size_t>(Index - 2);
    if (entry >= Combo.List.size()) entry = 0;
    FileName = rtl::ExcludeTrailingPathDelimiter(ProfilesDir) + u'/' + Combo.List[entry].ShortFileName;
    return pcFile;
}

// ---- the look of an item ---------------------------------------------------------------------------------

TProfileItemLook GetProfileItemLook(const TProfileCombo& Combo, int Index, const String& ItemText, bool Selected,
                                    bool ListOpen, const String& StyleName, bool DarkStyle, const TEngineTexts& Texts) {
    TProfileItemLook look;
    look.Text = ItemText;
    look.Bold = Index == 1;

    const String token = rtl::AnsiUpperCase(GetStyleNameToken(rtl::Trim(StyleName)));
    TColor bg = 0x5B5B5B, fg = White;
    const TColor light = base::MakeColor(220, 220, 220);
    if (token == QStringLiteral("AURIC")) {
        bg = base::MakeColor(63, 63, 63), fg = light;
    } else if (token == QStringLiteral("CARBON")) {
        bg = base::MakeColor(25, 25, 25), fg = light;
    } else if (token == QStringLiteral("CHARCOAL")) {
        bg = base::MakeColor(35, 35, 35), fg = light;
    } else if (token == QStringLiteral("ICEBERG") || token == QStringLiteral("LUNA") || token == QStringLiteral("SILVER") ||
               token == QStringLiteral("SLATE")) {
        bg = White, fg = clWindowText;
    } else if (token == QStringLiteral("TABLETDARK")) {
        bg = base::MakeColor(44, 50, 78), fg = light;
    } else if (token == QStringLiteral("COBALT")) {
        bg = 0x0E0704, fg = White;
    }

    if (Index >= 2 && Index - 2 < static_cast<int>(Combo.List.size())) {
        const TProfileInfo& p = Combo.List[Index - 2];
        look.Text = ExpandEscapes(p.Extract ? Texts.ExtractAudioStream : p.DisplayName);
        if (p.BgColor != White || p.FontColor != White) {
            bg = p.BgColor;
            fg = p.FontColor;
        }
    }

    if (bg == fg) {
        bg = base::MakeGrayColor(0x33);
        fg = base::MakeGrayColor(0xE6);
    }
    if (Selected) {
        bg = 0x6FA75F;
        fg = White;
    }

    if (token == QStringLiteral("COBALT") || token == QStringLiteral("TABLETDARK"))
        bg = base::ChangeColorByPercent(bg, 26, false);
    else if (DarkStyle)
        bg = base::ChangeColorByPercent(bg, 10, false);

    look.Background = bg;
    look.TextColor = fg;
    if (Selected) {
        look.GradientFrom = bg;
        look.GradientTo = base::ChangeColorByPercent(bg, 15, false);
    } else {
        look.GradientFrom = base::ChangeColorByPercent(bg, 4, true);
        look.GradientTo = bg;
    }
    look.WordWrap = look.Text.contains(u'\r');
    look.TextTop = ListOpen ? 2 : 3;
    look.LineColor = base::ChangeColorByPercent(bg, 6, false);
    return look;
}

} // namespace engine
