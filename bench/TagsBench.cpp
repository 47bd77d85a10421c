// bench/TagsBench.cpp: the tag library as a user runs it, each run a fresh process over prepared files,
// against peers in the same run:
//   - reading the tags, cover and audio facts of 1,000 MP3 files with a 100 KB cover and of 1,000
//     without, against TagLib (bench/TagLibPeer): at most 1.0x its time for both sets;
//   - writing a tag with a 100 KB cover into 1,000 MP3 files, in place and with a rebuild, against
//     mid3v2: at least as fast;
//   - rebuilding a 1 GB file: peak memory under 64 MB and at most 1.5x the time of cp.
// Prints each figure; exits with 1 when a target is missed. The same program, started with --read,
// --write or --write-file, is the fresh process that does the tag library's part.
// bench-libs: tags
#include "rtl/Streams.h"
#include "tags/TagID3v2.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

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

Bytes Cover(std::mt19937& Random)
{
    Bytes cover(100 * 1024);
    for (auto& b : cover) b = uint8_t(Random());
    cover[0] = 0xFF;
    cover[1] = 0xD8;
    return cover;
}

// 40 MPEG-1 layer III frames of 128 kbit/s at 44.1 kHz.
Bytes Audio()
{
    Bytes audio;
    for (int i = 0; i < 40; ++i) {
        Bytes frame(417, 0);
        frame[0] = 0xFF; frame[1] = 0xFB; frame[2] = 0x90; frame[3] = 0x00;
        Append(audio, frame);
    }
    return audio;
}

Bytes TaggedFile(int Index, const Bytes* Cover)
{
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
    if (Cover) {
        Bytes apic{3};
        for (char c : std::string("image/jpeg")) apic.push_back(uint8_t(c));
        Append(apic, {0, 3});
        for (char c : std::string("Front cover")) apic.push_back(uint8_t(c));
        apic.push_back(0);
        Append(apic, *Cover);
        Append(frames, Frame("APIC", apic));
    }
    Bytes file{'I', 'D', '3', 4, 0, 0};
    Append(file, Synchsafe(uint32_t(frames.size() + 4096)));
    Append(file, frames);
    file.resize(file.size() + 4096, 0);
    Append(file, Audio());
    return file;
}

void WriteBytes(const fs::path& Path, const Bytes& Data)
{
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
}

std::vector<std::string> Mp3Files(const std::string& Folder)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(Folder))
        if (entry.path().extension() == ".mp3") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// ---- the fresh processes -----------------------------------------------------------------------

int ReadFolder(const std::string& Folder)
{
    size_t check = 0;
    for (const auto& f : Mp3Files(Folder)) {
        tags::TID3v2Tag tag;
        if (tag.LoadFromFile(QString::fromStdString(f)) != 0) return 1;
        check += size_t(tag.GetUnicodeText(QStringLiteral("TIT2")).size());
        check += size_t(tag.GetUnicodeText(QStringLiteral("TPE1")).size());
        check += size_t(tag.GetUnicodeText(QStringLiteral("TALB")).size());
        const int apic = tag.FrameExists(QStringLiteral("APIC"));
        if (apic >= 0) {
            rtl::TMemoryStream picture;
            QString mime, description;
            int type = 0;
            tag.GetUnicodeCoverPictureStream(apic, picture, mime, description, type);
            check += size_t(picture.Size());
        }
        check += size_t(tag.PlayTime() > 0);
    }
    std::printf("%zu\n", check);
    return 0;
}

int WriteFiles(const std::vector<std::string>& Files, const std::string& CoverFile)
{
    rtl::TMemoryStream cover;
    if (!CoverFile.empty()) cover.LoadFromFile(QString::fromStdString(CoverFile));
    for (const auto& f : Files) {
        const QString name = QString::fromStdString(f);
        tags::TID3v2Tag tag;
        tag.LoadFromFile(name);
        if (tag.MajorVersion != 4) tag.MajorVersion = 3;
        tag.SetUnicodeText(QStringLiteral("TIT2"), QStringLiteral("A new title"));
        tag.SetUnicodeText(QStringLiteral("TPE1"), QStringLiteral("Another Artist"));
        tag.SetUnicodeText(QStringLiteral("TALB"), QStringLiteral("Another Album"));
        if (!CoverFile.empty()) {
            tag.DeleteAllCoverArts();
            tag.SetUnicodeCoverPictureFromStream(tag.AddFrame(QStringLiteral("APIC")), QStringLiteral("Cover"), cover,
                                                 QStringLiteral("image/jpeg"), 3);
        }
        if (tag.SaveToFile(name) != 0) return 1;
    }
    return 0;
}

// ---- measuring ---------------------------------------------------------------------------------

struct TRun {
    double Seconds = -1;
    long MaxRssKB = 0;
    std::string Out;
};

TRun Run(const std::vector<std::string>& Args)
{
    std::vector<char*> argv;
    for (const auto& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (::pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    TRun r;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(out[0], buffer, sizeof buffer)) > 0) r.Out.append(buffer, size_t(n));
    ::close(out[0]);
    if (spawned != 0) return r;
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) r.Seconds = seconds;
    r.MaxRssKB = usage.ru_maxrss;
    return r;
}

std::string Self() { return fs::read_symlink("/proc/self/exe").string(); }

std::string Peer()
{
    const fs::path beside = fs::path(Self()).parent_path() / "TagLibPeer";
    return beside.string();
}

void CopyFolder(const fs::path& From, const fs::path& To)
{
    fs::remove_all(To);
    fs::copy(From, To);
}

bool Report(const char* What, double Ours, double Peer, double Limit, const char* PeerName, bool LowerIsBetter = true)
{
    const double ratio = Ours / Peer;
    const bool ok = Ours > 0 && Peer > 0 && (LowerIsBetter ? ratio <= Limit : ratio >= Limit);
    std::printf("%-44s tags %9.1f ms   %-7s %9.1f ms   ratio %.2f (at most %.2f)%s\n", What, Ours * 1e3, PeerName,
                Peer * 1e3, ratio, Limit, ok ? "" : "  MISSED");
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--read") == 0) return ReadFolder(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0) return WriteFiles(Mp3Files(argv[2]), argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "--write-file") == 0) return WriteFiles({argv[2]}, {});

    const fs::path dir = fs::temp_directory_path() / ("tw-tags-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir / "covers");
    fs::create_directories(dir / "plain");
    fs::create_directories(dir / "tagless");
    std::mt19937 random(42);
    const Bytes cover = Cover(random);
    WriteBytes(dir / "cover.jpg", cover);
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "track" + std::to_string(1000 + i) + ".mp3";
        WriteBytes(dir / "covers" / name, TaggedFile(i, &cover));
        WriteBytes(dir / "plain" / name, TaggedFile(i, nullptr));
        WriteBytes(dir / "tagless" / name, Audio());
    }
    bool ok = true;

    // Reading: fresh processes, alternately, best of 5.
    for (const char* set : {"covers", "plain"}) {
        double ours = 1e9, peer = 1e9;
        std::string checkOurs, checkPeer;
        for (int round = 0; round < 5; ++round) {
            const TRun p = Run({Peer(), (dir / set).string()});
            const TRun o = Run({Self(), "--read", (dir / set).string()});
            if (p.Seconds < 0 || o.Seconds < 0) {
                std::printf("a reader failed on %s\n", set);
                return 1;
            }
            peer = std::min(peer, p.Seconds);
            ours = std::min(ours, o.Seconds);
            checkOurs = o.Out;
            checkPeer = p.Out;
        }
        if (checkOurs != checkPeer) std::printf("warning: the readers saw different data (%s / %s)\n", checkOurs.c_str(), checkPeer.c_str());
        ok &= Report(set == std::string("covers") ? "read 1000 MP3, 100 KB cover (fresh process)" : "read 1000 MP3, no cover (fresh process)",
                     ours, peer, 1.0, "TagLib");
    }

    // Writing a tag with the cover: into files whose tag has room (in place), and into files without
    // one (a rebuild); each round on fresh copies.
    std::vector<std::string> mid3v2 = {"mid3v2", "-t", "A new title", "-a", "Another Artist", "-A", "Another Album",
                                       "-p", (dir / "cover.jpg").string() + ":Cover:3:image/jpeg"};
    for (const char* set : {"covers", "tagless"}) {
        double ours = 1e9, peer = 1e9;
        for (int round = 0; round < 3; ++round) {
            CopyFolder(dir / set, dir / "work");
            std::vector<std::string> args = mid3v2;
            for (const auto& f : Mp3Files((dir / "work").string())) args.push_back(f);
            const TRun p = Run(args);
            CopyFolder(dir / set, dir / "work");
            const TRun o = Run({Self(), "--write", (dir / "work").string(), (dir / "cover.jpg").string()});
            if (p.Seconds < 0 || o.Seconds < 0) {
                std::printf("a writer failed on %s\n", set);
                return 1;
            }
            peer = std::min(peer, p.Seconds);
            ours = std::min(ours, o.Seconds);
        }
        ok &= Report(set == std::string("covers") ? "write 1000 MP3, 100 KB cover, in place" : "write 1000 MP3, 100 KB cover, rebuild",
                     ours, peer, 1.0, "mid3v2");
    }
    fs::remove_all(dir / "work");

    // A rebuild of 1 GB: memory and time against cp of the same file.
    {
        const fs::path big = dir / "big.mp3";
        {
            std::ofstream out(big, std::ios::binary);
            Bytes block(1 << 20);
            for (size_t i = 0; i < block.size(); ++i) block[i] = uint8_t(i * 31);
            for (int i = 0; i < 1024; ++i) out.write(reinterpret_cast<const char*>(block.data()), std::streamsize(block.size()));
        }
        double ours = 1e9, cp = 1e9;
        long rss = 0;
        for (int round = 0; round < 3; ++round) {
            fs::remove(dir / "copy.mp3");
            const TRun c = Run({"cp", big.string(), (dir / "copy.mp3").string()});
            const TRun o = Run({Self(), "--write-file", (dir / "copy.mp3").string()});
            if (c.Seconds < 0 || o.Seconds < 0) {
                std::printf("the 1 GB rebuild failed\n");
                return 1;
            }
            cp = std::min(cp, c.Seconds);
            ours = std::min(ours, o.Seconds);
            rss = std::max(rss, o.MaxRssKB);
        }
        ok &= Report("rebuild a 1 GB file (against cp of it)", ours, cp, 1.5, "cp");
        const bool rssOk = rss < 64 * 1024;
        std::printf("%-44s peak memory %ld KB (under 65536 KB)%s\n", "rebuild a 1 GB file", rss, rssOk ? "" : "  MISSED");
        ok &= rssOk;
    }
    fs::remove_all(dir);
    return ok ? 0 : 1;
}
