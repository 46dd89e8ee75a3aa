#include "Raster.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace mk {

Rgb hex(unsigned rgb) {
    return {((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f};
}

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb scale(Rgb c, float f) {
    return {c.r * f, c.g * f, c.b * f};
}
Rgb add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

QRgb toQRgb(Rgb c) {
    auto q = [](float v) { return int(std::lround(clamp01(v) * 255.0f)); };
    return qRgb(q(c.r), q(c.g), q(c.b));
}

Rgb fromQRgb(QRgb c) {
    return {qRed(c) / 255.0f, qGreen(c) / 255.0f, qBlue(c) / 255.0f};
}

Rgb gradient(const std::vector<std::pair<float, Rgb>>& stops, float t) {
    if (t <= stops.front().first)
        return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const float span = stops[i].first - stops[i - 1].first;
            const float f = span > 0 ? (t - stops[i - 1].first) / span : 0.0f;
            return mix(stops[i - 1].second, stops[i].second, f);
        }
    }
    return stops.back().second;
}

static Mask boxPass(const Mask& m, int r, bool horizontal) {
    Mask out(m.w, m.h);
    const float norm = 1.0f / float(2 * r + 1);
    if (horizontal) {
        for (int y = 0; y < m.h; ++y) {
            float sum = 0;
            for (int x = -r; x <= r; ++x)
                sum += m.at(x, y);
            for (int x = 0; x < m.w; ++x) {
                out(x, y) = sum * norm;
                sum += m.at(x + r + 1, y) - m.at(x - r, y);
            }
        }
    } else {
        for (int x = 0; x < m.w; ++x) {
            float sum = 0;
            for (int y = -r; y <= r; ++y)
                sum += m.at(x, y);
            for (int y = 0; y < m.h; ++y) {
                out(x, y) = sum * norm;
                sum += m.at(x, y + r + 1) - m.at(x, y - r);
            }
        }
    }
    return out;
}

Mask blur(const Mask& m, int radius) {
    if (radius <= 0)
        return m;
    const int r = std::max(1, radius / 2);
    Mask out = m;
    for (int i = 0; i < 3; ++i)
        out = boxPass(boxPass(out, r, true), r, false);
    return out;
}

Mask dilate(const Mask& m, int radius) {
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx)
                    if (dx * dx + dy * dy <= radius * radius + radius)
                        best = std::max(best, m.at(x + dx, y + dy));
            out(x, y) = best;
        }
    return out;
}

Mask shifted(const Mask& m, int dx, int dy) {
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            out(x, y) = m.at(x - dx, y - dy);
    return out;
}

static quint32 hash32(quint32 x, quint32 y, quint32 seed) {
    quint32 h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

float noise(int x, int y, int seed) {
    return float(hash32(quint32(x), quint32(y), quint32(seed)) & 0xffffff) / float(0x1000000);
}

float smoothNoise(float x, float y, int seed) {
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = noise(x0, y0, seed), b = noise(x0 + 1, y0, seed);
    const float c = noise(x0, y0 + 1, seed), d = noise(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

float fractalNoise(float x, float y, int seed, int octaves) {
    float sum = 0, amp = 0.5f, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += smoothNoise(x, y, seed + i * 17) * amp;
        total += amp;
        x *= 2;
        y *= 2;
        amp *= 0.5f;
    }
    return sum / total;
}

void Canvas::over(const Mask& m, const std::function<Rgb(int, int)>& colour, float opacity) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float sa = clamp01(m.at(x, y) * opacity);
            if (sa <= 0)
                continue;
            const size_t i = size_t(y) * w + x;
            const float da = a[i];
            const float oa = sa + da * (1 - sa);
            const Rgb s = colour(x, y);
            const Rgb d = c[i];
            c[i] = {(s.r * sa + d.r * da * (1 - sa)) / oa, (s.g * sa + d.g * da * (1 - sa)) / oa,
                    (s.b * sa + d.b * da * (1 - sa)) / oa};
            a[i] = oa;
        }
}

QString dejaVu(const QString& file) {
    return QStringLiteral("/usr/share/fonts/truetype/dejavu/") + file;
}

QRawFont loadFont(const QString& fileName, qreal pixelSize) {
    QRawFont font(fileName, pixelSize, QFont::PreferNoHinting);
    if (!font.isValid()) {
        std::fprintf(stderr, "cannot read font %s\n", qPrintable(fileName));
        std::exit(1);
    }
    return font;
}

Glyph glyphOf(const QRawFont& font, QChar ch) {
    Glyph g;
    const QList<quint32> idx = font.glyphIndexesForString(QString(ch));
    if (idx.isEmpty())
        return g;
    g.path = font.pathForGlyph(idx.front());
    const QList<QPointF> adv = font.advancesForGlyphIndexes(idx);
    g.advance = adv.isEmpty() ? 0 : adv.front().x();
    return g;
}

Mask rasterize(const QPainterPath& path, int w, int h, qreal dx, qreal dy, qreal stroke) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(dx, dy);
        p.fillPath(path, Qt::white);
        if (stroke > 0) {
            QPen pen(Qt::white, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            p.strokePath(path, pen);
        }
    }
    Mask m(w, h);
    for (int y = 0; y < h; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x)
            m(x, y) = qAlpha(row[x]) / 255.0f;
    }
    return m;
}

std::pair<int, int> inkColumns(const Mask& m, float threshold, int margin) {
    int first = m.w, last = -1;
    for (int x = 0; x < m.w; ++x)
        for (int y = 0; y < m.h; ++y)
            if (m.at(x, y) > threshold) {
                first = std::min(first, x);
                last = std::max(last, x);
                break;
            }
    if (last < 0)
        return {0, 0};
    return {std::max(0, first - margin), std::min(m.w - 1, last + margin)};
}

static void put16(QByteArray& b, int v) {
    b.append(char(v & 0xff));
    b.append(char((v >> 8) & 0xff));
}
static void put32(QByteArray& b, qint64 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xff));
}

static QByteArray bmpHeaders(int w, int h, int bpp, const QList<QRgb>& palette) {
    const int stride = ((w * bpp + 31) / 32) * 4;
    const int offset = 14 + 40 + 4 * int(palette.size());
    QByteArray b;
    b.append("BM");
    put32(b, offset + qint64(stride) * h);
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, w);
    put32(b, h);
    put16(b, 1);
    put16(b, bpp);
    put32(b, 0);
    put32(b, qint64(stride) * h);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, palette.size());
    put32(b, 0);
    for (QRgb c : palette) {
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append(char(0));
    }
    return b;
}

static void writeBytes(const QString& path, const QByteArray& data) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

void writeBmp24(const QImage& image, const QString& path) {
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    const int stride = ((img.width() * 24 + 31) / 32) * 4;
    QByteArray b = bmpHeaders(img.width(), img.height(), 24, {});
    for (int y = img.height() - 1; y >= 0; --y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray line(stride, '\0');
        for (int x = 0; x < img.width(); ++x) {
            line[3 * x] = char(qBlue(row[x]));
            line[3 * x + 1] = char(qGreen(row[x]));
            line[3 * x + 2] = char(qRed(row[x]));
        }
        b.append(line);
    }
    writeBytes(path, b);
}

void writeBmp8(const QImage& indexed, const QString& path) {
    const int stride = ((indexed.width() * 8 + 31) / 32) * 4;
    QByteArray b = bmpHeaders(indexed.width(), indexed.height(), 8, indexed.colorTable());
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray line(stride, '\0');
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            line[x] = char(row[x]);
        b.append(line);
    }
    writeBytes(path, b);
}

void writeBmp1(const QImage& indexed, const QString& path) {
    const int stride = ((indexed.width() + 31) / 32) * 4;
    QByteArray b = bmpHeaders(indexed.width(), indexed.height(), 1, indexed.colorTable());
    for (int y = indexed.height() - 1; y >= 0; --y) {
        QByteArray line(stride, '\0');
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x)
            if (row[x])
                line[x / 8] = char(uchar(line[x / 8]) | (0x80 >> (x % 8)));
        b.append(line);
    }
    writeBytes(path, b);
}

void writePng(const QImage& image, const QString& path) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QImage toPalette(const QImage& rgb, const QList<QRgb>& palette) {
    const QImage src = rgb.convertToFormat(QImage::Format_RGB32);
    QImage out(src.width(), src.height(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        uchar* dst = out.scanLine(y);
        for (int x = 0; x < src.width(); ++x) {
            int best = 0, bestDist = INT32_MAX;
            for (int i = 0; i < palette.size(); ++i) {
                const int dr = qRed(row[x]) - qRed(palette[i]);
                const int dg = qGreen(row[x]) - qGreen(palette[i]);
                const int db = qBlue(row[x]) - qBlue(palette[i]);
                const int d = dr * dr * 3 + dg * dg * 4 + db * db * 2;
                if (d < bestDist) {
                    bestDist = d;
                    best = i;
                }
            }
            dst[x] = uchar(best);
        }
    }
    return out;
}

void writeText(const QString& path, const QByteArray& text) {
    writeBytes(path, text);
}

void copyFile(const QString& from, const QString& to) {
    QFile f(from);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(from));
        std::exit(1);
    }
    writeBytes(to, f.readAll());
}

void ensureDir(const QString& path) {
    if (!QDir().mkpath(path)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(1);
    }
}

} // namespace mk
