// bench/TagLibPeer.cpp: the peer of the tag benchmark, a fresh process that reads with TagLib the tags,
// cover and audio facts of every .mp3 file in a folder, as a user's program would. Prints a checksum
// of what it read, for the benchmark to compare with the tag library's reading.
// bench-libs: tag
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: TagLibPeer <folder>\n");
        return 2;
    }
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        if (entry.path().extension() == ".mp3") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    size_t check = 0;
    for (const auto& f : files) {
        TagLib::MPEG::File file(f.c_str(), true, TagLib::AudioProperties::Average);
        TagLib::ID3v2::Tag* tag = file.ID3v2Tag();
        if (!tag) return 1;
        check += tag->title().size() + tag->artist().size() + tag->album().size();
        const auto& pictures = tag->frameListMap()["APIC"];
        if (!pictures.isEmpty())
            check += static_cast<TagLib::ID3v2::AttachedPictureFrame*>(pictures.front())->picture().size();
        check += size_t(file.audioProperties()->lengthInMilliseconds() > 0);
    }
    std::printf("%zu\n", check);
    return 0;
}
