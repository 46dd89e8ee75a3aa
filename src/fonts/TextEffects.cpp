#include "fonts/TextEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zot {

namespace {

// Divides sums of at most 129 values of 255, rounded to within one, by a
// multiplication in 16 bits, which the compiler does for many columns at
// once.
struct RoundedDivision {
    explicit RoundedDivision(unsigned d) : half(quint16(d / 2)), inverse(quint16(65536u / d)) {}
    uchar operator()(quint16 n) const {
        return uchar((unsigned(quint16(n + half)) * inverse) >> 16);
    }
    quint16 half;
    quint16 inverse;
};

// Three passes of a box of radius r down the columns of a w x h picture
// (rows stride apart), every column at once with a running sum per
// column, so that memory is read in order and many columns go together.
void blurColumns(uchar* bits, qsizetype stride, int w, int h, int r) {
    const RoundedDivision divide(unsigned(2 * r + 1));
    // The last r + 1 rows as they were before their pass wrote them.
    const int ring = r + 1;
    std::vector<uchar> kept(size_t(ring) * size_t(w));
    std::vector<quint16> sums(static_cast<size_t>(w));
    quint16* sum = sums.data();
    for (int pass = 0; pass < 3; ++pass) {
        std::fill(sums.begin(), sums.end(), quint16(0));
        for (int y = 0; y < std::min(r, h); ++y) {
            const uchar* src = bits + y * stride;
            for (int x = 0; x < w; ++x)
                sum[x] = quint16(sum[x] + src[x]);
        }
        for (int y = 0; y < h; ++y) {
            if (y + r < h) {
                const uchar* in = bits + (y + r) * stride;
                for (int x = 0; x < w; ++x)
                    sum[x] = quint16(sum[x] + in[x]);
            }
            uchar* out = bits + y * stride;
            std::memcpy(kept.data() + size_t(y % ring) * size_t(w), out, size_t(w));
            for (int x = 0; x < w; ++x)
                out[x] = divide(sum[x]);
            if (y - r >= 0) {
                const uchar* gone = kept.data() + size_t((y - r) % ring) * size_t(w);
                for (int x = 0; x < w; ++x)
                    sum[x] = quint16(sum[x] - gone[x]);
            }
        }
    }
}

// The picture turned over its diagonal, in tiles that stay in the cache.
void transpose(const uchar* src, qsizetype srcStride, uchar* dst, qsizetype dstStride, int w,
               int h) {
    constexpr int tile = 32;
    for (int y0 = 0; y0 < h; y0 += tile)
        for (int x0 = 0; x0 < w; x0 += tile)
            for (int y = y0; y < std::min(h, y0 + tile); ++y)
                for (int x = x0; x < std::min(w, x0 + tile); ++x)
                    dst[x * dstStride + y] = src[y * srcStride + x];
}

} // namespace

void boxBlur3(QImage& alpha, int r) {
    const int w = alpha.width();
    const int h = alpha.height();
    if (r <= 0 || w <= 0 || h <= 0)
        return;
    // Across, as down the columns of the picture turned over.
    std::vector<uchar> turned(size_t(w) * size_t(h));
    transpose(alpha.constBits(), alpha.bytesPerLine(), turned.data(), h, w, h);
    blurColumns(turned.data(), h, h, w, r);
    transpose(turned.data(), h, alpha.bits(), alpha.bytesPerLine(), h, w);
    blurColumns(alpha.bits(), alpha.bytesPerLine(), w, h, r);
}

void dilate(QImage& alpha, int r) {
    const int w = alpha.width();
    const int h = alpha.height();
    if (r <= 0 || w <= 0 || h <= 0)
        return;
    // The disc row by row: rows dy and -dy reach the same half-width. Each
    // row of the picture is filtered across once per half-width, then the
    // rows are combined down the disc.
    std::vector<int> halves(size_t(r) + 1);
    for (int dy = 0; dy <= r; ++dy)
        halves[size_t(dy)] = int(std::sqrt(double(r) * r - double(dy) * dy));
    std::vector<int> distinct(halves);
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    // across[k] holds every row filtered with half-width distinct[k].
    std::vector<std::vector<uchar>> across(distinct.size());
    const size_t padded = size_t(w) + 2 * size_t(r) + 1;
    std::vector<uchar> line(padded), prefix(padded), suffix(padded);
    for (size_t k = 0; k < distinct.size(); ++k) {
        const int half = distinct[k];
        std::vector<uchar>& rows = across[k];
        rows.resize(size_t(w) * size_t(h));
        const size_t block = size_t(2 * half + 1);
        const size_t n = size_t(w) + 2 * size_t(half);
        for (int y = 0; y < h; ++y) {
            const uchar* in = alpha.constScanLine(y);
            uchar* out = rows.data() + size_t(y) * size_t(w);
            if (half == 0) {
                std::memcpy(out, in, size_t(w));
                continue;
            }
            // Maxima within blocks of the window's length, from both ends,
            // over the row padded clear by a half-width on each side: the
            // window of column x is [x, x + block - 1] of the padded row.
            std::fill(line.begin(), line.begin() + qsizetype(n), uchar(0));
            std::memcpy(line.data() + half, in, size_t(w));
            for (size_t start = 0; start < n; start += block) {
                const size_t end = std::min(n, start + block);
                prefix[start] = line[start];
                for (size_t i = start + 1; i < end; ++i)
                    prefix[i] = std::max(prefix[i - 1], line[i]);
                suffix[end - 1] = line[end - 1];
                for (size_t i = end - 1; i > start; --i)
                    suffix[i - 1] = std::max(suffix[i], line[i - 1]);
            }
            const uchar* s = suffix.data();
            const uchar* p = prefix.data() + block - 1;
            for (int x = 0; x < w; ++x)
                out[x] = std::max(s[x], p[x]);
        }
    }
    std::vector<size_t> which(size_t(r) + 1);
    for (int dy = 0; dy <= r; ++dy)
        which[size_t(dy)] = size_t(std::find(distinct.begin(), distinct.end(), halves[size_t(dy)]) -
                                   distinct.begin());
    for (int y = 0; y < h; ++y) {
        uchar* out = alpha.scanLine(y);
        std::fill(out, out + w, uchar(0));
        for (int dy = -r; dy <= r; ++dy) {
            if (y + dy < 0 || y + dy >= h)
                continue;
            const uchar* in =
                across[which[size_t(std::abs(dy))]].data() + size_t(y + dy) * size_t(w);
            for (int x = 0; x < w; ++x)
                out[x] = std::max(out[x], in[x]);
        }
    }
}

QImage tinted(const QImage& alpha, QRgb colour, int gain) {
    QImage out(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    // Premultiplied values of the colour at every alpha, worked out once.
    QRgb table[256];
    for (int a = 0; a < 256; ++a)
        table[a] = qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour),
                                      std::min(255, a * std::max(gain, 1))));
    const int w = alpha.width();
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* in = alpha.constScanLine(y);
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = table[in[x]];
    }
    return out;
}

} // namespace zot

namespace zot {

QImage tinted(const QImage& alpha, const std::function<QRgb(int row)>& colourOfRow) {
    QImage out(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    const int w = alpha.width();
    QRgb table[256];
    for (int y = 0; y < alpha.height(); ++y) {
        const QRgb colour = colourOfRow(y);
        if (y == 0 || colour != colourOfRow(y - 1)) {
            for (int a = 0; a < 256; ++a)
                table[a] = qPremultiply(qRgba(qRed(colour), qGreen(colour), qBlue(colour), a));
        }
        const uchar* in = alpha.constScanLine(y);
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = table[in[x]];
    }
    return out;
}

} // namespace zot
