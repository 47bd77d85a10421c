// Encoder profiles: writing and reading back, the clamps of the reader, the filtered and sorted list, and
// the colours of the combo's items.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QLocale>

#include <random>

#include "app/engine/Profiles.h"
#include "base/Colors.h"
#include "rtl/SysUtils.h"
#include "tests/support/TempDir.h"

using namespace engine;
using testing_support::TempDir;

namespace {

// Every control a profile stores, as one comparable text.
QString State(const TEncoderPanel& p) {
    QStringList s;
    for (const TComboModel* c : {&p.cbOutputFormat, &p.cbAudioBitrate, &p.cbBitrateMode, &p.cbPresets, &p.cbAudioSampling,
                                 &p.cbAudioChannels, &p.cbAudioStereoMode, &p.cbAudioAlgoQuality})
        s << QString::number(c->ItemIndex()) + u'/' + c->Text();
    s << QString::number(p.chAudioLowpass) << QString::number(p.spedAudioLowpass.Value) << QString::number(p.tbAudioVolume.Position)
      << QString::number(p.chTimeStart) << QString::number(p.chTimeEnd);
    for (const TSpinEditModel* e : {&p.spedTimeStartH, &p.spedTimeStartM, &p.spedTimeStartS, &p.spedTimeStartMs,
                                    &p.spedTimeEndH, &p.spedTimeEndM, &p.spedTimeEndS, &p.spedTimeEndMs})
        s << QString::number(e->Value);
    return s.join(u';');
}

QString Profile(const QString& Audio, const QString& Main = QStringLiteral("AppName=Tunewright\r\nAppVer=1.5\r\n")) {
    return QStringLiteral("[MAIN]\r\n") + Main + QStringLiteral("[AUDIO]\r\n") + Audio;
}

TEST(Profiles, SavedSettingsComeBack) {
    TempDir dir;
    TEncoderPanel saved;
    saved.cbBitrateMode.SetItemIndex(1);
    saved.cbAudioBitrate.SetText(QStringLiteral("224"));
    saved.cbPresets.SetItemIndex(5);
    saved.cbAudioSampling.SetText(QStringLiteral("22050"));
    saved.cbAudioChannels.SetItemIndex(1);
    saved.cbAudioStereoMode.SetItemIndex(2);
    saved.cbAudioAlgoQuality.SetItemIndex(4);
    saved.chAudioLowpass = true;
    SetSpinEditInt(saved.spedAudioLowpass, 12000);
    saved.tbAudioVolume.SetPosition(180.4);
    saved.chTimeStart = true;
    SetSpinEditInt(saved.spedTimeStartM, 2);
    SetSpinEditInt(saved.spedTimeStartMs, 250);
    saved.chTimeEnd = true;
    SetSpinEditInt(saved.spedTimeEndH, 1);
    SetSpinEditInt(saved.spedTimeEndS, 59);
    const QString file = dir.QFile(QStringLiteral("mine.ini"));
    SaveProfile(saved, file, QStringLiteral("user"), QStringLiteral("-998"));

    const QByteArray bytes = testing_support::ReadFileBytes(file);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF[MAIN]\r\nAppName=Tunewright\r\nAppVer=1.5\r\n")) << bytes.toStdString();
    for (const char* line : {"OutputFormat=MP3\r\n", "AudioBitrate=224\r\n", "AudioStereoMode=JointStereo\r\n",
                             "AudioLowpassFilterEnabled=1\r\n", "Volume=180\r\n", "TimeEndS=59\r\n"})
        EXPECT_TRUE(bytes.contains(line)) << line;
    EXPECT_FALSE(bytes.contains("user") || bytes.contains("-998"));

    TEncoderPanel loaded;
    int refreshed = 0;
    loaded.OnInitControls = [&] { ++refreshed; };
    LoadProfile(loaded, file);
    saved.tbAudioVolume.SetPosition(180);
    EXPECT_EQ(State(loaded), State(saved));
    EXPECT_EQ(refreshed, 1);
}

TEST(Profiles, AutoAndOtherFormatsComeBack) {
    TempDir dir;
    for (int format : {ofWAV, ofExtract}) {
        TEncoderPanel saved;
        saved.cbOutputFormat.SetItemIndex(format);
        const QString file = dir.QFile(QStringLiteral("p.ini"));
        SaveProfile(saved, file, {}, {});
        EXPECT_TRUE(testing_support::ReadFileBytes(file).contains("AudioBitrate=\r\nAudioBitrateMode=0") &&
                    testing_support::ReadFileBytes(file).contains("AudioSampling=0\r\n"));
        TEncoderPanel loaded;
        loaded.cbAudioBitrate.SetText(QStringLiteral("64"));
        loaded.cbAudioSampling.SetText(QStringLiteral("8000"));
        LoadProfile(loaded, file);
        EXPECT_EQ(State(loaded), State(saved));
    }
}

TEST(Profiles, SavingOverAProfileKeepsItsListEntries) {
    TempDir dir;
    const QString file = dir.Write(QStringLiteral("p.ini"), Profile(QStringLiteral("Volume=1\r\n"),
                                                                 QStringLiteral("DisplayName=Mine\r\nSortIndex=4\r\n")).toUtf8());
    SaveProfile(TEncoderPanel(), file, {}, {});
    TProfileList list;
    ASSERT_TRUE(AP_AddProfile(list, file));
    EXPECT_EQ(list[0].DisplayName, QStringLiteral("Mine"));
    EXPECT_EQ(list[0].SortIndex, 4.0);
    EXPECT_TRUE(testing_support::ReadFileBytes(file).contains("Volume=100"));
}

struct ClampCase {
    const char* audio;                              // the AUDIO (or ADDITIONAL) lines
    std::function<bool(const TEncoderPanel&)> ok;   // what the panel then holds
};

TEST(Profiles, LoadingKeepsEveryControlInRange) {
    TempDir dir;
    const ClampCase cases[] = {
        {"Volume=500", [](const TEncoderPanel& p) { return p.tbAudioVolume.Position == 300; }},
        {"Volume=-4", [](const TEncoderPanel& p) { return p.tbAudioVolume.Position == 1; }},
        {"AudioBitrateMode=9", [](const TEncoderPanel& p) { return p.cbBitrateMode.ItemIndex() == 2; }},
        {"AudioBitrateMode=-1", [](const TEncoderPanel& p) { return p.cbBitrateMode.ItemIndex() == 2; }},
        {"LamePreset=11", [](const TEncoderPanel& p) { return p.cbPresets.ItemIndex() == 3; }},
        {"LamePreset=0", [](const TEncoderPanel& p) { return p.cbPresets.ItemIndex() == 0; }},
        {"AudioAlgoQuality=42", [](const TEncoderPanel& p) { return p.cbAudioAlgoQuality.ItemIndex() == 0; }},
        {"AudioLowpassFilter=50", [](const TEncoderPanel& p) { return p.spedAudioLowpass.Value == 1000; }},
        {"AudioLowpassFilter=99999", [](const TEncoderPanel& p) { return p.spedAudioLowpass.Value == 32000; }},
        {"OutputFormat= Extract ", [](const TEncoderPanel& p) { return p.cbOutputFormat.ItemIndex() == ofExtract; }},
        {"OutputFormat=flac", [](const TEncoderPanel& p) { return p.cbOutputFormat.ItemIndex() == ofMP3; }},
        {"AudioStereoMode=jointstereo", [](const TEncoderPanel& p) { return p.cbAudioStereoMode.ItemIndex() == 2; }},
        {"AudioStereoMode=Mono", [](const TEncoderPanel& p) { return p.cbAudioStereoMode.ItemIndex() == 0; }},
        {"AudioBitrate=150", [](const TEncoderPanel& p) { return p.cbAudioBitrate.ItemIndex() == 0; }},
        {"AudioBitrate=fast", [](const TEncoderPanel& p) { return p.cbAudioBitrate.ItemIndex() == 0; }},
        {"AudioSampling=44100", [](const TEncoderPanel& p) { return p.cbAudioSampling.Text() == QStringLiteral("44100"); }},
        {"AudioSampling=fast", [](const TEncoderPanel& p) { return p.cbAudioSampling.Text() == QStringLiteral("8000"); }},
        {"AudioSampling=12345", [](const TEncoderPanel& p) { return p.cbAudioSampling.ItemIndex() == 0; }},
        {"AudioChannels=7", [](const TEncoderPanel& p) { return p.cbAudioChannels.ItemIndex() == -1; }},
        {"[ADDITIONAL]\r\nTimeStartH=99\r\nTimeEndMs=-3\r\nTimeEnd=1",
         [](const TEncoderPanel& p) { return p.spedTimeStartH.Value == 24 && p.spedTimeEndMs.Value == 0 && p.chTimeEnd; }},
    };
    for (const ClampCase& c : cases) {
        const QString file = dir.Write(QStringLiteral("c.ini"), Profile(QString::fromLatin1(c.audio) + QStringLiteral("\r\n")).toUtf8());
        TEncoderPanel panel;
        panel.cbAudioBitrate.SetText(QStringLiteral("192"));
        panel.cbAudioSampling.SetText(QStringLiteral("8000"));
        LoadProfile(panel, file);
        EXPECT_TRUE(c.ok(panel)) << c.audio;
    }
}

TEST(Profiles, MissingKeysAndFilesLeaveThePanel) {
    TempDir dir;
    TEncoderPanel panel;
    panel.cbOutputFormat.SetItemIndex(ofWAV);
    panel.cbAudioBitrate.SetText(QStringLiteral("192"));
    panel.cbAudioSampling.SetText(QStringLiteral("48000"));
    panel.cbAudioChannels.SetItemIndex(2);
    panel.cbAudioStereoMode.SetItemIndex(1);
    panel.tbAudioVolume.SetPosition(42);
    panel.chTimeEnd = true;
    SetSpinEditInt(panel.spedTimeEndS, 12);
    const QString before = State(panel);
    int refreshed = 0;
    panel.OnInitControls = [&] { ++refreshed; };

    LoadProfile(panel, dir.QFile(QStringLiteral("missing.ini")));
    EXPECT_EQ(refreshed, 0);
    LoadProfile(panel, dir.Write(QStringLiteral("empty.ini"), "[MAIN]\r\nAppName=Other\r\n"));
    EXPECT_EQ(State(panel), before);
    EXPECT_EQ(refreshed, 1);
}

TEST(ProfileList, ListsOnlyThisProgramsProfilesSortedByKey) {
    TempDir dir;
    const QLocale before = rtl::DefaultFormatLocale();
    rtl::SetDefaultFormatLocale(QLocale(QLocale::German, QLocale::Germany));   // "1.5" still reads as 1.5
    dir.Write(QStringLiteral("a.ini"),
              Profile({}, QStringLiteral("AppName=tunewright\r\nAppVer=1.5\r\nSortIndex=2\r\nDisplayName=Two\\nlines\\tend\r\n"
                                         "BgColor=#FF0000\r\nFontColor=0,0,255\r\n")).toUtf8());
    dir.Write(QStringLiteral("b.ini"), Profile({}, QStringLiteral("AppName=Tunewright\r\nAppVer=1.5\r\nSortIndex=1.5\r\nType=Extract\r\n")).toUtf8());
    dir.Write(QStringLiteral("c.ini"), Profile({}, QStringLiteral("AppName=Tunewright\r\nAppVer=1.5\r\nBgColor=rubbish\r\nSortIndex=x\r\n")).toUtf8());
    dir.Write(QStringLiteral("other.ini"), Profile({}, QStringLiteral("AppName=Someone\r\nAppVer=1.5\r\n")).toUtf8());
    dir.Write(QStringLiteral("old.ini"), Profile({}, QStringLiteral("AppName=Tunewright\r\nAppVer=1.4\r\n")).toUtf8());
    dir.Write(QStringLiteral("__Last.ini"), Profile({}).toUtf8());
    dir.Write(QStringLiteral("notes.txt"), Profile({}).toUtf8());

    const TProfileCombo combo = GetProfiles(dir.QPath(), dir.QFile(QStringLiteral("__Last.ini")), TEngineTexts());
    rtl::SetDefaultFormatLocale(before);
    EXPECT_EQ(combo.Items, QStringList({QStringLiteral("The last session settings"), QStringLiteral("Default encoder settings"),
                                        QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("Two\r\nlines\tend")}));
    ASSERT_EQ(combo.List.size(), 3u);
    EXPECT_EQ(combo.List[0].ShortFileName, QStringLiteral("c.ini"));
    EXPECT_EQ(combo.List[0].SortIndex, -1.0);
    EXPECT_EQ(combo.List[0].BgColor, 0xFFFFFF);
    EXPECT_EQ(combo.List[1].SortIndex, 1.5);
    EXPECT_TRUE(combo.List[1].Extract);
    EXPECT_EQ(combo.List[1].ProfileType, QStringLiteral("Extract"));
    EXPECT_EQ(combo.List[2].BgColor, 0x0000FF);
    EXPECT_EQ(combo.List[2].FontColor, 0xFF0000);
    EXPECT_EQ(combo.ItemIndex, 0);

    EXPECT_EQ(FindProfileItem(combo, QStringLiteral("B.INI")), 3);
    EXPECT_EQ(FindProfileItem(combo, QStringLiteral("zzz.ini")), 0);
    String file;
    EXPECT_EQ(ProfileForItem(combo, 0, dir.QPath(), file), pcLastSession);
    EXPECT_EQ(ProfileForItem(combo, 1, dir.QPath(), file), pcDefaults);
    EXPECT_EQ(ProfileForItem(combo, 4, dir.QPath(), file), pcFile);
    EXPECT_EQ(file, dir.QFile(QStringLiteral("a.ini")));
    EXPECT_EQ(ProfileForItem(combo, 9, dir.QPath(), file), pcFile);
    EXPECT_EQ(file, dir.QFile(QStringLiteral("c.ini")));
    EXPECT_EQ(ProfileForItem(TProfileCombo(), 2, dir.QPath(), file), pcNothing);
}

TEST(ProfileList, SortsByKeyAscending) {
    std::mt19937 random(7);
    TProfileList list;
    for (int i = 0; i < 200; ++i) list.push_back(TProfileInfo{QString::number(i), {}, double(random() % 50) / 4, {}, 0, 0, false});
    TProfileList prefix = list;
    SortProfiles(list, static_cast<int>(list.size()) - 1);
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.SortIndex < b.SortIndex; }));

    SortProfiles(prefix, 9);   // only the first ten
    EXPECT_TRUE(std::is_sorted(prefix.begin(), prefix.begin() + 10,
                               [](const auto& a, const auto& b) { return a.SortIndex < b.SortIndex; }));
    EXPECT_EQ(prefix[10].ShortFileName, QStringLiteral("10"));
    TProfileList empty;
    SortProfiles(empty, -1);
}

TEST(ProfileList, StrArrayToIntFindsTheFirstMatch) {
    const QStringList words{QStringLiteral("Auto"), QStringLiteral("Stereo"), QStringLiteral("stereo")};
    EXPECT_EQ(StrArrayToInt(QStringLiteral("STEREO"), words, {0, 1, 2}, -1, true), 1);
    EXPECT_EQ(StrArrayToInt(QStringLiteral("stereo"), words, {0, 1, 2}, -1, false), 2);
    EXPECT_EQ(StrArrayToInt(QStringLiteral("STEREO"), words, {0, 1, 2}, -1, false), -1);
    EXPECT_EQ(StrArrayToInt(QStringLiteral("Auto"), words, {0, 1}, -1, true), -1);   // lengths differ
}

TEST(ProfileItemLook, ColoursFollowStyleProfileAndState) {
    TProfileCombo combo;
    combo.List.push_back(TProfileInfo{QStringLiteral("plain.ini"), QStringLiteral("Plain"), -1, {}, 0xFFFFFF, 0xFFFFFF, false});
    combo.List.push_back(TProfileInfo{QStringLiteral("red.ini"), QStringLiteral("Red\\nTwo"), 1, {}, 0x0000FF, 0xFFFFFF, false});
    combo.List.push_back(TProfileInfo{QStringLiteral("same.ini"), QStringLiteral("Same"), 2, {}, 0x123456, 0x123456, false});
    combo.List.push_back(TProfileInfo{QStringLiteral("x.ini"), QStringLiteral("X"), 3, QStringLiteral("extract"), 0xFFFFFF, 0xFFFFFF, true});
    const TEngineTexts texts;
    auto look = [&](int Index, bool Selected, const char* Style, bool Dark = false, bool Open = true) {
        return GetProfileItemLook(combo, Index, QStringLiteral("item"), Selected, Open, QString::fromLatin1(Style), Dark, texts);
    };

    TProfileItemLook l = look(1, false, "Windows");
    EXPECT_TRUE(l.Bold);
    EXPECT_EQ(l.Text, QStringLiteral("item"));
    EXPECT_EQ(l.Background, 0x5B5B5B);
    EXPECT_EQ(l.TextColor, 0xFFFFFF);
    EXPECT_EQ(l.GradientTo, 0x5B5B5B);
    EXPECT_EQ(l.GradientFrom, 0x5E5E5E);
    EXPECT_EQ(l.LineColor, 0x565656);
    EXPECT_EQ(l.TextTop, 2);

    l = look(2, false, "Carbon Dark");   // default colours keep the style's
    EXPECT_FALSE(l.Bold);
    EXPECT_EQ(l.Text, QStringLiteral("Plain"));
    EXPECT_EQ(l.Background, base::MakeColor(25, 25, 25));
    EXPECT_EQ(l.TextColor, base::MakeColor(220, 220, 220));

    l = look(3, false, "Iceberg Classico", false, false);
    EXPECT_EQ(l.Text, QStringLiteral("Red\r\nTwo"));
    EXPECT_TRUE(l.WordWrap);
    EXPECT_EQ(l.Background, 0x0000FF);
    EXPECT_EQ(l.TextColor, 0xFFFFFF);
    EXPECT_EQ(l.TextTop, 3);

    l = look(4, false, "Luna");   // equal colours cannot be read
    EXPECT_EQ(l.Background, 0x333333);
    EXPECT_EQ(l.TextColor, 0xE6E6E6);

    l = look(5, true, "Cobalt XEMedia");
    EXPECT_EQ(l.Text, QStringLiteral("Try extract original audio stream"));
    EXPECT_EQ(l.Background, 0x537C47);
    EXPECT_EQ(l.TextColor, 0xFFFFFF);
    EXPECT_EQ(l.GradientFrom, l.Background);
    EXPECT_EQ(l.GradientTo, 0x476A3D);

    l = look(0, false, "Slate", true);   // another dark style darkens by a tenth
    EXPECT_EQ(l.Background, 0xE6E6E6);
    EXPECT_LT(l.TextColor, 0);   // the system's window-text colour
}

} // namespace
