#pragma once

// Logos and lines composed by the program's own engine, so the pictures the
// generator shows are the ones Zotmaker makes.

#include <QImage>
#include <QRgb>
#include <QString>

namespace mk {

// The logo Zotmaker makes of the design folder designsRoot/name with its
// default texts. Exits with a message when the design reports a problem.
QImage programLogo(const QString& designsRoot, const QString& name);

// An image font's line drawn onto dst with its top-left corner at (x, y)
// (x < 0: centred), composed from the character pictures in folder as the
// program composes them. Returns the width of the line.
int drawImgText(QImage& dst, const QString& folder, const QString& text, int x, int y,
                int charSpace, int space, bool transparent);

// The width drawImgText gives the line.
int imgTextWidth(const QString& folder, const QString& text, int charSpace, int space);

// A TrueType line centred on dst at y, as the program paints it: size in
// points at 96 pixels per inch, no kerning.
void drawTtfCentered(QImage& dst, const QString& family, int points, bool bold, QRgb colour,
                     const QString& text, int y);

} // namespace mk
