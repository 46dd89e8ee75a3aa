#pragma once

#include "platform/Bitmap.h"

#include <QString>

namespace zot {

// Loads a design's picture: BMP through our own reader, PNG, GIF and JPEG
// through Qt's. Anything it cannot read gives an empty picture; it never fails.
Bitmap loadPicture(const QString& path);

} // namespace zot
