#pragma once

#include "imaging/Bitmap.h"
#include "imaging/PictureLimits.h"
#include "platform/Error.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zot {

// Reads a Windows BMP file: core (OS/2 1.x), info, V4 and V5 headers; 1, 4, 8,
// 16, 24 and 32 bits per pixel; RLE4, RLE8 and bitfields; bottom-up and
// top-down rows. Gives nothing for anything it cannot read, including
// pictures past the size limits of Error.h; never reads out of bounds.
// A picture whose pixels would take more than byteLimit bytes is refused from
// its header, before anything is allocated.
std::optional<Bitmap> decodeBmp(const QByteArray& data, qint64 byteLimit = kMaxPictureBytes);
// How many bytes decodeBmp would hold for the picture whose file starts with
// head (kBmpHeadBytes are enough), or nothing when its headers are unreadable
// or past the size limits: a picture can be refused before its file is read.
std::optional<qint64> bmpStorageBytes(const QByteArray& head);
inline constexpr qint64 kBmpHeadBytes = 14 + 124 + 16;

// The bitmap as a BMP file in its own pixel format: BITMAPINFOHEADER, colour
// table for paletted formats, 5-6-5 bitfields for 16-bit 5-6-5 pictures.
QByteArray encodeBmp(const Bitmap& bitmap);
// The same into out, reusing its memory: a batch keeps one buffer.
void encodeBmpInto(const Bitmap& bitmap, QByteArray& out);

// Writes encodeBmp(bitmap) to path, replacing an existing file.
// Throws Error::cannotCreateFile(path) when the file cannot be written.
void writeBmpFile(const Bitmap& bitmap, const QString& path);

} // namespace zot
