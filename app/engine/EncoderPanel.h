// app/engine/EncoderPanel.h: the state of the main window's encoder and output controls, as the command-line
// builders, the output naming and the encoder profiles read and write it. The main window owns one and keeps
// it in step with its controls; the engine never touches a window.
#pragma once
#include <QStringList>

#include <functional>

#include "app/engine/Types.h"

namespace engine {

// A combo box: its items, the selected index (-1: none) and its text. Choosing an item sets the text to it;
// typing a text selects the item of exactly that text, if any.
class TComboModel {
public:
    TComboModel() = default;
    TComboModel(const QStringList& AItems, int AItemIndex) : Items(AItems) { SetItemIndex(AItemIndex); }

    QStringList Items;

    int ItemIndex() const { return FItemIndex; }
    // An index outside the items selects nothing, as the control does.
    void SetItemIndex(int Value);
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Count() const { return Items.count(); }

private:
    int FItemIndex = -1;
    String FText;
};

// A spin edit holding whole numbers between MinValue and MaxValue.
struct TSpinEditModel {
    int Value = 0;
    int MinValue = 0;
    int MaxValue = 0;
};
int GetSpinEditInt(const TSpinEditModel& Edit);
// Clamped to the edit's range (the lower bound is tested first).
void SetSpinEditInt(TSpinEditModel& Edit, int AValue);

// The volume track bar: a position in percent, kept within Min..Max.
struct TTrackBarModel {
    double Position = 100;
    double Min = 1;
    double Max = 300;
    void SetPosition(double Value);
};

// The language texts the engine's builders compare with or hand out. English until the main window
// copies the chosen language's texts in (section MAIN of the language file, same key names); the engine
// sits below the language code and so takes them as data.
struct TEngineTexts {
    String Auto = QStringLiteral("Auto");
    String FirstAudioTrack = QStringLiteral("(first audio track)");
    String CantCreateDirectory = QStringLiteral("Couldn't create directory \"%s\" !");
    String Skipped = QStringLiteral("Skipped");
    String OK_Renamed = QStringLiteral("OK - Renamed");
    String OK_Overwritten = QStringLiteral("OK - Overwritten");
    String ExtractAudioStream = QStringLiteral("Try extract original audio stream");
    String cbProfile_TheLastSessionSettings = QStringLiteral("The last session settings");
    String cbProfile_DefaultSettings = QStringLiteral("Default encoder settings");
    String CommandLineInfo = QStringLiteral("FFmpeg command-line parameters");
    String cbOutputExists_Rename = QStringLiteral("Rename file");
    String cbOutputExists_Overwrite = QStringLiteral("Overwrite it");
    String cbOutputExists_Skip = QStringLiteral("Skip file");
};

// Output formats by the index of cbOutputFormat.
constexpr int ofMP3 = 0;
constexpr int ofWAV = 1;
constexpr int ofExtract = 2;

class TEncoderPanel {
public:
    // The controls filled and set to their defaults, as the main window prepares them.
    TEncoderPanel();

    // Output panel
    TComboModel cbOutDirMode;   // 0 same as input, 1 Desktop, 2 My Music, 3 My Documents, 4 custom
    TComboModel cbOutDir;       // the custom folder (editable)
    TComboModel cbOutputExists; // 0 rename, 1 overwrite, 2 skip

    // Audio panel
    TComboModel cbOutputFormat;
    TComboModel cbAudioTrackNo;   // 0 automatic, n the n-th audio stream
    TComboModel cbBitrateMode;
    TComboModel cbPresets;
    TComboModel cbAudioBitrate;
    TComboModel cbAudioSampling;
    TComboModel cbAudioChannels;
    TComboModel cbAudioStereoMode;
    TComboModel cbAudioAlgoQuality;
    bool chAudioLowpass = false;
    TSpinEditModel spedAudioLowpass{16000, 1000, 32000};
    TTrackBarModel tbAudioVolume;

    // Additional settings panel: the time range
    bool chTimeStart = false;
    TSpinEditModel spedTimeStartH{0, 0, 24};
    TSpinEditModel spedTimeStartM{0, 0, 60};
    TSpinEditModel spedTimeStartS{0, 0, 60};
    TSpinEditModel spedTimeStartMs{0, 0, 999};
    bool chTimeEnd = false;
    TSpinEditModel spedTimeEndH{0, 0, 24};
    TSpinEditModel spedTimeEndM{0, 0, 60};
    TSpinEditModel spedTimeEndS{0, 0, 60};
    TSpinEditModel spedTimeEndMs{0, 0, 999};

    TEngineTexts Texts;

    // Refreshes the enabled state of the controls (the main window's InitControls); may be empty.
    std::function<void()> OnInitControls;

    // The encoder controls back to their defaults (the output folder and existing-file choice stay).
    void SetDefaultParams();
    // After a language change: the "Auto" items take the new text, the selections stay.
    void SetTexts(const TEngineTexts& Value);
    // The text says "Auto" in the current language (trimmed, any letter case).
    bool IsAuto(const String& Text) const;
    // The audio-track items for a file with Streams audio streams ("Auto (first audio track)", then
    // one per stream); the selection is kept while it still names a stream, else 0.
    void SetAudioTrackItems(const QStringList& StreamTexts);
    void InitControls() const {
        if (OnInitControls) OnInitControls();
    }
};

// What the builders read from a row of the file list.
struct TFileRowInfo {
    String FileName;                 // full path of the input
    bool bChapter = false;           // a chapter row
    int ChapterStartMs = -1;         // the chapter's start and end cells
    int ChapterEndMs = -1;
    String ChapterTitle;             // colChapterTitle
    String ChapterNo;                // colChapterNo
};

// A trimmed text of decimal digits (an optional '-' first) that fits an Integer.
bool TryWholeNumber(const String& Text, int& Value);

} // namespace engine
