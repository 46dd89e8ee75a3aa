#include "fonts/TextEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zot {

namespace {

// One pass of a box of radius r along a run of n values spaced by step,
// from src into dst; beyond the run everything is clear.
void boxPass(const uchar* src, uchar* dst, int n, qsizetype step, int r) {
    const unsigned d = unsigned(2 * r + 1);
    unsigned sum = 0;
    for (int i = 0; i < std::min(r, n); ++i)
        sum += src[i * step];
    for (int i = 0; i < n; ++i) {
        if (i + r < n)
            sum += src[(i + r) * step];
        dst[i * step] = uchar((sum + d / 2) / d);
        if (i - r >= 0)
            sum -= src[(i - r) * step];
    }
}

} // namespace

void boxBlur3(QImage& alpha, int r) {
    const int w = alpha.width();
    const int h = alpha.height();
    if (r <= 0 || w <= 0 || h <= 0)
        return;
    const qsizetype stride = alpha.bytesPerLine();
    uchar* bits = alpha.bits();
    // Across: each row through a scratch row and back.
    std::vector<uchar> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        uchar* line = bits + y * stride;
        for (int pass = 0; pass < 3; ++pass) {
            boxPass(line, row.data(), w, 1, r);
            std::memcpy(line, row.data(), size_t(w));
        }
    }
    // Down: every column at once, a row at a time, with a running sum per
    // column, so that memory is read in order.
    const unsigned d = unsigned(2 * r + 1);
    std::vector<uchar> copy(static_cast<size_t>(w) * static_cast<size_t>(h));
    std::vector<unsigned> sums(static_cast<size_t>(w));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y)
            std::memcpy(copy.data() + size_t(y) * size_t(w), bits + y * stride, size_t(w));
        std::fill(sums.begin(), sums.end(), 0u);
        for (int y = 0; y < std::min(r, h); ++y) {
            const uchar* src = copy.data() + size_t(y) * size_t(w);
            for (int x = 0; x < w; ++x)
                sums[size_t(x)] += src[x];
        }
        for (int y = 0; y < h; ++y) {
            if (y + r < h) {
                const uchar* in = copy.data() + size_t(y + r) * size_t(w);
                for (int x = 0; x < w; ++x)
                    sums[size_t(x)] += in[x];
            }
            uchar* out = bits + y * stride;
            for (int x = 0; x < w; ++x)
                out[x] = uchar((sums[size_t(x)] + d / 2) / d);
            if (y - r >= 0) {
                const uchar* gone = copy.data() + size_t(y - r) * size_t(w);
                for (int x = 0; x < w; ++x)
                    sums[size_t(x)] -= gone[x];
            }
        }
    }
}

void dilate(QImage& alpha, int r) {
    const int w = alpha.width();
    const int h = alpha.height();
    if (r <= 0 || w <= 0 || h <= 0)
        return;
    const QImage source = alpha.copy();
    alpha.fill(0);
    // Row by row of the disc: the largest value within a half-width of each
    // column, taken in blocks (prefix and suffix maxima), whatever the width.
    std::vector<uchar> prefix(static_cast<size_t>(w)), suffix(static_cast<size_t>(w));
    for (int dy = -r; dy <= r; ++dy) {
        const int half = int(std::sqrt(double(r) * r - double(dy) * dy));
        const int block = 2 * half + 1;
        for (int y = std::max(0, -dy); y < h && y + dy < h; ++y) {
            const uchar* in = source.constScanLine(y + dy);
            for (int start = 0; start < w; start += block) {
                const int end = std::min(w, start + block);
                prefix[size_t(start)] = in[start];
                for (int x = start + 1; x < end; ++x)
                    prefix[size_t(x)] = std::max(prefix[size_t(x - 1)], in[x]);
                suffix[size_t(end - 1)] = in[end - 1];
                for (int x = end - 2; x >= start; --x)
                    suffix[size_t(x)] = std::max(suffix[size_t(x + 1)], in[x]);
            }
            uchar* out = alpha.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const int lo = std::max(0, x - half);
                const int hi = std::min(w - 1, x + half);
                // [lo, hi] is at most a block long: the end of one block and
                // the start of the next, or within one block from its start
                // or to its end (the picture's edges are blocks' ends).
                const uchar m = lo / block != hi / block
                                    ? std::max(suffix[size_t(lo)], prefix[size_t(hi)])
                                : lo % block == 0 ? prefix[size_t(hi)]
                                                  : suffix[size_t(lo)];
                out[x] = std::max(out[x], m);
            }
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
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar* in = alpha.constScanLine(y);
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            line[x] = table[in[x]];
    }
    return out;
}

} // namespace zot
