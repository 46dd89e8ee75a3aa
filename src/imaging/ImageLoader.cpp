#include "imaging/ImageLoader.h"

#include "imaging/BmpCodec.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace zot {

namespace {

// A BMP within the size limits is never larger than its pixels, a 1 KiB
// colour table and headers; anything past that cannot matter to the reader.
constexpr qint64 kMaxBmpFileBytes = kMaxPictureBytes + 64 * 1024;
// PNG, GIF and JPEG hold their pixels compressed, with a byte per row and a
// few bytes per chunk or block on top at worst; a larger file holds something
// else (Qt keeps a JPEG's comments, however many).
constexpr qint64 kMaxQtFileBytes = kMaxPictureBytes + 4 * 1024 * 1024;
// QImageReader's allocation limit, in MiB.
constexpr int kAllocationLimitMiB = int(kMaxPictureBytes / (1024 * 1024));

Bitmap loadBmp(QFile& file, qint64 byteLimit) {
    // Refused from its header before the file is read: a design may hold many
    // large files that the budget has no room for.
    const std::optional<qint64> needed = bmpStorageBytes(file.peek(kBmpHeadBytes));
    if (!needed || *needed > byteLimit)
        return {};
    const QByteArray data = file.read(std::min(file.size(), kMaxBmpFileBytes));
    std::optional<Bitmap> bitmap = decodeBmp(data, byteLimit);
    return bitmap ? *bitmap : Bitmap();
}

bool sizeFits(QSize size, qint64 limit) {
    return size.isValid() && pictureSizeAllowed(size.width(), size.height(), 32) &&
           qint64(size.width()) * size.height() * 4 <= limit;
}

Bitmap decodeWithQt(QIODevice& device, const QByteArray& format, qint64 byteLimit,
                    QImage* alpha = nullptr) {
    QImageReader reader(&device, format);
    reader.setDecideFormatFromContent(false);
    // Qt decodes to at most 32 bits per pixel. The declared size is checked
    // against what is left before a pixel is decoded; the allocation limit
    // (whole MiB, and 0 would mean none) stops a reader whose picture grows
    // past its declaration.
    const qint64 limit = std::min(byteLimit, kMaxPictureBytes);
    reader.setAllocationLimit(
        int(std::clamp<qint64>(limit / (1024 * 1024), 1, kAllocationLimitMiB)));
    if (!sizeFits(reader.size(), limit))
        return {};
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return {};
    if (!pictureSizeAllowed(image.width(), image.height(), 32))
        return {};
    if (alpha)
        *alpha = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) {
        // A two-colour picture stays one bit per pixel (white see-through colour).
        QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
        if (indexed.colorCount() <= 2)
            return Bitmap::fromStorage(std::move(indexed), 1);
        return Bitmap::fromQImage(indexed);
    }
    return Bitmap::fromQImage(image);
}

Bitmap loadPng(QFile& file, qint64 byteLimit, QImage* alpha) {
    // The size in IHDR, checked before Qt reads a byte: Qt reads every chunk
    // ahead of the pixels to tell the size.
    const QByteArray head = file.peek(24);
    if (head.size() < 24 || head.mid(12, 4) != "IHDR")
        return {};
    const quint32 width = qFromBigEndian<quint32>(head.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(head.constData() + 20);
    if (width > quint32(kMaxPictureSide) || height > quint32(kMaxPictureSide) ||
        !sizeFits(QSize(int(width), int(height)), std::min(byteLimit, kMaxPictureBytes)))
        return {};
    QByteArray bytes = file.readAll();
    if (const std::optional<QByteArray> stripped = pngWithoutText(bytes))
        bytes = *stripped;
    if (alpha && !pngHasAlpha(bytes))
        alpha = nullptr;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // Room for the bitmap and its picture with alpha, each of 4 bytes a pixel.
    return decodeWithQt(buffer, "png", alpha ? byteLimit / 2 : byteLimit, alpha);
}

Bitmap loadWithQt(QFile& file, qint64 byteLimit, QImage* alpha) {
    // Only the formats a design may hold; the format decided by content.
    if (file.size() > kMaxQtFileBytes)
        return {};
    const QByteArray format = QImageReader::imageFormat(&file).toLower();
    if (format == "png")
        return loadPng(file, byteLimit, alpha);
    if (format != "gif" && format != "jpeg" && format != "jpg")
        return {};
    return decodeWithQt(file, format, byteLimit);
}

} // namespace

bool pngHasAlpha(const QByteArray& png) {
    constexpr qint64 kFirstChunk = 8;
    const char* p = png.constData();
    const qint64 size = png.size();
    if (size < 26 || std::memcmp(p + kFirstChunk + 4, "IHDR", 4))
        return false;
    const quint8 colourType = quint8(p[25]);
    if (colourType == 4 || colourType == 6)
        return true;
    // Chunk lengths come from the file; every step moves on by at least 12.
    qint64 pos = kFirstChunk;
    while (pos + 8 <= size) {
        const qint64 length = qFromBigEndian<quint32>(p + pos);
        if (!std::memcmp(p + pos + 4, "tRNS", 4))
            return true;
        if (!std::memcmp(p + pos + 4, "IDAT", 4) || !std::memcmp(p + pos + 4, "IEND", 4))
            return false;
        pos += 12 + length;
    }
    return false;
}

std::optional<QByteArray> pngWithoutText(const QByteArray& png) {
    constexpr qint64 kSignature = 8;
    const auto isText = [](const char* type) {
        return !std::memcmp(type, "tEXt", 4) || !std::memcmp(type, "zTXt", 4) ||
               !std::memcmp(type, "iTXt", 4);
    };
    const char* p = png.constData();
    const qint64 size = png.size();
    // Where each text chunk starts and ends; chunk lengths come from the file.
    std::vector<std::pair<qint64, qint64>> text;
    qint64 pos = kSignature;
    while (pos + 8 <= size) {
        const qint64 length = qFromBigEndian<quint32>(p + pos);
        const qint64 end = std::min(size, pos + 12 + length);
        if (isText(p + pos + 4))
            text.emplace_back(pos, end);
        if (!std::memcmp(p + pos + 4, "IEND", 4))
            break;
        pos = end;
    }
    if (text.empty())
        return std::nullopt;
    QByteArray kept;
    kept.reserve(size);
    qint64 from = 0;
    for (const auto& [start, end] : text) {
        kept.append(p + from, start - from);
        from = end;
    }
    kept.append(p + from, size - from);
    return kept;
}

qint64 pictureBytes(const Bitmap& bitmap) {
    return bitmap.isEmpty() ? 0 : qint64(bitmap.storage().sizeInBytes());
}

namespace {

Bitmap load(const QString& path, PictureBudget& budget, QImage* alpha) {
    try {
        if (!nativeIsFile(path))
            return {};
        QFile file;
        if (!openNativeFile(file, path))
            return {};
        const qint64 limit = budget.remaining();
        Bitmap picture =
            file.peek(2) == "BM" ? loadBmp(file, limit) : loadWithQt(file, limit, alpha);
        const qint64 alphaBytes = alpha && !picture.isEmpty() ? alpha->sizeInBytes() : 0;
        if (!budget.take(pictureBytes(picture) + alphaBytes)) {
            if (alpha)
                *alpha = QImage();
            return {};
        }
        if (alpha && picture.isEmpty())
            *alpha = QImage();
        return picture;
    } catch (...) {
        // Out of memory or a picture past the limits: an empty picture.
        if (alpha)
            *alpha = QImage();
        return {};
    }
}

} // namespace

Bitmap loadPicture(const QString& path, PictureBudget& budget) {
    return load(path, budget, nullptr);
}

Bitmap loadPicture(const QString& path, PictureBudget& budget, QImage& alpha) {
    alpha = QImage();
    return load(path, budget, &alpha);
}

Bitmap loadPicture(const QString& path) {
    PictureBudget budget;
    return loadPicture(path, budget);
}

} // namespace zot
