// The encoder-panel model: the controls' items, defaults and value rules.
#include "app/engine/EncoderPanel.h"

#include "rtl/SysUtils.h"

namespace engine {

void TComboModel::SetItemIndex(int Value) {
    if (Value < 0 || Value >= Items.count()) {
        FItemIndex = -1;
        FText.clear();
        return;
    }
    FItemIndex = Value;
    FText = Items.at(Value);
}

void TComboModel::SetText(const String& Value) {
    FText = Value;
    FItemIndex = Items.indexOf(Value);
}

int GetSpinEditInt(const TSpinEditModel& Edit) { return Edit.Value; }

void SetSpinEditInt(TSpinEditModel& Edit, int AValue) {
    if (AValue < Edit.MinValue)
        Edit.Value = Edit.MinValue;
    else if (AValue > Edit.MaxValue)
        Edit.Value = Edit.MaxValue;
    else
        Edit.Value = AValue;
}

void TTrackBarModel::SetPosition(double Value) {
    if (Value < Min) Value = Min;
    if (Value > Max) Value = Max;
    Position = Value;
}

namespace {

QStringList Numbers(std::initializer_list<int> Values) {
    QStringList list;
    for (int v : Values) list << QString::number(v);
    return list;
}

} // namespace

TEncoderPanel::TEncoderPanel() {
    cbOutDirMode = TComboModel({QStringLiteral("The same as input file"), QStringLiteral("System folder: Desktop"),
                                QStringLiteral("System folder: My Music"), QStringLiteral("System folder: My Documents"),
                                QStringLiteral("Custom")},
                               0);
    cbOutputExists = TComboModel({Texts.cbOutputExists_Rename, Texts.cbOutputExists_Overwrite, Texts.cbOutputExists_Skip}, 0);
    cbOutputFormat = TComboModel({QStringLiteral("MP3 - MPEG-1 Layer 3"), QStringLiteral("WAV - Uncompressed audio"),
                                  QStringLiteral("Try extract original audio stream")},
                                 0);
    cbAudioTrackNo = TComboModel({Texts.Auto + u' ' + Texts.FirstAudioTrack}, 0);
    cbBitrateMode = TComboModel({QStringLiteral("CBR - Constant bitrate"), QStringLiteral("ABR - Average bitrate"),
                                 QStringLiteral("VBR - Variable / LAME preset")},
                                0);
    cbPresets = TComboModel({QStringLiteral("320 kbit/s CBR - Insane"), QStringLiteral("-V 0 : 220-260 kbit/s - Extreme"),
                             QStringLiteral("-V 1 : 190-250 kbit/s"), QStringLiteral("-V 2 : 170-210 kbit/s - Standard"),
                             QStringLiteral("-V 3 : 150-195 kbit/s"), QStringLiteral("-V 4 : 140-185 kbit/s - Medium"),
                             QStringLiteral("-V 5 : 120-150 kbit/s"), QStringLiteral("-V 6 : 100-130 kbit/s"),
                             QStringLiteral("-V 7 :  80-120 kbit/s"), QStringLiteral("-V 8 :  70-105 kbit/s"),
                             QStringLiteral("-V 9 :  45-85 kbit/s")},
                            3);
    cbAudioBitrate = TComboModel(QStringList{Texts.Auto} +
                                     Numbers({8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}),
                                 0);
    cbAudioSampling =
        TComboModel(QStringList{Texts.Auto} + Numbers({8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000}), 0);
    cbAudioChannels = TComboModel({Texts.Auto, QStringLiteral("1 - Mono"), QStringLiteral("2 - Stereo")}, 0);
    cbAudioStereoMode =
        TComboModel({QStringLiteral("Auto"), QStringLiteral("L/R stereo"), QStringLiteral("Mid/Side stereo (Joint stereo)")}, 0);
    cbAudioAlgoQuality = TComboModel({QStringLiteral("Auto"), QStringLiteral("0 - Highest quality"), QStringLiteral("1"),
                                      QStringLiteral("2 - Recommended"), QStringLiteral("3"), QStringLiteral("4"),
                                      QStringLiteral("5 - LAME default"), QStringLiteral("6 - Good quality"),
                                      QStringLiteral("7 - Medium quality"), QStringLiteral("8 - Low quality"),
                                      QStringLiteral("9 - Poor quality")},
                                     0);
    SetDefaultParams();
}

void TEncoderPanel::SetDefaultParams() {
    cbAudioBitrate.Items[0] = Texts.Auto;
    cbAudioSampling.Items[0] = Texts.Auto;
    cbAudioChannels.Items[0] = Texts.Auto;
    cbAudioBitrate.SetItemIndex(0);
    cbBitrateMode.SetItemIndex(0);
    cbPresets.SetItemIndex(3);
    cbAudioSampling.SetItemIndex(0);
    cbAudioChannels.SetItemIndex(0);
    cbAudioStereoMode.SetItemIndex(0);
    cbAudioAlgoQuality.SetItemIndex(0);
    chAudioLowpass = false;
    SetSpinEditInt(spedAudioLowpass, 16000);
    tbAudioVolume.SetPosition(100);
    cbOutputFormat.SetItemIndex(0);
    cbAudioTrackNo.SetItemIndex(0);
    chTimeStart = false;
    chTimeEnd = false;
    for (TSpinEditModel* e : {&spedTimeStartH, &spedTimeStartM, &spedTimeStartS, &spedTimeStartMs, &spedTimeEndH,
                              &spedTimeEndM, &spedTimeEndS, &spedTimeEndMs})
        SetSpinEditInt(*e, 0);
}

void TEncoderPanel::SetTexts(const TEngineTexts& Value) {
    Texts = Value;
    for (TComboModel* c : {&cbAudioBitrate, &cbAudioSampling, &cbAudioChannels}) {
        const int index = c->ItemIndex();
        c->Items[0] = Texts.Auto;
        c->SetItemIndex(index);
    }
    cbOutputExists.Items = QStringList{Texts.cbOutputExists_Rename, Texts.cbOutputExists_Overwrite, Texts.cbOutputExists_Skip};
    cbOutputExists.SetItemIndex(cbOutputExists.ItemIndex());
    cbAudioTrackNo.Items[0] = Texts.Auto + u' ' + Texts.FirstAudioTrack;
    cbAudioTrackNo.SetItemIndex(cbAudioTrackNo.ItemIndex());
}

bool TEncoderPanel::IsAuto(const String& Text) const {
    return rtl::AnsiUpperCase(rtl::Trim(Text)) == rtl::AnsiUpperCase(Texts.Auto);
}

void TEncoderPanel::SetAudioTrackItems(const QStringList& StreamTexts) {
    const int index = cbAudioTrackNo.ItemIndex();
    cbAudioTrackNo.Items = QStringList{Texts.Auto + u' ' + Texts.FirstAudioTrack} + StreamTexts;
    cbAudioTrackNo.SetItemIndex(index >= 0 && index < cbAudioTrackNo.Count() ? index : 0);
}

bool TryWholeNumber(const String& Text, int& Value) {
    const String s = rtl::Trim(Text);
    int i = 0;
    if (s.startsWith(u'-')) i = 1;
    if (i >= s.size()) return false;
    for (int k = i; k < s.size(); ++k)
        if (s.at(k) < u'0' || s.at(k) > u'9') return false;
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    if (!ok) return false;
    Value = v;
    return true;
}

} // namespace engine
