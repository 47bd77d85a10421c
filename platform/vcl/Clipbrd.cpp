#include "vcl/Clipbrd.h"

#include <cstring>
#include <memory>

namespace vcl {

namespace {

std::unique_ptr<TClipboard>& Instance() {
    static std::unique_ptr<TClipboard> instance;
    return instance;
}

// Closes what Open opened, also when the work in between raises.
class OpenBracket {
public:
    explicit OpenBracket(TClipboard& C) : FClipboard(C) { FClipboard.Open(); }
    ~OpenBracket() { FClipboard.Close(); }

private:
    TClipboard& FClipboard;
};

} // namespace

TClipboard::~TClipboard() {
    if (FOpenRefCount > 0) CloseClipboard();
}

void TClipboard::Open() {
    if (FOpenRefCount == 0) {
        if (!OpenClipboard(nullptr)) throw EClipboardException(QStringLiteral("Cannot open clipboard"));
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close() {
    if (FOpenRefCount == 0) return;
    if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
    const OpenBracket open(*this);
    EmptyClipboard();
}

void TClipboard::Adding() {
    if (FOpenRefCount != 0 && !FEmptied) {
        Clear();
        FEmptied = true;
    }
}

void TClipboard::SetBuffer(UINT Format, const void* Buffer, size_t Size) {
    const OpenBracket open(*this);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, Size);
    if (!data) throw rtl::EOutOfMemory(QStringLiteral("Out of memory"));
    std::memcpy(GlobalLock(data), Buffer, Size);
    GlobalUnlock(data);
    Adding();
    if (!SetClipboardData(Format, data)) GlobalFree(data);
}

rtl::String TClipboard::AsText() {
    const OpenBracket open(*this);
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return {};
    const auto* text = static_cast<const char16_t*>(GlobalLock(data));
    if (!text) return {};
    // Up to the terminator, but never past the block: another program's text may lack one.
    const size_t max = GlobalSize(data) / sizeof(char16_t);
    size_t n = 0;
    while (n < max && text[n]) ++n;
    rtl::String result = rtl::String::fromUtf16(text, static_cast<qsizetype>(n));
    GlobalUnlock(data);
    return result;
}

void TClipboard::SetAsText(const rtl::String& Value) {
    SetBuffer(CF_UNICODETEXT, Value.utf16(), (static_cast<size_t>(Value.size()) + 1) * sizeof(char16_t));
}

bool TClipboard::HasFormat(UINT Format) { return IsClipboardFormatAvailable(Format) != FALSE; }

HANDLE TClipboard::GetAsHandle(UINT Format) {
    const OpenBracket open(*this);
    return GetClipboardData(Format);
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
    const OpenBracket open(*this);
    Adding();
    SetClipboardData(Format, Value);
}

TClipboard* Clipboard() {
    auto& instance = Instance();
    if (!instance) instance = std::make_unique<TClipboard>();
    return instance.get();
}

TClipboard* SetClipboard(TClipboard* NewClipboard) {
    TClipboard* old = Instance().release();
    Instance().reset(NewClipboard);
    return old;
}

} // namespace vcl
