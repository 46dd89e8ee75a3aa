#include "platform/ImageLoader.h"

#include "platform/BmpCodec.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <QFile>
#include <QImageReader>

#include <algorithm>

namespace zot {

namespace {

// A BMP within the size limits is never larger than its pixels, a 1 KiB
// colour table and headers; anything past that cannot matter to the reader.
constexpr qint64 kMaxBmpFileBytes = kMaxPictureBytes + 64 * 1024;
// QImageReader's allocation limit, in MiB.
constexpr int kAllocationLimitMiB = int(kMaxPictureBytes / (1024 * 1024));

Bitmap loadBmp(QFile& file, qint64 byteLimit) {
    const QByteArray data = file.read(std::min(file.size(), kMaxBmpFileBytes));
    std::optional<Bitmap> bitmap = decodeBmp(data, byteLimit);
    return bitmap ? *bitmap : Bitmap();
}

Bitmap loadWithQt(QFile& file, qint64 byteLimit) {
    // Only the formats a design may hold; the format decided by content.
    const QByteArray format = QImageReader::imageFormat(&file).toLower();
    if (format != "png" && format != "gif" && format != "jpeg" && format != "jpg")
        return {};
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(false);
    // Qt decodes to at most 32 bits per pixel. The declared size is checked
    // against what is left before a pixel is decoded; the allocation limit
    // (whole MiB, and 0 would mean none) stops a reader whose picture grows
    // past its declaration.
    const qint64 limit = std::min(byteLimit, kMaxPictureBytes);
    reader.setAllocationLimit(
        int(std::clamp<qint64>(limit / (1024 * 1024), 1, kAllocationLimitMiB)));
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    if (!pictureSizeAllowed(size.width(), size.height(), 32) ||
        qint64(size.width()) * size.height() * 4 > limit)
        return {};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    if (!pictureSizeAllowed(image.width(), image.height(), 32))
        return {};
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) {
        // A two-colour picture stays one bit per pixel (white see-through colour).
        QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
        if (indexed.colorCount() <= 2)
            return Bitmap::fromStorage(std::move(indexed), 1);
        return Bitmap::fromQImage(indexed);
    }
    return Bitmap::fromQImage(image);
}

} // namespace

qint64 pictureBytes(const Bitmap& bitmap) {
    return bitmap.isEmpty() ? 0 : qint64(bitmap.storage().sizeInBytes());
}

Bitmap loadPicture(const QString& path, PictureBudget& budget) {
    try {
        if (!nativeIsFile(path))
            return {};
        QFile file;
        if (!openNativeFile(file, path))
            return {};
        const qint64 limit = budget.remaining();
        Bitmap picture = file.peek(2) == "BM" ? loadBmp(file, limit) : loadWithQt(file, limit);
        if (!budget.take(pictureBytes(picture)))
            return {};
        return picture;
    } catch (...) {
        // Out of memory or a picture past the limits: an empty picture.
        return {};
    }
}

Bitmap loadPicture(const QString& path) {
    PictureBudget budget;
    return loadPicture(path, budget);
}

} // namespace zot
