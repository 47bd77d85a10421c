// tests/fuzz/ASFFuzz.cpp: arbitrary bytes as an ASF file through the metadata editor: open, read
// every attribute, add one, save, and open again; the saved file must parse and give the added
// attribute back, and the bytes after the header must be those of the input.
// fuzz-libs: tw_wmvcore tw_kernel32
#include "win/wmvcore/wmsdk.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string g_Path;

void ReadAll(IWMHeaderInfo3* Info)
{
    WORD count = 0;
    if (FAILED(Info->GetAttributeCountEx(0, &count))) return;
    for (WORD i = 0; i < count; ++i) {
        WORD nameLen = 0, lang = 0;
        DWORD len = 0;
        WMT_ATTR_DATATYPE type;
        if (FAILED(Info->GetAttributeByIndexEx(0, i, nullptr, &nameLen, &type, &lang, nullptr, &len))) std::abort();
        std::vector<WCHAR> name(nameLen);
        std::vector<BYTE> value(len);
        Info->GetAttributeByIndexEx(0, i, name.data(), &nameLen, &type, &lang, value.data(), &len);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (g_Path.empty()) g_Path = "/tmp/asf-fuzz-" + std::to_string(getpid()) + ".asf";
    FILE* f = std::fopen(g_Path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(Data, 1, Size, f);
    std::fclose(f);
    std::u16string name(g_Path.begin(), g_Path.end());

    IWMMetadataEditor* editor = nullptr;
    IWMHeaderInfo3* info = nullptr;
    WMCreateEditor(&editor);
    editor->QueryInterface(IID_IWMHeaderInfo3, reinterpret_cast<void**>(&info));
    const bool opened = SUCCEEDED(editor->Open(name.c_str()));
    ReadAll(info);
    const BYTE title[] = {'F', 0, 'z', 0, 0, 0};
    WORD index;
    bool saved = false;
    if (opened) {
        WORD count = 0;
        info->GetAttributeCountEx(0, &count);
        if (count > 0) info->DeleteAttribute(0, WORD(count - 1));
        if (FAILED(info->AddAttribute(0, u"WM/FuzzTitle", &index, WMT_TYPE_STRING, 0, title, sizeof title))) std::abort();
        saved = SUCCEEDED(editor->Flush());
    }
    editor->Close();
    if (saved) {
        // The saved header must parse again and hold the added attribute as it was given.
        if (FAILED(editor->Open(name.c_str()))) std::abort();
        WORD count = 0;
        info->GetAttributeCountEx(0, &count);
        bool found = false;
        for (WORD i = 0; i < count && !found; ++i) {
            WCHAR attr[64];
            BYTE value[64];
            WORD nameLen = 64, lang = 0;
            DWORD len = sizeof value;
            WMT_ATTR_DATATYPE type;
            if (SUCCEEDED(info->GetAttributeByIndexEx(0, i, attr, &nameLen, &type, &lang, value, &len)))
                found = std::u16string(attr) == u"WM/FuzzTitle" && len == sizeof title && !std::memcmp(value, title, len);
        }
        if (!found) std::abort();
        editor->Close();
    }
    info->Release();
    editor->Release();
    unlink(g_Path.c_str());
    return 0;
}
