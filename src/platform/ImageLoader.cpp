#include "platform/ImageLoader.h"

#include "platform/BmpCodec.h"
#include "platform/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace zot {

namespace {

// A BMP within the size limits is never larger than its pixels, a 1 KiB
// colour table and headers; anything past that cannot matter to the reader.
constexpr qint64 kMaxBmpFileBytes = kMaxPictureBytes + 64 * 1024;
// QImageReader's allocation limit, in MiB.
constexpr int kAllocationLimitMiB = int(kMaxPictureBytes / (1024 * 1024));

Bitmap loadBmp(QFile& file) {
    const QByteArray data = file.read(std::min(file.size(), kMaxBmpFileBytes));
    std::optional<Bitmap> bitmap = decodeBmp(data);
    return bitmap ? *bitmap : Bitmap();
}

Bitmap loadWithQt(QFile& file) {
    // Only the formats a design may hold; the format decided by content.
    const QByteArray format = QImageReader::imageFormat(&file).toLower();
    if (format != "png" && format != "gif" && format != "jpeg" && format != "jpg")
        return {};
    QImageReader reader(&file, format);
    reader.setDecideFormatFromContent(false);
    reader.setAllocationLimit(kAllocationLimitMiB);
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAllowed(size.width(), size.height(), 32))
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

Bitmap loadPicture(const QString& path) {
    try {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile())
            return {};
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        if (file.peek(2) == "BM")
            return loadBmp(file);
        return loadWithQt(file);
    } catch (...) {
        // Out of memory or a picture past the limits: an empty picture.
        return {};
    }
}

} // namespace zot
