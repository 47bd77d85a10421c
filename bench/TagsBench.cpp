// bench/TagsBench.cpp: reading the tags of 1,000 MP3 files (each with a typical ID3v2.4 tag and a
// 100 KB cover) with the tag library and with TagLib, in the same run on the same files. Prints the
// time per file of each and the ratio; exits with 1 when the tag library is the slower.
// bench-libs: tags tag
#include "rtl/Streams.h"
#include "tags/TagID3v2.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

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

Bytes MakeFile(int Index, std::mt19937& Random)
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
    Append(frames, Frame("TSSE", Text("Lavf59.27.100")));
    Append(frames, Frame("COMM", Text(std::string("eng\0", 4) + "A comment on track " + n)));
    Append(frames, Frame("APIC", apic));
    Bytes file{'I', 'D', '3', 4, 0, 0};
    Append(file, Synchsafe(uint32_t(frames.size() + 1024)));
    Append(file, frames);
    file.resize(file.size() + 1024, 0);
    // 40 MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz
    for (int i = 0; i < 40; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF; frame[1] = 0xFB; frame[2] = 0x90; frame[3] = 0x00;
        Append(file, frame);
    }
    return file;
}

template <typename F> double Seconds(F&& Work)
{
    const auto start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("tw-tags-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::mt19937 random(42);
    std::vector<std::string> files;
    for (int i = 0; i < 1000; ++i) {
        const Bytes data = MakeFile(i, random);
        files.push_back((dir / ("track" + std::to_string(i) + ".mp3")).string());
        std::ofstream(files.back(), std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    }

    size_t checkOurs = 0, checkTagLib = 0;
    auto ours = [&] {
        for (const auto& f : files) {
            tags::TID3v2Tag tag;
            if (tag.LoadFromFile(QString::fromStdString(f)) != 0) std::abort();
            tag.DeCompressAllFrames();
            checkOurs += size_t(tag.GetUnicodeText(QStringLiteral("TIT2")).size());
            checkOurs += size_t(tag.GetUnicodeText(QStringLiteral("TPE1")).size());
            checkOurs += size_t(tag.GetUnicodeText(QStringLiteral("TALB")).size());
            rtl::TMemoryStream picture;
            QString mime, description;
            int type = 0;
            tag.GetUnicodeCoverPictureStream(tag.FrameExists(QStringLiteral("APIC")), picture, mime, description, type);
            checkOurs += size_t(picture.Size()) + size_t(tag.PlayTime() > 0);
        }
    };
    auto taglib = [&] {
        for (const auto& f : files) {
            TagLib::MPEG::File file(f.c_str(), true, TagLib::AudioProperties::Average);
            TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
            if (!tag) std::abort();
            checkTagLib += tag->title().size() + tag->artist().size() + tag->album().size();
            const auto& pictures = tag->frameListMap()["APIC"];
            if (!pictures.isEmpty())
                checkTagLib += static_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front())->picture().size();
            checkTagLib += size_t(file.audioProperties()->lengthInMilliseconds() > 0);
        }
    };

    double bestOurs = 1e9, bestTagLib = 1e9;
    for (int round = 0; round < 5; ++round) {
        bestTagLib = std::min(bestTagLib, Seconds(taglib));
        bestOurs = std::min(bestOurs, Seconds(ours));
    }
    fs::remove_all(dir);
    if (checkOurs / 5 != checkTagLib / 5) std::printf("warning: the two readers saw different data (%zu, %zu)\n", checkOurs, checkTagLib);
    std::printf("1000 MP3 files, ID3v2.4 tag with a 100 KB cover, best of 5 rounds\n");
    std::printf("  tags:   %8.3f ms total, %7.1f us per file\n", bestOurs * 1e3, bestOurs * 1e3);
    std::printf("  TagLib: %8.3f ms total, %7.1f us per file\n", bestTagLib * 1e3, bestTagLib * 1e3);
    std::printf("  ratio tags/TagLib: %.2f (at most 1.00 required)\n", bestOurs / bestTagLib);
    return bestOurs <= bestTagLib ? 0 : 1;
}
