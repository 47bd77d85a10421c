// tests/fuzz/AnalysisFuzz.cpp: the readers of tool output on arbitrary text: the encoder's report
// lines, the prober's INI report (filter, unescaping, the three parts and the report text), clock
// texts and the analysis library's size texts.
// fuzz-libs: engine
#include <cstdint>
#include <cstdlib>

#include "app/engine/Analysis.h"
#include "app/engine/FFprobe.h"
#include "app/engine/MediaInfoReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const QString Text = QString::fromUtf8(reinterpret_cast<const char*>(Data), qsizetype(Size));

    rtl::TStringList Lines;
    Lines.SetText(Text);
    engine::TVideoFileInfo Info;
    engine::ParseEncoderReport(&Lines, Info);
    if (Info.NumberOfVideoStreams > 255 || Info.NumberOfAudioStreams > 255) std::abort();
    engine::ApplyAnalysisCorrections(Info);

    engine::FilterFFprobeIniOutput(&Lines);
    const QString Report = engine::UnescapeFFprobeIniValue(Lines.Text());
    engine::TFFFormat Format;
    engine::TFFStreams Streams;
    engine::TFFChapters Chapters;
    Format.ParseIniString(Report);
    Streams.ParseIniString(Report);
    Chapters.ParseIniString(Report);
    if (Streams.FItems.size() > 201 || Chapters.FItems.size() > 201) std::abort();
    (void)(Format.AsText(QStringLiteral(" ")) + Streams.AsText(QStringLiteral(" ")) +
           Chapters.AsText(QStringLiteral(" ")));

    (void)engine::ParseTimeStr(Text);
    QString SizeStr;
    uint8_t Percent = 0;
    engine::ReadStreamSizeText(Text, SizeStr, Percent);
    int Kbps = 0;
    (void)engine::ReadMediaInfoAudioBitrate(Text, Kbps);
    return 0;
}
