// bench/TagsAPEv2Bench.cpp: saving a changed APEv2 tag of about 2 KB into a 100 MB and a 1 GB file, each
// save in a child process of its own so that its peak memory can be read:
//   - at most 2x the time of writing the same bytes at the file's end with the same syncs;
//   - the 1 GB save at most 1.2x the 100 MB one (the save costs the tag, not the file);
//   - peak memory of the saving process under 64 MB;
// and the front's automatic save of a few fields into a 1 GB WAV output (an ID3v2 chunk and the RIFF
// tags, both written into the file itself where its file system can insert blocks): at most 1.3x the
// time of cp plus sync of the copy.
// Prints each figure; exits with 1 when a target is missed.
// bench-libs: tags
#include "tags/TagAPEv2.h"
#include "tags/Tags.h"

#include "BenchSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using bench_support::InChild;

QString Q(const fs::path& Path) { return QString::fromStdString(Path.string()); }

// A tag of about 2 KB: 20 items of 100 bytes; Round changes every value.
bool SaveTag(const fs::path& File, int Round)
{
    tags::TAPEv2Tag tag;
    if (tag.LoadFromFile(Q(File)) > 1) return false;
    tag.DeleteAllFrames();
    for (int i = 0; i < 20; ++i)
        tag.AddFrame(QStringLiteral("Item %1").arg(i))->SetAsText(QString(100, QChar(u'a' + (Round + i) % 26)));
    return tag.SaveToFile(Q(File)) == tags::APEV2LIBRARY_SUCCESS;
}

// The baseline: the same number of bytes written where the tag stands, flushed and cut the same way.
bool WriteEnd(const fs::path& File, size_t Bytes)
{
    const int fd = ::open(File.c_str(), O_RDWR);
    if (fd < 0) return false;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const std::vector<char> data(Bytes, 'x');
    const bool ok = ::pwrite(fd, data.data(), data.size(), size - off_t(Bytes)) == ssize_t(Bytes) && ::fdatasync(fd) == 0
                    && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A file of Size bytes of audio (written, so that its blocks exist) with a tag behind it.
bool MakeFile(const fs::path& File, uint64_t Size)
{
    const int fd = ::open(File.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return false;
    std::vector<char> block(1 << 20, 0x33);
    bool ok = true;
    for (uint64_t done = 0; ok && done < Size; done += block.size()) ok = ::write(fd, block.data(), block.size()) == ssize_t(block.size());
    ok = ::fsync(fd) == 0 && ok;
    ::close(fd);
    return ok && SaveTag(File, 0);
}

// A 1 GB WAV of 16-bit stereo silence, as an encoder leaves it.
bool MakeWav(const fs::path& File)
{
    const uint32_t data = 1u << 30;
    std::vector<uint8_t> head(44, 0);
    auto le = [&](size_t At, uint32_t V, int N) { for (int i = 0; i < N; ++i) head[At + size_t(i)] = uint8_t(V >> (8 * i)); };
    std::memcpy(head.data(), "RIFF", 4); le(4, 36 + data, 4); std::memcpy(head.data() + 8, "WAVEfmt ", 8);
    le(16, 16, 4); le(20, 1, 2); le(22, 2, 2); le(24, 44100, 4); le(28, 176400, 4); le(32, 4, 2); le(34, 16, 2);
    std::memcpy(head.data() + 36, "data", 4); le(40, data, 4);
    const int fd = ::open(File.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (fd < 0) return false;
    bool ok = ::write(fd, head.data(), head.size()) == ssize_t(head.size());
    std::vector<char> block(1 << 20, 0);
    for (uint64_t done = 0; ok && done < data; done += block.size()) ok = ::write(fd, block.data(), block.size()) == ssize_t(block.size());
    ok = ::fsync(fd) == 0 && ok;
    ::close(fd);
    return ok;
}

bool SaveFront(const fs::path& File)
{
    tags::TTags front;
    for (const char* name : {"ARTIST", "TITLE", "ALBUM", "GENRE", "COMMENT"}) front.Add(QString::fromLatin1(name))->Value = QStringLiteral("A value");
    front.Add(QStringLiteral("TRACKNUMBER"))->Value = QStringLiteral("3");
    return front.SaveToFile(Q(File), tags::ttAutomatic) == tags::trcSuccess;
}

} // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("tw-apev2-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    bool ok = true;
    double saveSeconds[2] = {};
    const uint64_t sizes[2] = {100ull << 20, 1ull << 30};
    for (int i = 0; i < 2 && ok; ++i) {
        const fs::path file = dir / ("audio-" + std::to_string(i) + ".wv");
        if (!MakeFile(file, sizes[i])) {
            std::fprintf(stderr, "cannot make %s\n", file.c_str());
            ok = false;
            break;
        }
        const size_t tagBytes = size_t(fs::file_size(file) - sizes[i]);
        double best = 0, bestBase = 0, memory = 0;
        for (int round = 1; round <= 9; ++round) {
            double seconds = 0, mb = 0, base = 0, baseMb = 0;
            if (!InChild([&] { return SaveTag(file, round); }, seconds, mb)
                || !InChild([&] { return WriteEnd(file, tagBytes); }, base, baseMb)) {
                ok = false;
                break;
            }
            best = best == 0 ? seconds : std::min(best, seconds);
            bestBase = bestBase == 0 ? base : std::min(bestBase, base);
            memory = std::max(memory, mb);
        }
        saveSeconds[i] = best;
        std::printf("%-50s %8.4f s (write at the end: %.4f s, %.2fx; peak %.1f MB)\n",
                    i == 0 ? "APEv2 save into 100 MB" : "APEv2 save into 1 GB", best, bestBase, best / bestBase, memory);
        ok = ok && best <= 2.0 * bestBase && memory < 64;
    }
    if (ok) {
        std::printf("%-50s %8.2fx (at most 1.2x)\n", "1 GB save / 100 MB save", saveSeconds[1] / saveSeconds[0]);
        ok = saveSeconds[1] <= 1.2 * saveSeconds[0];
    }
    {
        const fs::path wav = dir / "output.wav", copy = dir / "copy.wav";
        double best = 0, bestCopy = 0, memory = 0;
        bool made = true;
        for (int round = 0; round < 3 && made; ++round) {
            made = MakeWav(wav);
            double seconds = 0, mb = 0, copySeconds = 0, copyMb = 0;
            made = made && InChild([&] { return SaveFront(wav); }, seconds, mb);
            made = made && InChild([&] {
                fs::remove(copy);
                return std::system(("cp '" + wav.string() + "' '" + copy.string() + "' && sync '" + copy.string() + "'").c_str()) == 0;
            }, copySeconds, copyMb);
            best = best == 0 ? seconds : std::min(best, seconds);
            bestCopy = bestCopy == 0 ? copySeconds : std::min(bestCopy, copySeconds);
            memory = std::max(memory, mb);
        }
        if (made)
            std::printf("%-50s %8.3f s (cp + sync: %.3f s, %.2fx, at most 1.3x; peak %.1f MB)\n", "automatic save into a 1 GB WAV",
                        best, bestCopy, best / bestCopy, memory);
        ok = ok && made && best <= 1.3 * bestCopy && memory < 64;
    }
    fs::remove_all(dir);
    std::printf("%s\n", ok ? "all targets met" : "a target was missed");
    return ok ? 0 : 1;
}
