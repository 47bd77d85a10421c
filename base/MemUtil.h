// base/MemUtil.h: hexadecimal output of memory.
#pragma once
#include <QByteArray>
#include <cstddef>

namespace base {

// Letter case of BufferToHex; lower case unless changed.
extern bool HexUpper;

// Two hexadecimal digits per byte; empty for an absent buffer.
QByteArray BufferToHex(const void* Buffer, size_t Count);

} // namespace base
