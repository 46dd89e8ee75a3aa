#pragma once

#include "fonts/TTtfFont.h"

#include <QRect>
#include <QString>
#include <algorithm>
#include <vector>

namespace zot {

// What the last rendering drew over the background, font by font: enough to
// tell which parts of the logo the next one must draw again. It is derived
// from the texts and fonts alone, so it never changes what a rendering gives.
// x, y, w, h clipped to a logo of width by height, without overflow.
inline QRect clippedArea(qint64 x, qint64 y, qint64 w, qint64 h, int width, int height) {
    const qint64 l = std::clamp<qint64>(x, 0, width);
    const qint64 t = std::clamp<qint64>(y, 0, height);
    const qint64 r = std::clamp<qint64>(x + std::max<qint64>(w, 0), 0, width);
    const qint64 b = std::clamp<qint64>(y + std::max<qint64>(h, 0), 0, height);
    return l < r && t < b ? QRect(int(l), int(t), int(r - l), int(b - t)) : QRect();
}

struct DrawnTexts {
    // An image font's line: its picture follows from the text and the
    // CharSpace the rendering started from.
    struct ImageLine {
        QString text;
        qint32 charSpace = 0;
        qint32 x = 0;
        qint32 y = 0;
        QRect area; // the picture's place, clipped to the logo

        bool sameDrawing(const ImageLine& other) const {
            return text == other.text && charSpace == other.charSpace && x == other.x &&
                   y == other.y;
        }
    };

    std::vector<TextPlacement> trueType; // in font order
    std::vector<ImageLine> image;
};

} // namespace zot
