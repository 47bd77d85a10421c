// bench/TagsFrontBench.cpp: the tag front's overhead and its growth.
//  1. Load and save the common fields of 1,000 MP3 files with covers through the front, against reading
//     and writing the same fields through the ID3v2 classes directly, in one run: at most 1.3 times.
//  2. A tag of 5,000 user texts against one of 500, loaded and saved through the front: the time must
//     grow linearly (at most 10 times the smaller one, with 50 % allowance for noise).
// Exits with 1 when a bound is missed.
// bench-libs: tags
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

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

void Append(Bytes& Out, const Bytes& In) { Out.insert(Out.end(), In.begin(), In.end()); }

Bytes Synchsafe(uint32_t v) { return {uint8_t((v >> 21) & 0x7F), uint8_t((v >> 14) & 0x7F), uint8_t((v >> 7) & 0x7F), uint8_t(v & 0x7F)}; }

Bytes Frame(const std::string& Id, const Bytes& Data)
{
    Bytes f(Id.begin(), Id.end());
    Append(f, Synchsafe(uint32_t(Data.size())));
    Append(f, {0, 0});
    Append(f, Data);
    return f;
}

Bytes Text(const std::string& S)
{
    Bytes b(S.size() + 1, 3);   // UTF-8, then the characters
    std::copy(S.begin(), S.end(), b.begin() + 1);
    return b;
}

Bytes Mp3(const Bytes& Frames)
{
    Bytes file{'I', 'D', '3', 4, 0, 0};
    Append(file, Synchsafe(uint32_t(Frames.size() + 65536)));
    Append(file, Frames);
    file.resize(file.size() + 65536, 0);   // room enough to write in place
    for (int i = 0; i < 40; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF; frame[1] = 0xFB; frame[2] = 0x90; frame[3] = 0x00;
        Append(file, frame);
    }
    return file;
}

Bytes CoverFile(int Index, std::mt19937& Random)
{
    Bytes cover(100 * 1024);
    for (auto& b : cover) b = uint8_t(Random());
    cover[0] = 0xFF;
    cover[1] = 0xD8;
    Bytes apic{3};
    for (char c : std::string("image/jpeg")) apic.push_back(uint8_t(c));
    Append(apic, {0, 3});
    for (char c : std::string("Front cover")) apic.push_back(uint8_t(c));
    apic.push_back(0);
    Append(apic, cover);
    const std::string n = std::to_string(Index);
    Bytes frames;
    Append(frames, Frame("TIT2", Text("Song title number " + n)));
    Append(frames, Frame("TPE1", Text("Some Artist")));
    Append(frames, Frame("TALB", Text("An Album Name")));
    Append(frames, Frame("TRCK", Text(std::to_string(Index % 20 + 1) + "/20")));
    Append(frames, Frame("TDRC", Text("2021")));
    Append(frames, Frame("TCON", Text("Rock")));
    Append(frames, Frame("COMM", Text(std::string("eng\0", 4) + "A comment on track " + n)));
    Append(frames, Frame("APIC", apic));
    return Mp3(frames);
}

Bytes UserTextFile(int Count)
{
    Bytes frames;
    Append(frames, Frame("TIT2", Text("Many user texts")));
    for (int i = 0; i < Count; ++i)
        Append(frames, Frame("TXXX", Text("KEY" + std::to_string(i) + std::string(1, '\0') + "value " + std::to_string(i))));
    return Mp3(frames);
}

void Write(const std::string& Path, const Bytes& Data)
{
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
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
    std::mt19937 random(42);
    std::vector<QString> files;
    for (int i = 0; i < 1000; ++i) {
        const std::string path = (dir / ("track" + std::to_string(i) + ".mp3")).string();
        Write(path, CoverFile(i, random));
        files.push_back(QString::fromStdString(path));
    }

    double direct = 1e9, front = 1e9;
    for (int round = 0; round < 5; ++round) {
        direct = std::min(direct, Seconds([&] { for (const auto& f : files) DirectLoadAndSave(f, round); }));
        front = std::min(front, Seconds([&] { for (const auto& f : files) FrontLoadAndSave(f, round); }));
    }
    const double overhead = front / direct;
    std::printf("1000 MP3 files with a 100 KB cover, load and save of the common fields, best of 5 rounds\n");
    std::printf("  ID3v2 classes: %8.1f ms   front: %8.1f ms   ratio %.2f (at most 1.30)\n", direct * 1e3, front * 1e3,
                overhead);

    const std::string small = (dir / "txxx500.mp3").string(), large = (dir / "txxx5000.mp3").string();
    Write(small, UserTextFile(500));
    Write(large, UserTextFile(5000));
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
