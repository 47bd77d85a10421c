// vcl/ResourceStream.h: the program's module handle and a read-only stream over a resource.
//
// It sits in the class library rather than in rtl because it reads the kernel's resource table, and
// rtl does not link the Win32 stand-in.
#pragma once
#include "rtl/Streams.h"
#include "rtl/System.h"
#include "win/windows.h"

namespace vcl {

// The module whose resources the program means by default: its own. Initialised before anything
// that follows the include in a translation unit, so static initialisers may use it.
inline const HINSTANCE HInstance = GetModuleHandleW(nullptr);
inline const HINSTANCE MainInstance = HInstance;

class EResNotFound : public rtl::Exception {
public:
    using rtl::Exception::Exception;
    rtl::String ClassName() const override { return QStringLiteral("EResNotFound"); }
};

// The bytes of one resource, read in place; writing raises EStreamError.
class TResourceStream : public rtl::TCustomMemoryStream {
public:
    // Raise EResNotFound ("Resource NAME not found") when the module lacks the resource.
    TResourceStream(HINSTANCE Instance, const rtl::String& ResName, LPCWSTR ResType);
    TResourceStream(HINSTANCE Instance, LPCWSTR ResName, LPCWSTR ResType);
    static TResourceStream* CreateFromID(HINSTANCE Instance, int ResID, LPCWSTR ResType);

    int64_t Write(const void* Buffer, int64_t Count) override;
    using rtl::TCustomMemoryStream::Write;

private:
    void Initialize(HINSTANCE Instance, LPCWSTR Name, LPCWSTR ResType);
};

} // namespace vcl
