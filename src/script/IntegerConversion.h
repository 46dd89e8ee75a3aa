#pragma once

#include <QString>
#include <algorithm>
#include <limits>
#include <optional>

namespace zot {

// The one conversion of a text to a signed 32-bit integer: an optional sign
// and decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X"
// (up to FFFFFFFF, read as the 32-bit pattern). Nothing else may follow.
std::optional<qint32> tryStrToInt(const QString& text);
// As tryStrToInt; throws Error::invalidInteger(text) when it does not convert.
qint32 StrToInt(const QString& text);

// Geometry is computed in 64 bits; results that must fit 32 bits saturate.
inline qint32 saturateToInt32(qint64 v) {
    return qint32(std::clamp<qint64>(v, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

} // namespace zot
