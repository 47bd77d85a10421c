// tags/TagValues.h: small helpers for the item values that tag formats keep in memory streams, and for
// item names written upper-cased. Internal to the tag library.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Streams.h"
#include "rtl/System.h"

#include <cstdint>
#include <vector>

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

// A name=value list as the formats store it: each name and each value on a line of its own ended by CR LF,
// the texts turned into bytes by Encode.
template <class TEncode>
rtl::TBytes NameValueLines(const rtl::TStrings& List, TEncode Encode)
{
    rtl::TBytes value;
    auto line = [&](const rtl::String& S) {
        const rtl::TBytes b = Encode(S);
        value.insert(value.end(), b.begin(), b.end());
        value.push_back('\r');
        value.push_back('\n');
    };
    for (int i = 0; i < List.Count(); ++i) {
        line(List.Names(i));
        line(List.ValueFromIndex(i));
    }
    return value;
}

// The lines of a value, each ended by CR LF (a CR without LF is dropped); a last line without an end is
// kept when KeepUnended.
inline std::vector<rtl::TBytes> CrLfLines(const uint8_t* P, int64_t N, bool KeepUnended)
{
    std::vector<rtl::TBytes> lines;
    rtl::TBytes current;
    for (int64_t i = 0; i < N; ++i) {
        if (P[i] != '\r') {
            current.push_back(P[i]);
        } else if (i + 1 < N && P[i + 1] == '\n') {
            lines.push_back(std::move(current));
            current.clear();
            ++i;
        }
    }
    if (KeepUnended && !current.empty()) lines.push_back(std::move(current));
    return lines;
}

} // namespace tags
