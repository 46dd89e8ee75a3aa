#pragma once

#include "imaging/Bitmap.h"

#include <QByteArray>
#include <QImage>

namespace zot {

// The bitmap as a PNG file into out (its memory is reused), holding the
// pixels Bitmap::pixel gives: paletted bitmaps as a palette of the same
// depth (1, 4 or 8 bits), the others as 8-bit RGB. An empty bitmap has no
// PNG form: out is left empty.
// Throws Error::pictureTooLarge for a picture past the limits of a logo.
void encodePngInto(const Bitmap& bitmap, QByteArray& out);

// Any image: RGBA where it has an alpha channel, an 8-bit palette for
// Format_Indexed8, RGB otherwise.
void encodePngInto(const QImage& image, QByteArray& out);

} // namespace zot
