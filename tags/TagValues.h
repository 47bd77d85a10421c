// tags/TagValues.h: small helpers for the item values that tag formats keep in memory streams, and for
// item names written upper-cased. Internal to the tag library.
#pragma once
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <cstdint>

namespace tags {

// ASCII letters only: names are compared and written without regard to the locale.
inline rtl::String UpperAscii(rtl::String S)
{
    for (auto& c : S)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - 32);
    return S;
}

inline const uint8_t* Bytes(const rtl::TMemoryStream& S) { return static_cast<const uint8_t*>(S.Memory()); }
inline int64_t SizeOf(const rtl::TMemoryStream& S) { return const_cast<rtl::TMemoryStream&>(S).Size(); }

// The stream holds exactly Value afterwards, positioned at its start.
inline void ReplaceValue(rtl::TMemoryStream& S, const rtl::TBytes& Value)
{
    S.Clear();
    if (!Value.empty()) S.WriteBuffer(Value.data(), int64_t(Value.size()));
    S.SetPosition(0);
}

} // namespace tags
