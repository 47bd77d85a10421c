// A stand-in for the media-analysis library, for the binding's tests. It "analyses" a text file of
// answers, one per line:
//     K|N|Parameter=Value     what MediaInfo_Get gives for stream kind K, stream number N
//     inform=Text             what MediaInfo_Inform gives ("\n" in Text is a line break)
// A file whose first line is "unopenable", or that cannot be read, fails to open.
// Variants (compile definitions): FAKE_OMIT_GET leaves out MediaInfo_Get, FAKE_OMIT_ANSI leaves out the
// ten 8-bit-text exports. FakeMediaInfo_Stats reports how often each call was made.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <tuple>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Counters {
    int News = 0, Deletes = 0, Closes = 0, Opens = 0, Options = 0, Gets = 0;
} Stats;
std::string LastOption;

struct FakeFile {
    std::map<std::tuple<int, size_t, std::wstring>, std::wstring> Answers;
    std::wstring Inform;
    std::wstring Result; // the text of the last answer, overwritten by the next call
    bool Open = false;
};

std::string ToUtf8(const wchar_t* W) {
    std::string Out;
    for (; W && *W; ++W) {
        const unsigned long C = static_cast<unsigned long>(*W);
        if (C < 0x80) {
            Out += char(C);
        } else if (C < 0x800) {
            Out += char(0xC0 | (C >> 6));
            Out += char(0x80 | (C & 0x3F));
        } else if (C < 0x10000) {
            Out += char(0xE0 | (C >> 12));
            Out += char(0x80 | ((C >> 6) & 0x3F));
            Out += char(0x80 | (C & 0x3F));
        } else {
            Out += char(0xF0 | (C >> 18));
            Out += char(0x80 | ((C >> 12) & 0x3F));
            Out += char(0x80 | ((C >> 6) & 0x3F));
            Out += char(0x80 | (C & 0x3F));
        }
    }
    return Out;
}

std::wstring FromUtf8(const std::string& S) {
    std::wstring Out;
    for (size_t i = 0; i < S.size();) {
        const unsigned char B = static_cast<unsigned char>(S[i]);
        int Extra = B < 0x80 ? 0 : B >= 0xF0 ? 3 : B >= 0xE0 ? 2 : 1;
        unsigned long C = Extra == 0 ? B : Extra == 1 ? (B & 0x1F) : Extra == 2 ? (B & 0x0F) : (B & 0x07);
        ++i;
        for (; Extra > 0 && i < S.size(); --Extra, ++i)
            C = (C << 6) | (static_cast<unsigned char>(S[i]) & 0x3F);
        Out += wchar_t(C);
    }
    return Out;
}

const wchar_t* Answer(FakeFile* F, const std::wstring& Text) {
    for (wchar_t& C : F->Result) C = L'#'; // a caller still reading the old answer sees garbage
    F->Result = Text;
    return F->Result.c_str();
}

} // namespace

FAKE_EXPORT void* MediaInfo_New() {
    ++Stats.News;
    return new FakeFile;
}

FAKE_EXPORT void MediaInfo_Delete(void* Handle) {
    ++Stats.Deletes;
    delete static_cast<FakeFile*>(Handle);
}

FAKE_EXPORT size_t MediaInfo_Open(void* Handle, const wchar_t* File) {
    ++Stats.Opens;
    auto* F = static_cast<FakeFile*>(Handle);
    FILE* In = std::fopen(ToUtf8(File).c_str(), "rb");
    if (!In) return 0;
    std::string Line;
    bool First = true;
    int Ch = 0;
    auto take = [&] {
        if (First && Line == "unopenable")
            F->Open = false;
        else if (Line.rfind("inform=", 0) == 0) {
            std::string T = Line.substr(7);
            for (size_t p; (p = T.find("\\n")) != std::string::npos;) T.replace(p, 2, "\n");
            F->Inform = FromUtf8(T);
        } else {
            const size_t A = Line.find('|'), B = A == std::string::npos ? A : Line.find('|', A + 1);
            const size_t Eq = B == std::string::npos ? B : Line.find('=', B + 1);
            if (Eq != std::string::npos)
                F->Answers[{std::atoi(Line.substr(0, A).c_str()),
                            std::strtoul(Line.substr(A + 1, B - A - 1).c_str(), nullptr, 10),
                            FromUtf8(Line.substr(B + 1, Eq - B - 1))}] = FromUtf8(Line.substr(Eq + 1));
        }
        First = false;
        Line.clear();
    };
    F->Open = true;
    while ((Ch = std::fgetc(In)) != EOF) {
        if (Ch == '\n')
            take();
        else if (Ch != '\r')
            Line += char(Ch);
    }
    if (!Line.empty()) take();
    std::fclose(In);
    return F->Open ? 1 : 0;
}

FAKE_EXPORT void MediaInfo_Close(void* Handle) {
    ++Stats.Closes;
    static_cast<FakeFile*>(Handle)->Open = false;
}

FAKE_EXPORT const wchar_t* MediaInfo_Inform(void* Handle, size_t) {
    auto* F = static_cast<FakeFile*>(Handle);
    return Answer(F, F->Inform);
}

FAKE_EXPORT const wchar_t* MediaInfo_GetI(void* Handle, int, size_t, size_t, int) {
    return Answer(static_cast<FakeFile*>(Handle), L"");
}

#ifndef FAKE_OMIT_GET
FAKE_EXPORT const wchar_t* MediaInfo_Get(void* Handle, int StreamKind, size_t StreamNumber,
                                         const wchar_t* Parameter, int KindOfInfo, int KindOfSearch) {
    ++Stats.Gets;
    auto* F = static_cast<FakeFile*>(Handle);
    if (!F->Open || KindOfInfo != 1 || KindOfSearch != 0) return Answer(F, L"");
    const auto It = F->Answers.find({StreamKind, StreamNumber, Parameter ? Parameter : L""});
    return Answer(F, It == F->Answers.end() ? L"" : It->second);
}
#endif

FAKE_EXPORT const wchar_t* MediaInfo_Option(void* Handle, const wchar_t* Option, const wchar_t* Value) {
    ++Stats.Options;
    LastOption = (Handle ? "handle:" : "null:") + ToUtf8(Option) + "=" + ToUtf8(Value);
    static std::wstring Empty;
    return Empty.c_str();
}

FAKE_EXPORT size_t MediaInfo_State_Get(void*) {
    return 0;
}
FAKE_EXPORT size_t MediaInfo_Count_Get(void*, int, size_t) {
    return 0;
}

#ifndef FAKE_OMIT_ANSI
FAKE_EXPORT void* MediaInfoA_New() {
    return nullptr;
}
FAKE_EXPORT void MediaInfoA_Delete(void*) {}
FAKE_EXPORT size_t MediaInfoA_Open(void*, const char*) {
    return 0;
}
FAKE_EXPORT void MediaInfoA_Close(void*) {}
FAKE_EXPORT const char* MediaInfoA_Inform(void*, size_t) {
    return "";
}
FAKE_EXPORT const char* MediaInfoA_GetI(void*, int, size_t, size_t, int) {
    return "";
}
FAKE_EXPORT const char* MediaInfoA_Get(void*, int, size_t, const char*, int, int) {
    return "";
}
FAKE_EXPORT const char* MediaInfoA_Option(void*, const char*, const char*) {
    return "";
}
FAKE_EXPORT size_t MediaInfoA_State_Get(void*) {
    return 0;
}
FAKE_EXPORT size_t MediaInfoA_Count_Get(void*, int, size_t) {
    return 0;
}
#endif

// Counts of New, Delete, Close, Open, Option and Get calls, then zeroes them.
FAKE_EXPORT void FakeMediaInfo_Stats(int* Out) {
    Out[0] = Stats.News;
    Out[1] = Stats.Deletes;
    Out[2] = Stats.Closes;
    Out[3] = Stats.Opens;
    Out[4] = Stats.Options;
    Out[5] = Stats.Gets;
    Stats = Counters();
}

FAKE_EXPORT const char* FakeMediaInfo_LastOption() {
    return LastOption.c_str();
}
