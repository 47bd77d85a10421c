// bench/TagsFrontBench.cpp: the tag front's overhead and its growth.
//  1. Load and save the common fields of 1,000 MP3 files with covers through the front, against reading
//     and writing the same fields through the ID3v2 classes directly, in one run: at most 1.3 times.
//  2. A tag of 5,000 user texts against one of 500, loaded and saved through the front: the time must
//     grow linearly (at most 10 times the smaller one, with 50 % allowance for noise).
// Exits with 1 when a bound is missed.
// bench-libs: tags
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "tags/TagID3v2.h"
#include "tags/Tags.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// 40 MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz, then the tag written in front by the library
// with room to spare, so that later saves happen in place.
void WriteMp3(const std::string& Path, tags::TID3v2Tag& Tag)
{
    std::vector<char> audio(40 * 417, 0);
    for (size_t i = 0; i < audio.size(); i += 417) {
        audio[i] = char(0xFF); audio[i + 1] = char(0xFB); audio[i + 2] = char(0x90);
    }
    std::ofstream(Path, std::ios::binary).write(audio.data(), std::streamsize(audio.size()));
    Tag.MajorVersion = 4;
    Tag.PaddingToWrite = 65536;
    if (Tag.SaveToFile(QString::fromStdString(Path)) != 0) std::abort();
}

void WriteCoverFile(const std::string& Path, int Index, std::mt19937& Random)
{
    QByteArray cover(100 * 1024, 0);
    for (auto& b : cover) b = char(Random());
    cover[0] = char(0xFF);
    cover[1] = char(0xD8);
    rtl::TMemoryStream picture;
    picture.WriteBuffer(cover.constData(), cover.size());
    const QString n = QString::number(Index);
    tags::TID3v2Tag tag;
    tag.SetUnicodeText(QStringLiteral("TIT2"), QStringLiteral("Song title number ") + n);
    tag.SetUnicodeText(QStringLiteral("TPE1"), QStringLiteral("Some Artist"));
    tag.SetUnicodeText(QStringLiteral("TALB"), QStringLiteral("An Album Name"));
    tag.SetUnicodeText(QStringLiteral("TRCK"), QString::number(Index % 20 + 1) + QStringLiteral("/20"));
    tag.SetUnicodeText(QStringLiteral("TDRC"), QStringLiteral("2021"));
    tag.SetUnicodeText(QStringLiteral("TCON"), QStringLiteral("Rock"));
    tag.SetUnicodeContent(QStringLiteral("COMM"), QStringLiteral("A comment on track ") + n,
                          tags::StringToLanguageID(QStringLiteral("eng")), QString());
    tag.SetUnicodeCoverPictureFromStream(tag.AddFrame(QStringLiteral("APIC")), QStringLiteral("Front cover"), picture,
                                         QStringLiteral("image/jpeg"), 3);
    WriteMp3(Path, tag);
}

void WriteUserTextFile(const std::string& Path, int Count)
{
    tags::TID3v2Tag tag;
    tag.SetUnicodeText(QStringLiteral("TIT2"), QStringLiteral("Many user texts"));
    rtl::TStringList value;
    for (int i = 0; i < Count; ++i) {
        value.Clear();
        value.Add(QStringLiteral("value %1").arg(i));
        tag.SetUnicodeUserDefinedTextInformationMultiple(tag.AddFrame(QStringLiteral("TXXX")), QStringLiteral("KEY%1").arg(i),
                                                         value);
    }
    WriteMp3(Path, tag);
}

template <typename F> double Seconds(F&& Work)
{
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fields the engine copies, read and written through the ID3v2 object directly.
void DirectLoadAndSave(const QString& File, int Round)
{
    tags::TID3v2Tag tag;
    if (tag.LoadFromFile(File) != 0) std::abort();
    tag.RemoveUnsynchronisationOnAllFrames();
    tag.DeCompressAllFrames();
    QStringList fields;
    for (const char* id : {"TIT2", "TPE1", "TALB", "TRCK", "TDRC", "TCON"}) fields << tag.GetUnicodeText(QString::fromLatin1(id));
    tags::TLanguageID language;
    QString description;
    fields << tag.GetUnicodeContent(tag.FrameExists(QStringLiteral("COMM")), language, description);
    rtl::TMemoryStream picture;
    QString mime;
    int type = 0;
    tag.GetUnicodeCoverPictureStream(tag.FrameExists(QStringLiteral("APIC")), picture, mime, description, type);
    tag.SetUnicodeText(QStringLiteral("TIT2"), QStringLiteral("Title of round %1").arg(Round));
    tag.SetUnicodeText(QStringLiteral("TPE1"), fields[1]);
    if (tag.SaveToFile(File) != 0) std::abort();
}

void FrontLoadAndSave(const QString& File, int Round)
{
    tags::TTags tags;
    if (tags.LoadFromFile(File) != 0 || !tags.Loaded) std::abort();
    tags.SetTag(QStringLiteral("TITLE"), QStringLiteral("Title of round %1").arg(Round));
    if (tags.SaveToFile(File, tags::ttAutomatic) != 0) std::abort();
}

} // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("tw-tags-front-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    // Each side works on its own copy of the files, so that neither meets the other's writing.
    std::mt19937 random(42);
    std::vector<QString> directFiles, frontFiles;
    for (int i = 0; i < 1000; ++i) {
        const std::string path = (dir / ("track" + std::to_string(i) + ".mp3")).string();
        const std::string copy = (dir / ("copy" + std::to_string(i) + ".mp3")).string();
        WriteCoverFile(path, i, random);
        fs::copy_file(path, copy);
        directFiles.push_back(QString::fromStdString(path));
        frontFiles.push_back(QString::fromStdString(copy));
    }

    double direct = 1e9, front = 1e9;
    for (int round = 0; round < 5; ++round) {
        direct = std::min(direct, Seconds([&] { for (const auto& f : directFiles) DirectLoadAndSave(f, round); }));
        front = std::min(front, Seconds([&] { for (const auto& f : frontFiles) FrontLoadAndSave(f, round); }));
    }
    const double overhead = front / direct;
    std::printf("1000 MP3 files with a 100 KB cover, load and save of the common fields, best of 5 rounds\n");
    std::printf("  ID3v2 classes: %8.1f ms   front: %8.1f ms   ratio %.2f (at most 1.30)\n", direct * 1e3, front * 1e3,
                overhead);

    const std::string small = (dir / "txxx500.mp3").string(), large = (dir / "txxx5000.mp3").string();
    WriteUserTextFile(small, 500);
    WriteUserTextFile(large, 5000);
    double tSmall = 1e9, tLarge = 1e9;
    for (int round = 0; round < 5; ++round) {
        tSmall = std::min(tSmall, Seconds([&] { FrontLoadAndSave(QString::fromStdString(small), round); }));
        tLarge = std::min(tLarge, Seconds([&] { FrontLoadAndSave(QString::fromStdString(large), round); }));
    }
    const double growth = tLarge / tSmall;
    std::printf("user texts through the front, load and save, best of 5 rounds\n");
    std::printf("  500: %8.2f ms   5000: %8.2f ms   growth %.1f (linear is 10, at most 15)\n", tSmall * 1e3, tLarge * 1e3,
                growth);

    fs::remove_all(dir);
    return overhead <= 1.3 && growth <= 15 ? 0 : 1;
}
