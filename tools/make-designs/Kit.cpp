#include "Kit.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace mk {

const QString kCharacters = QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789&-!'+@,()$%");

QChar shown(QChar key, bool upper) {
    return upper ? key.toUpper() : key;
}

Cell cellFor(const QRawFont& font, bool upper, int padTop, int padBottom) {
    qreal top = 0, bottom = 0;
    for (QChar key : kCharacters) {
        const QRectF r = glyphOf(font, shown(key, upper)).path.boundingRect();
        if (r.isEmpty())
            continue;
        top = std::min(top, r.top());
        bottom = std::max(bottom, r.bottom());
    }
    Cell c;
    c.baseline = padTop - std::floor(top);
    c.height = int(std::ceil(bottom) - std::floor(top)) + padTop + padBottom;
    c.capHeight = -glyphOf(font, QLatin1Char('H')).path.boundingRect().top();
    return c;
}

// The glyph's outline as a mask of the cell's height, pad pixels of room on
// both sides of the ink; originX receives where the glyph origin went.
Mask glyphMask(const QPainterPath& path, const Cell& cell, int pad, qreal stroke) {
    const QRectF r = path.boundingRect();
    const int w = int(std::ceil(r.width())) + 2 * pad + 2;
    return rasterize(path, w, cell.height, pad + 1 - r.left(), cell.baseline, stroke);
}

// Turns layered art into the character picture, columns x0..x1. Opaque sets
// are laid over the background row they will stand on; transparent sets keep
// pure black for the see-through parts and never use black for ink.
QImage finish(const Canvas& cv, std::pair<int, int> cols, const std::function<Rgb(int)>& rowBg,
              bool transparent, float threshold) {
    const int x0 = cols.first, x1 = cols.second;
    QImage img(x1 - x0 + 1, cv.h, QImage::Format_RGB32);
    for (int y = 0; y < cv.h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const size_t i = size_t(y) * cv.w + x;
            const float a = cv.a[i];
            if (transparent && a < threshold) {
                row[x - x0] = qRgb(0, 0, 0);
                continue;
            }
            QRgb c = toQRgb(mix(rowBg(y), cv.c[i], transparent ? std::min(1.0f, a * 1.15f) : a));
            if (transparent && (c & 0xffffff) == 0)
                c = qRgb(0, 0, 1);
            row[x - x0] = c;
        }
    }
    return img;
}

QImage solidCell(int w, int h, const std::function<Rgb(int)>& rowBg) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, toQRgb(rowBg(y)));
    return img;
}

void writeGlyphs(const QString& dir, const GlyphSet& set, bool png) {
    ensureDir(dir);
    for (const GlyphArt& g : set) {
        if (png) {
            writePng(g.image, dir + QLatin1Char('/') + g.key + QStringLiteral(".png"));
            continue;
        }
        const QString path = dir + QLatin1Char('/') + g.key + QStringLiteral(".bmp");
        if (g.image.format() == QImage::Format_Indexed8 && g.image.colorCount() == 2)
            writeBmp1(g.image, path);
        else
            writeBmp24(g.image, path);
    }
}

// Catalogue thumbnail: the preview scaled to fit 96 x 24 with rounded
// corners in a key colour; the button leaves the bottom-left pixel's colour out.
void writeThumbnail(const QImage& preview, const QString& path) {
    const QImage small = preview.convertToFormat(QImage::Format_RGB32)
                             .scaled(96, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage t = small.convertToFormat(QImage::Format_RGB32);
    const QRgb key = qRgb(255, 0, 255);
    for (int y = 0; y < t.height(); ++y)
        for (int x = 0; x < t.width(); ++x)
            if (t.pixel(x, y) == key)
                t.setPixel(x, y, qRgb(254, 0, 255));
    const int w = t.width(), h = t.height();
    const QPoint corners[] = {{0, 0}, {1, 0}, {0, 1}};
    for (QPoint c : corners) {
        t.setPixel(c.x(), c.y(), key);
        t.setPixel(w - 1 - c.x(), c.y(), key);
        t.setPixel(c.x(), h - 1 - c.y(), key);
        t.setPixel(w - 1 - c.x(), h - 1 - c.y(), key);
    }
    writeBmp24(t, path);
}

void writePreview(const QString& previewDir, const QString& name, const QImage& img) {
    if (previewDir.isEmpty())
        return;
    ensureDir(previewDir);
    writePng(img, previewDir + QLatin1Char('/') + name + QStringLiteral(".png"));
}

QImage imageFrom(int w, int h, const std::function<Rgb(int, int)>& colour) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = toQRgb(colour(x, y));
    }
    return img;
}

QString designDir(const QString& root, const QString& name) {
    const QString dir = root + QLatin1Char('/') + name;
    ensureDir(dir);
    return dir;
}

void shipDejaVu(const QString& dir, const QString& file) {
    copyFile(dejaVu(file), dir + QLatin1Char('/') + file);
    copyFile(QStringLiteral("/usr/share/doc/fonts-dejavu-core/copyright"),
             dir + QStringLiteral("/LICENSE-DejaVu.txt"));
}

// Light from the upper left on a softened mask: 0 (away) .. 1 (facing).
float bevelLight(const Mask& soft, int x, int y) {
    const float nx = (soft.at(x + 1, y) - soft.at(x - 1, y)) * 3.0f;
    const float ny = (soft.at(x, y + 1) - soft.at(x, y - 1)) * 3.0f;
    const float len = std::sqrt(nx * nx + ny * ny + 1.0f);
    const float lx = -0.5f, ly = -0.65f, lz = 0.57f;
    return clamp01((-nx * lx - ny * ly + lz) / len);
}

} // namespace mk
