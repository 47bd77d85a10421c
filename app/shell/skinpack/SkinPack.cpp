// skinpack: packs a skin text into the compressed container the program reads its built-in skins from
// (a 47-byte header, the file's name, no extra field, and a plain zlib payload that is not scrambled).
//   skinpack <skin text> <container>
#include <zlib.h>

#include "base/Container.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: skinpack <skin text> <container>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "skinpack: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<unsigned char> text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    uLongf packedSize = compressBound(uLong(text.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, text.data(), uLong(text.size()), Z_BEST_COMPRESSION) != Z_OK) {
        std::fprintf(stderr, "skinpack: cannot compress %s\n", argv[1]);
        return 1;
    }
    std::string name = argv[1];
    name = name.substr(name.find_last_of('/') + 1);

    base::TContainerHeader h{};
    std::memcpy(h.Magic, "TWSK", 4);
    h.PayloadLength = int64_t(packedSize);
    h.One = 1;
    h.NameLength = uint16_t(name.size());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&h), sizeof h);
    out.write(name.data(), std::streamsize(name.size()));
    out.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packedSize));
    if (!out.flush()) {
        std::fprintf(stderr, "skinpack: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
