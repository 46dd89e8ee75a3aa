#pragma once

#include "imaging/Bitmap.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace zot {

// The glyph a thumbnail gives a button of buttonSize: the part the button
// shows (centred, clipped by its edges), with the colour of the picture's
// bottom-left pixel see-through.
QImage thumbnailGlyph(const Bitmap& thumbnail, QSize buttonSize);

// Reads a thumbnail file and makes its glyph. Throws Error "Cannot open file
// %s" or "Bitmap image is not valid". Something that is not a regular file
// gives no glyph, as a folder without a thumbnail has none.
QImage loadThumbnailGlyph(const QString& path, QSize buttonSize);

} // namespace zot
