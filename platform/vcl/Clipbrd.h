// vcl/Clipbrd.h: the clipboard object over user32's clipboard (text in CF_UNICODETEXT; other formats
// as handles).
#pragma once
#include "rtl/Classes.h"
#include "rtl/System.h"
#include "win/windows.h"

namespace vcl {

// Opening the clipboard while another holds it.
class EClipboardException : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EClipboardException"); }
};

class TClipboard : public rtl::TPersistent {
public:
    TClipboard() = default;
    ~TClipboard() override;

    // Nested: only the outermost Open and Close reach the system. The first thing put on the
    // clipboard inside a bracket empties it, so the formats written together stay together.
    // Raises EClipboardException "Cannot open clipboard" when another holds it.
    void Open();
    void Close();
    void Clear();

    // The text on the clipboard (empty when it holds none); setting it replaces everything there.
    rtl::String AsText();
    void SetAsText(const rtl::String& Value);
    bool HasFormat(UINT Format);
    // A global memory block in Format, owned by the clipboard; 0 when absent.
    HANDLE GetAsHandle(UINT Format);
    // Hands Value (a global memory block) over to the clipboard.
    void SetAsHandle(UINT Format, HANDLE Value);

private:
    void Adding();
    void SetBuffer(UINT Format, const void* Buffer, size_t Size);

    int FOpenRefCount = 0;
    bool FEmptied = false;
};

// The program's clipboard object, made on first use.
TClipboard* Clipboard();
// Replaces it (tests); returns the one it replaced, which the caller now owns.
TClipboard* SetClipboard(TClipboard* NewClipboard);

} // namespace vcl
