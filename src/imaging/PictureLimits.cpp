#include "imaging/PictureLimits.h"

#include "platform/Error.h"

namespace zot {

bool pictureSizeAllowed(qint64 width, qint64 height, int bitsPerPixel) {
    if (width < 0 || height < 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return false;
    // Rows are padded to 32 bits, as in a BMP file.
    const qint64 rowBytes = ((width * qMax(bitsPerPixel, 1) + 31) / 32) * 4;
    return rowBytes * height <= kMaxPictureBytes;
}

void checkPictureSize(qint64 width, qint64 height, int bitsPerPixel) {
    if (!pictureSizeAllowed(width, height, bitsPerPixel))
        throw Error::pictureTooLarge(width, height);
}

} // namespace zot
