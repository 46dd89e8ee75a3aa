#pragma once

#include <QImage>
#include <QRgb>
#include <functional>

namespace zot {

// Blurs an 8-bit alpha picture (QImage::Format_Alpha8) in place: a box of
// radius r across, then down, three times over, which comes close to a
// Gaussian reaching 3 r. Pixels beyond the edges count as clear. Time grows
// with the picture's size only, whatever r.
void boxBlur3(QImage& alpha, int r);

// Grows what an 8-bit alpha picture covers by r pixels in every direction
// (a disc): each pixel takes the largest alpha within r of it.
void dilate(QImage& alpha, int r);

// The alpha picture as a premultiplied picture of one colour (its alpha
// taken as well), alpha multiplied by gain (at most 255).
QImage tinted(const QImage& alpha, QRgb colour, int gain = 1);
// The same with a colour for each row.
QImage tinted(const QImage& alpha, const std::function<QRgb(int row)>& colourOfRow);

} // namespace zot
