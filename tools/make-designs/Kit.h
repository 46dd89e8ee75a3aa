#pragma once

// What every design of the generator draws with: character sets cut from a
// font's outlines, the finishing of layered art into character pictures, and
// the writing of thumbnails, previews and design folders.

#include "Raster.h"

#include <QImage>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace mk {

// Characters every image font draws. File names are the characters
// themselves; "." can never be one, nor the characters Windows forbids.
extern const QString kCharacters;

struct GlyphArt {
    QChar key;    // the character the file name gives
    QImage image; // RGB32, or Indexed8 with two colours for 1-bit sets
};
using GlyphSet = std::vector<GlyphArt>;

struct Cell {
    int height = 0;
    qreal baseline = 0;  // y of the baseline inside the cell
    qreal capHeight = 0; // height of "H"
};

QChar shown(QChar key, bool upper);
Cell cellFor(const QRawFont& font, bool upper, int padTop, int padBottom);

// The glyph's outline as a mask of the cell's height, pad pixels of room on
// both sides of the ink.
Mask glyphMask(const QPainterPath& path, const Cell& cell, int pad, qreal stroke);

// Turns layered art into the character picture, columns cols. Opaque sets
// are laid over the background row they will stand on; transparent sets keep
// pure black for the see-through parts and never use black for ink.
QImage finish(const Canvas& cv, std::pair<int, int> cols, const std::function<Rgb(int)>& rowBg,
              bool transparent, float threshold);
QImage solidCell(int w, int h, const std::function<Rgb(int)>& rowBg);
// BMP files, or PNG files (smaller for large pictures).
void writeGlyphs(const QString& dir, const GlyphSet& set, bool png = false);

// Catalogue thumbnail: the preview scaled to fit 96 x 24 with rounded
// corners in a key colour; the button leaves the bottom-left pixel's colour out.
void writeThumbnail(const QImage& preview, const QString& path);
void writePreview(const QString& previewDir, const QString& name, const QImage& img);

QImage imageFrom(int w, int h, const std::function<Rgb(int, int)>& colour);
QString designDir(const QString& root, const QString& name);
void shipDejaVu(const QString& dir, const QString& file);

// Light from the upper left on a softened mask: 0 (away) .. 1 (facing).
float bevelLight(const Mask& soft, int x, int y);

} // namespace mk
