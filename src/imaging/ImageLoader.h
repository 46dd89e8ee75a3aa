#pragma once

#include "imaging/Bitmap.h"
#include "imaging/PictureBudget.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

namespace zot {

// Loads a design's picture: BMP through our own reader, PNG, GIF and JPEG
// through Qt's. Anything it cannot read gives an empty picture; it never fails.
// The picture's memory is taken from budget; one that would cross it is
// refused from its header, before any pixel is decoded, and loads empty.
Bitmap loadPicture(const QString& path, PictureBudget& budget);
// The same; when the file is a PNG with an alpha channel (grey or colour with
// alpha, or a tRNS chunk), alpha also gets its pixels with their alpha, in
// QImage::Format_ARGB32_Premultiplied, taken from the budget as well; else a
// null image. The bitmap is what the one above gives, alpha dropped.
Bitmap loadPicture(const QString& path, PictureBudget& budget, QImage& alpha);
// One picture on its own, within a fresh default budget.
Bitmap loadPicture(const QString& path);

// Whether a PNG file's pixels carry alpha: colour types 4 and 6, or a tRNS
// chunk before the pixels.
bool pngHasAlpha(const QByteArray& png);

// The PNG file without its text chunks (tEXt, zTXt, iTXt), or nothing when it
// has none. Qt decompresses every one of them, megabytes from each few bytes
// of a zTXt chunk, and a logo never shows them.
std::optional<QByteArray> pngWithoutText(const QByteArray& png);

// Bytes a loaded bitmap holds (0 for an empty one).
qint64 pictureBytes(const Bitmap& bitmap);

} // namespace zot
