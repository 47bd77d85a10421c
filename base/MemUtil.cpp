// base/MemUtil.cpp
#include "base/MemUtil.h"

namespace base {

bool HexUpper = false;

QByteArray BufferToHex(const void* Buffer, size_t Count) {
    if (!Buffer || Count == 0) return {};
    const char* Digits = HexUpper ? "0123456789ABCDEF" : "0123456789abcdef";
    auto* P = static_cast<const unsigned char*>(Buffer);
    QByteArray Result(qsizetype(Count * 2), Qt::Uninitialized);
    for (size_t i = 0; i < Count; ++i) {
        Result[qsizetype(2 * i)] = Digits[P[i] >> 4];
        Result[qsizetype(2 * i + 1)] = Digits[P[i] & 15];
    }
    return Result;
}

} // namespace base
