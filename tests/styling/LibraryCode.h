// tests/styling/LibraryCode.h: where the code of a loaded library lies and where its functions start,
// for comparing the decoder with its peers over the bytes a patch takes.
#pragma once
#include <elf.h>
#include <link.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace styling_test {

struct Library {
    std::string Path;
    uintptr_t Base = 0;
    uintptr_t TextStart = 0, TextEnd = 0;
};

inline int FindLibrary(dl_phdr_info* Info, size_t, void* Data) {
    auto* lib = static_cast<Library*>(Data);
    if (!std::strstr(Info->dlpi_name, lib->Path.c_str())) return 0;
    lib->Path = Info->dlpi_name;
    lib->Base = Info->dlpi_addr;
    for (int k = 0; k < Info->dlpi_phnum; ++k) {
        const auto& ph = Info->dlpi_phdr[k];
        if (ph.p_type == PT_LOAD && (ph.p_flags & PF_X)) {
            lib->TextStart = Info->dlpi_addr + ph.p_vaddr;
            lib->TextEnd = lib->TextStart + ph.p_memsz;
        }
    }
    return 1;
}

// The run-time addresses of the library's function symbols that lie in its code.
inline std::set<uintptr_t> FunctionsOf(const Library& Lib) {
    std::ifstream in(Lib.Path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<uintptr_t> out;
    if (file.size() < sizeof(Elf64_Ehdr)) return out;
    Elf64_Ehdr eh;
    std::memcpy(&eh, file.data(), sizeof eh);
    for (int s = 0; s < eh.e_shnum; ++s) {
        Elf64_Shdr sh;
        std::memcpy(&sh, file.data() + eh.e_shoff + size_t(s) * eh.e_shentsize, sizeof sh);
        if (sh.sh_type != SHT_DYNSYM && sh.sh_type != SHT_SYMTAB) continue;
        for (size_t at = sh.sh_offset; at + sizeof(Elf64_Sym) <= sh.sh_offset + sh.sh_size; at += sizeof(Elf64_Sym)) {
            Elf64_Sym sym;
            std::memcpy(&sym, file.data() + at, sizeof sym);
            const uintptr_t a = Lib.Base + sym.st_value;
            if (ELF64_ST_TYPE(sym.st_info) == STT_FUNC && sym.st_shndx != SHN_UNDEF && sym.st_value &&
                a >= Lib.TextStart && a + 64 + 32 <= Lib.TextEnd)
                out.insert(a);
        }
    }
    return out;
}

} // namespace styling_test
