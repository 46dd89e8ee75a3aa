#pragma once

#include <QtGlobal>

namespace zot {

// Largest picture the program allocates; anything larger is refused.
inline constexpr int kMaxPictureSide = 32767;
inline constexpr qint64 kMaxPictureBytes = qint64(256) * 1024 * 1024;

// True when a width x height picture at bitsPerPixel fits the limits above.
bool pictureSizeAllowed(qint64 width, qint64 height, int bitsPerPixel);
// Throws Error::pictureTooLarge unless pictureSizeAllowed.
void checkPictureSize(qint64 width, qint64 height, int bitsPerPixel);

} // namespace zot
