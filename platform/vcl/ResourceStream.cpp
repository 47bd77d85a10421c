#include "vcl/ResourceStream.h"

namespace vcl {

TResourceStream::TResourceStream(HINSTANCE Instance, const rtl::String& ResName, LPCWSTR ResType) {
    Initialize(Instance, reinterpret_cast<LPCWSTR>(ResName.utf16()), ResType);
}

TResourceStream::TResourceStream(HINSTANCE Instance, LPCWSTR ResName, LPCWSTR ResType) {
    Initialize(Instance, ResName, ResType);
}

TResourceStream* TResourceStream::CreateFromID(HINSTANCE Instance, int ResID, LPCWSTR ResType) {
    return new TResourceStream(Instance, MAKEINTRESOURCEW(ResID), ResType);
}

void TResourceStream::Initialize(HINSTANCE Instance, LPCWSTR Name, LPCWSTR ResType) {
    HRSRC info = FindResourceW(Instance, Name, ResType);
    HGLOBAL data = info ? LoadResource(Instance, info) : nullptr;
    if (!data) {
        const rtl::String shown = IS_INTRESOURCE(Name)
                                      ? QStringLiteral("#%1").arg(reinterpret_cast<ULONG_PTR>(Name))
                                      : QString::fromUtf16(Name);
        throw EResNotFound(QStringLiteral("Resource %1 not found").arg(shown));
    }
    // The table's bytes live as long as the process; the stream only reads them.
    SetPointer(LockResource(data), SizeofResource(Instance, info));
}

int64_t TResourceStream::Write(const void*, int64_t) {
    throw rtl::EStreamError(QStringLiteral("Can't write to a read-only resource stream"));
}

} // namespace vcl
