// The BMP reader on any bytes; what it reads must survive writing and
// reading again unchanged.
#include "FuzzSupport.h"

#include "imaging/BmpCodec.h"

#include <QImage>
#include <cstdlib>
#include <cstring>

using namespace zot;

namespace {

// Past every size the reader treats differently, and small enough that
// inputs claiming huge pictures stay fast (the budget refuses the rest).
constexpr qint64 kLimit = qint64(256) * 1024;

// Same size, format, colours and pixels; compared row by row, as a
// per-pixel walk over the largest pictures would outlast the time limit.
bool samePixels(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height() ||
        a.bitsPerPixel() != b.bitsPerPixel() || a.isRgb565() != b.isRgb565())
        return false;
    if (a.isEmpty())
        return true;
    const QImage& x = a.storage();
    const QImage& y = b.storage();
    if (x.format() != y.format() || x.colorTable() != y.colorTable())
        return false;
    const size_t rowBytes = (size_t(x.width()) * size_t(x.depth()) + 7) / 8;
    for (int row = 0; row < x.height(); ++row)
        if (std::memcmp(x.constScanLine(row), y.constScanLine(row), rowBytes) != 0)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<Bitmap> first = decodeBmp(fuzz::bytesOf(data, size), kLimit);
    if (!first)
        return 0;
    const std::optional<Bitmap> second = decodeBmp(encodeBmp(*first), kLimit);
    if (!second || !samePixels(*first, *second))
        std::abort();
    return 0;
}
