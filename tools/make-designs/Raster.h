#pragma once

// Small raster toolkit for the design generator: grey masks, float colours,
// deterministic noise, glyph outlines from DejaVu, and BMP/PNG writers.

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRawFont>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

namespace mk {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb hex(unsigned rgb); // 0xRRGGBB
Rgb mix(Rgb a, Rgb b, float t);
Rgb scale(Rgb c, float f);
Rgb add(Rgb a, Rgb b);
QRgb toQRgb(Rgb c);
Rgb fromQRgb(QRgb c);
float clamp01(float v);

// Colour along stops given as (position 0..1, colour), positions ascending.
Rgb gradient(const std::vector<std::pair<float, Rgb>>& stops, float t);

// Coverage mask, 0..1 per pixel.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int width, int height) : w(width), h(height), v(size_t(width) * height, 0.0f) {}
    float at(int x, int y) const {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[size_t(y) * w + x];
    }
    float& operator()(int x, int y) { return v[size_t(y) * w + x]; }
};

Mask blur(const Mask& m, int radius);   // three box passes, close to a Gaussian
Mask dilate(const Mask& m, int radius); // round structuring element
Mask shifted(const Mask& m, int dx, int dy);

// Hash-based noise: the same numbers on every run and machine.
float noise(int x, int y, int seed);           // 0..1, per pixel
float smoothNoise(float x, float y, int seed); // 0..1, bilinear value noise
float fractalNoise(float x, float y, int seed, int octaves);

// An RGB picture with straight alpha, for layering effects.
struct Canvas {
    int w = 0, h = 0;
    std::vector<Rgb> c;
    std::vector<float> a;
    Canvas(int width, int height)
        : w(width), h(height), c(size_t(width) * height), a(size_t(width) * height, 0.0f) {}
    // Paints colour(x, y) through coverage m (same size) at the given opacity.
    void over(const Mask& m, const std::function<Rgb(int, int)>& colour, float opacity = 1.0f);
};

// A font file read directly, so the output does not depend on the font setup.
QRawFont loadFont(const QString& fileName, qreal pixelSize);
QString dejaVu(const QString& file); // full path of a DejaVu font file

// Glyph outline of one character, with its advance width.
struct Glyph {
    QPainterPath path; // baseline at y = 0, origin at x = 0
    qreal advance = 0;
};
Glyph glyphOf(const QRawFont& font, QChar ch);

// Fills (and optionally strokes) a path into a mask of the given size, offset by (dx, dy).
Mask rasterize(const QPainterPath& path, int w, int h, qreal dx, qreal dy, qreal stroke = 0);

// Crop range of columns whose coverage exceeds the threshold, widened by margin.
std::pair<int, int> inkColumns(const Mask& m, float threshold, int margin);

// BMP files in the exact bit depth asked for, bottom-up, uncompressed.
void writeBmp24(const QImage& image, const QString& path);
void writeBmp8(const QImage& indexed, const QString& path); // Format_Indexed8
void writeBmp1(const QImage& indexed, const QString& path); // 2-entry colour table
void writePng(const QImage& image, const QString& path);

// Nearest-colour conversion of an RGB picture to a given palette (no dithering).
QImage toPalette(const QImage& rgb, const QList<QRgb>& palette);

void writeText(const QString& path, const QByteArray& text);
void copyFile(const QString& from, const QString& to);
void ensureDir(const QString& path);

} // namespace mk
