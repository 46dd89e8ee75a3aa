#pragma once

#include <QIcon>
#include <QPixmap>

namespace zot {

// An icon from small pixel pictures that stays sharp at any device pixel
// ratio: besides the pictures themselves it holds copies at 2x and 3x whose
// every pixel is a block of the original's (never a blurred scaling).
QIcon crispIcon(const QPixmap& enabled, const QPixmap& disabled);

// picture at scale times its size, each pixel a scale x scale block, marked
// with that device pixel ratio so it covers the same logical size.
QPixmap scaledCrisp(const QPixmap& picture, int scale);

} // namespace zot
