#include "imaging/Bitmap.h"

#include "imaging/PictureLimits.h"
#include "platform/Error.h"

#include <QHash>
#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN,
              "Bitmap storage access assumes a little-endian host");

namespace zot {

namespace detail {
// Shared by a bitmap and its copies, without a lock: a bitmap and its copies
// stay on the thread that made them.
struct NearestCache {
    QHash<QRgb, int> map;
};
} // namespace detail

namespace {

enum class Kind { Indexed, Rgb555, Rgb565, Rgb32 };

constexpr QRgb kOpaque = 0xff000000u;
constexpr QRgb kRgbMask = 0x00ffffffu;
constexpr QRgb kWhite = 0xffffffffu;
// Past this many cached colours the nearest-entry cache starts afresh.
constexpr qsizetype kMaxCachedColours = 1 << 16;

int normalizeBpp(int bpp) {
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    if (bpp <= 16)
        return 16;
    if (bpp <= 24)
        return 24;
    return 32;
}

// Bits per pixel of the QImage that holds a picture of bpp bits per pixel.
int storageBits(int bpp) {
    if (bpp <= 8)
        return 8;
    return bpp == 16 ? 16 : 32;
}

QImage::Format storageFormat(int bpp, bool rgb565) {
    if (bpp <= 8)
        return QImage::Format_Indexed8;
    if (bpp == 16)
        return rgb565 ? QImage::Format_RGB16 : QImage::Format_RGB555;
    return QImage::Format_RGB32;
}

Kind kindOf(int bpp, bool rgb565) {
    if (bpp <= 8)
        return Kind::Indexed;
    if (bpp == 16)
        return rgb565 ? Kind::Rgb565 : Kind::Rgb555;
    return Kind::Rgb32;
}

inline QRgb from555(quint16 v) {
    const uint r = (v >> 10) & 0x1f, g = (v >> 5) & 0x1f, b = v & 0x1f;
    return kOpaque | (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) |
           ((b << 3) | (b >> 2));
}

inline QRgb from565(quint16 v) {
    const uint r = (v >> 11) & 0x1f, g = (v >> 5) & 0x3f, b = v & 0x1f;
    return kOpaque | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) |
           ((b << 3) | (b >> 2));
}

inline quint16 to555(QRgb c) {
    return quint16(((c >> 9) & 0x7c00) | ((c >> 6) & 0x03e0) | ((c >> 3) & 0x001f));
}

inline quint16 to565(QRgb c) {
    return quint16(((c >> 8) & 0xf800) | ((c >> 5) & 0x07e0) | ((c >> 3) & 0x001f));
}

QList<QRgb> defaultPalette(int bpp) {
    if (bpp <= 1)
        return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    // The 16 colours of the Windows VGA palette, in their usual order.
    QList<QRgb> pal = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    if (bpp <= 4)
        return pal;
    // 8 bits: the VGA colours, a 6 x 6 x 6 colour cube and 24 greys.
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                pal.append(qRgb(r * 51, g * 51, b * 51));
    for (int i = 1; i <= 24; ++i) {
        const int v = i * 255 / 25;
        pal.append(qRgb(v, v, v));
    }
    return pal;
}

int nearestInPalette(const QList<QRgb>& palette, QRgb colour) {
    const int r = qRed(colour), g = qGreen(colour), b = qBlue(colour);
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - r, dg = qGreen(palette[i]) - g,
                  db = qBlue(palette[i]) - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    return best;
}

// Maps colours to nearest palette entries for the length of one operation.
class NearestMapper {
  public:
    NearestMapper(const QList<QRgb>& palette, detail::NearestCache* cache)
        : palette_(palette), cache_(cache) {}
    int operator()(QRgb colour) {
        colour |= kOpaque;
        if (colour == last_ && lastIndex_ >= 0)
            return lastIndex_;
        // A small table in front of the shared cache: antialiased text
        // edges ask for the same few hundred colours over and over.
        Recent& recent = recent_[(colour * 0x9e3779b1u) >> (32 - kRecentBits)];
        if (recent.colour == colour) {
            last_ = colour;
            lastIndex_ = recent.index;
            return recent.index;
        }
        int index;
        if (cache_) {
            auto it = cache_->map.constFind(colour);
            if (it != cache_->map.constEnd()) {
                index = it.value();
            } else {
                index = nearestInPalette(palette_, colour);
                if (cache_->map.size() >= kMaxCachedColours)
                    cache_->map.clear();
                cache_->map.insert(colour, index);
            }
        } else {
            index = nearestInPalette(palette_, colour);
        }
        last_ = colour;
        lastIndex_ = index;
        recent = {colour, index};
        return index;
    }

  private:
    static constexpr int kRecentBits = 9;
    struct Recent {
        QRgb colour = 0; // never an asked colour: those are opaque
        int index = 0;
    };
    std::array<Recent, 1 << kRecentBits> recent_{};
    const QList<QRgb>& palette_;
    detail::NearestCache* cache_;
    QRgb last_ = 0;
    int lastIndex_ = -1;
};

// Copies a w x h block pixel by pixel, converting with conv and, when
// Transparent, leaving out the pixels for which skip is true.
template <typename S, typename D, bool Transparent, typename Conv, typename Skip>
void blitRows(const uchar* src, qsizetype srcStride, uchar* dst, qsizetype dstStride, int w, int h,
              Conv conv, Skip skip) {
    for (int row = 0; row < h; ++row) {
        const S* s = reinterpret_cast<const S*>(src + row * srcStride);
        D* d = reinterpret_cast<D*>(dst + row * dstStride);
        if constexpr (!Transparent) {
            for (int i = 0; i < w; ++i)
                d[i] = conv(s[i]);
        } else if constexpr (std::is_same_v<D, uchar> && !std::is_same_v<S, uchar>) {
            // Conversion to palette entries is costly: only for drawn pixels.
            for (int i = 0; i < w; ++i) {
                const S v = s[i];
                if (!skip(v))
                    d[i] = conv(v);
            }
        } else {
            // Branch-free, so that the compiler can vectorise it.
            for (int i = 0; i < w; ++i) {
                const S v = s[i];
                const D old = d[i];
                d[i] = skip(v) ? old : conv(v);
            }
        }
    }
}

template <typename S, typename D, typename Conv, typename Skip>
void blit(bool transparent, const uchar* src, qsizetype srcStride, uchar* dst, qsizetype dstStride,
          int w, int h, Conv conv, Skip skip) {
    if (transparent)
        blitRows<S, D, true>(src, srcStride, dst, dstStride, w, h, conv, skip);
    else
        blitRows<S, D, false>(src, srcStride, dst, dstStride, w, h, conv, skip);
}

// Source pixels of type S converted to QRgb by toRgb, written to any
// destination kind.
template <typename S, typename ToRgb, typename Skip>
void blitFromTrueColour(Kind dstKind, bool transparent, const uchar* src, qsizetype srcStride,
                        uchar* dst, qsizetype dstStride, int w, int h, ToRgb toRgb, Skip skip,
                        const QList<QRgb>& dstPalette, detail::NearestCache* cache) {
    switch (dstKind) {
    case Kind::Rgb32:
        blit<S, quint32>(
            transparent, src, srcStride, dst, dstStride, w, h,
            [&](S v) { return quint32(toRgb(v)); }, skip);
        break;
    case Kind::Rgb555:
        blit<S, quint16>(
            transparent, src, srcStride, dst, dstStride, w, h, [&](S v) { return to555(toRgb(v)); },
            skip);
        break;
    case Kind::Rgb565:
        blit<S, quint16>(
            transparent, src, srcStride, dst, dstStride, w, h, [&](S v) { return to565(toRgb(v)); },
            skip);
        break;
    case Kind::Indexed: {
        NearestMapper mapper(dstPalette, cache);
        blit<S, uchar>(
            transparent, src, srcStride, dst, dstStride, w, h,
            [&](S v) { return uchar(mapper(toRgb(v))); }, skip);
        break;
    }
    }
}

// The common case of a true-colour text picture drawn onto a true-colour
// logo with its see-through colour left out.
void blitTransparent32(const uchar* src, qsizetype srcStride, uchar* dst, qsizetype dstStride,
                       int w, int h, QRgb key) {
    for (int row = 0; row < h; ++row) {
        const quint32* s = reinterpret_cast<const quint32*>(src + row * srcStride);
        quint32* d = reinterpret_cast<quint32*>(dst + row * dstStride);
        int i = 0;
#if defined(__SSE2__)
        const __m128i rgbMask = _mm_set1_epi32(int(kRgbMask));
        const __m128i keys = _mm_set1_epi32(int(key));
        const __m128i opaque = _mm_set1_epi32(int(kOpaque));
        for (; i + 4 <= w; i += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
            const __m128i see = _mm_cmpeq_epi32(_mm_and_si128(v, rgbMask), keys);
            const __m128i drawn = _mm_or_si128(v, opaque);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                             _mm_or_si128(_mm_and_si128(see, old), _mm_andnot_si128(see, drawn)));
        }
#endif
        for (; i < w; ++i) {
            if ((s[i] & kRgbMask) != key)
                d[i] = s[i] | kOpaque;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------

void Bitmap::initPalette(const QList<QRgb>& palette) {
    palette_.clear();
    nearest_.reset();
    if (bpp_ > 8)
        return;
    const qsizetype maxEntries = qsizetype(1) << bpp_;
    QList<QRgb> pal = palette.isEmpty() ? defaultPalette(bpp_) : palette;
    if (pal.size() > maxEntries)
        pal.resize(maxEntries);
    for (QRgb& c : pal)
        c |= kOpaque;
    palette_ = pal;
    nearest_ = std::make_shared<detail::NearestCache>();
}

Bitmap Bitmap::create(int width, int height, int bitsPerPixel, const QList<QRgb>& palette,
                      bool rgb565) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    Bitmap b;
    b.bpp_ = normalizeBpp(bitsPerPixel);
    b.rgb565_ = rgb565 && b.bpp_ == 16;
    checkPictureSize(width, height, storageBits(b.bpp_));
    b.initPalette(palette);
    b.width_ = width;
    b.height_ = height;
    if (width > 0 && height > 0) {
        b.image_ = QImage(width, height, storageFormat(b.bpp_, b.rgb565_));
        if (b.image_.isNull())
            throw Error::pictureTooLarge(width, height);
        if (b.isPaletted())
            b.image_.setColorTable(b.palette_);
        if (b.bpp_ > 16)
            b.image_.fill(kOpaque);
        else
            std::memset(b.image_.bits(), 0, size_t(b.image_.sizeInBytes()));
    }
    return b;
}

Bitmap Bitmap::fromStorage(QImage storage, int bitsPerPixel, bool rgb565) {
    Bitmap b;
    b.bpp_ = normalizeBpp(bitsPerPixel);
    b.rgb565_ = rgb565 && b.bpp_ == 16;
    if (storage.isNull()) {
        b.initPalette({});
        return b;
    }
    const QImage::Format format = storageFormat(b.bpp_, b.rgb565_);
    if (storage.format() != format)
        storage = storage.convertToFormat(format);
    if (storage.isNull()) {
        b.initPalette({});
        return b;
    }
    if (b.isPaletted()) {
        QList<QRgb> pal = storage.colorTable();
        while (pal.size() > (qsizetype(1) << b.bpp_) && b.bpp_ < 8)
            b.bpp_ = b.bpp_ == 1 ? 4 : 8;
        if (pal.isEmpty())
            pal = defaultPalette(b.bpp_);
        // Every index must have an entry: missing ones are black.
        int maxIndex = 0;
        const int width = storage.width();
        const int height = storage.height();
        for (int y = 0; y < height && maxIndex < 255 && width > 0; ++y) {
            const uchar* line = storage.constScanLine(y);
            maxIndex = std::max<int>(maxIndex, *std::max_element(line, line + width));
        }
        if (maxIndex >= pal.size()) {
            while (maxIndex >= (1 << b.bpp_))
                b.bpp_ = b.bpp_ == 1 ? 4 : 8;
            pal.resize(maxIndex + 1, qRgb(0, 0, 0));
        }
        b.initPalette(pal);
        if (storage.colorTable() != b.palette_)
            storage.setColorTable(b.palette_);
    }
    b.width_ = storage.width();
    b.height_ = storage.height();
    b.image_ = std::move(storage);
    return b;
}

Bitmap Bitmap::fromQImage(const QImage& image) {
    if (image.isNull()) {
        Bitmap b;
        b.bpp_ = 24;
        return b;
    }
    switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return fromStorage(image.convertToFormat(QImage::Format_Indexed8), 8);
    default:
        return fromStorage(image.convertToFormat(QImage::Format_RGB32), 24);
    }
}

QRgb Bitmap::transparentColor() const {
    if (bpp_ == 1)
        return kWhite;
    return pixel(0, height_ - 1);
}

QRgb Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || image_.isNull())
        return 0;
    const uchar* line = image_.constScanLine(y);
    switch (kindOf(bpp_, rgb565_)) {
    case Kind::Indexed: {
        const int index = line[x];
        return index < palette_.size() ? palette_[index] : kOpaque;
    }
    case Kind::Rgb555:
        return from555(reinterpret_cast<const quint16*>(line)[x]);
    case Kind::Rgb565:
        return from565(reinterpret_cast<const quint16*>(line)[x]);
    case Kind::Rgb32:
        return reinterpret_cast<const quint32*>(line)[x] | kOpaque;
    }
    return 0;
}

void Bitmap::setPixel(int x, int y, QRgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || image_.isNull())
        return;
    ensureDetached();
    uchar* line = image_.scanLine(y);
    switch (kindOf(bpp_, rgb565_)) {
    case Kind::Indexed:
        line[x] = uchar(nearestIndex(colour));
        break;
    case Kind::Rgb555:
        reinterpret_cast<quint16*>(line)[x] = to555(colour);
        break;
    case Kind::Rgb565:
        reinterpret_cast<quint16*>(line)[x] = to565(colour);
        break;
    case Kind::Rgb32:
        reinterpret_cast<quint32*>(line)[x] = colour | kOpaque;
        break;
    }
}

void Bitmap::fill(QRgb colour) {
    if (image_.isNull())
        return;
    ensureDetached();
    switch (kindOf(bpp_, rgb565_)) {
    case Kind::Indexed:
        image_.fill(uint(nearestIndex(colour)));
        break;
    case Kind::Rgb555:
    case Kind::Rgb565: {
        const quint16 v = rgb565_ ? to565(colour) : to555(colour);
        for (int y = 0; y < height_; ++y)
            std::fill_n(reinterpret_cast<quint16*>(image_.scanLine(y)), width_, v);
        break;
    }
    case Kind::Rgb32:
        image_.fill(uint(colour | kOpaque));
        break;
    }
}

void Bitmap::setWidth(int width) {
    width = std::max(width, 0);
    if (width == width_)
        return;
    checkPictureSize(width, height_, storageBits(bpp_));
    if (width == 0 || height_ == 0) {
        width_ = width;
        image_ = QImage();
        return;
    }
    QImage wider(width, height_, storageFormat(bpp_, rgb565_));
    if (wider.isNull())
        throw Error::pictureTooLarge(width, height_);
    const Kind kind = kindOf(bpp_, rgb565_);
    if (kind == Kind::Indexed)
        wider.setColorTable(palette_);
    const int keep = image_.isNull() ? 0 : std::min(width, width_);
    const int bytesPerPixel = storageBits(bpp_) / 8;
    const uchar whiteIndex = kind == Kind::Indexed ? uchar(nearestIndex(kWhite)) : 0;
    uchar* bits = wider.bits();
    const qsizetype stride = wider.bytesPerLine();
    for (int y = 0; y < height_; ++y) {
        uchar* line = bits + y * stride;
        if (keep > 0)
            std::memcpy(line, image_.constScanLine(y), size_t(keep) * bytesPerPixel);
        switch (kind) {
        case Kind::Indexed:
            std::memset(line + keep, whiteIndex, size_t(width - keep));
            break;
        case Kind::Rgb555:
            std::fill(reinterpret_cast<quint16*>(line) + keep,
                      reinterpret_cast<quint16*>(line) + width, to555(kWhite));
            break;
        case Kind::Rgb565:
            std::fill(reinterpret_cast<quint16*>(line) + keep,
                      reinterpret_cast<quint16*>(line) + width, to565(kWhite));
            break;
        case Kind::Rgb32:
            std::fill(reinterpret_cast<quint32*>(line) + keep,
                      reinterpret_cast<quint32*>(line) + width, kWhite);
            break;
        }
    }
    width_ = width;
    image_ = std::move(wider);
}

void Bitmap::draw(const Bitmap& src, qint64 x, qint64 y) {
    if (isEmpty() || src.isEmpty() || image_.isNull() || src.image_.isNull())
        return;
    // Clip in 64 bits: x and y may lie anywhere. Once x < width_ (at most
    // kMaxPictureSide), x + src.width_ cannot overflow.
    if (x >= width_ || y >= height_)
        return;
    const qint64 left = std::max<qint64>(x, 0);
    const qint64 top = std::max<qint64>(y, 0);
    const qint64 right = std::min<qint64>(width_, x + src.width_);
    const qint64 bottom = std::min<qint64>(height_, y + src.height_);
    if (left >= right || top >= bottom)
        return;
    const int w = int(right - left);
    const int h = int(bottom - top);
    const int sx = int(left - x);
    const int sy = int(top - y);
    const int dx = int(left);
    const int dy = int(top);

    // Holding a reference to the source's pixels makes the detach below copy
    // them when src is this very bitmap (or shares its pixels).
    const QImage srcImage = src.image_;
    ensureDetached();

    const Kind srcKind = kindOf(src.bpp_, src.rgb565_);
    const Kind dstKind = kindOf(bpp_, rgb565_);
    const bool transparent = src.transparent_;
    const int srcBytes = storageBits(src.bpp_) / 8;
    const int dstBytes = storageBits(bpp_) / 8;
    const qsizetype srcStride = srcImage.bytesPerLine();
    const qsizetype dstStride = image_.bytesPerLine();
    const uchar* s = srcImage.constBits() + sy * srcStride + qsizetype(sx) * srcBytes;
    uchar* d = image_.bits() + dy * dstStride + qsizetype(dx) * dstBytes;

    if (!transparent && srcKind == dstKind &&
        (srcKind != Kind::Indexed || src.palette_ == palette_)) {
        const size_t rowBytes = size_t(w) * dstBytes;
        for (int row = 0; row < h; ++row)
            std::memcpy(d + row * dstStride, s + row * srcStride, rowBytes);
        return;
    }

    const QRgb key = src.transparentColor() & kRgbMask;
    if (srcKind == Kind::Indexed) {
        // Per-index tables: the destination value and whether it is see-through.
        bool skipIndex[256];
        QRgb colours[256];
        for (int i = 0; i < 256; ++i) {
            colours[i] = i < src.palette_.size() ? src.palette_[i] : kOpaque;
            skipIndex[i] = (colours[i] & kRgbMask) == key;
        }
        auto skip = [&](uchar v) { return skipIndex[v]; };
        switch (dstKind) {
        case Kind::Indexed: {
            uchar map[256];
            if (src.palette_ == palette_) {
                for (int i = 0; i < 256; ++i)
                    map[i] = uchar(i < palette_.size() ? i : 0);
            } else {
                NearestMapper mapper(palette_, nearest_.get());
                for (int i = 0; i < 256; ++i)
                    map[i] = uchar(i < src.palette_.size() ? mapper(colours[i]) : mapper(kOpaque));
            }
            blit<uchar, uchar>(
                transparent, s, srcStride, d, dstStride, w, h, [&](uchar v) { return map[v]; },
                skip);
            break;
        }
        case Kind::Rgb555:
        case Kind::Rgb565: {
            quint16 map[256];
            for (int i = 0; i < 256; ++i)
                map[i] = dstKind == Kind::Rgb555 ? to555(colours[i]) : to565(colours[i]);
            blit<uchar, quint16>(
                transparent, s, srcStride, d, dstStride, w, h, [&](uchar v) { return map[v]; },
                skip);
            break;
        }
        case Kind::Rgb32:
            blit<uchar, quint32>(
                transparent, s, srcStride, d, dstStride, w, h,
                [&](uchar v) { return quint32(colours[v]); }, skip);
            break;
        }
        return;
    }

    switch (srcKind) {
    case Kind::Rgb32:
        if (transparent && dstKind == Kind::Rgb32) {
            blitTransparent32(s, srcStride, d, dstStride, w, h, key);
            break;
        }
        blitFromTrueColour<quint32>(
            dstKind, transparent, s, srcStride, d, dstStride, w, h,
            [](quint32 v) { return QRgb(v | kOpaque); },
            [key](quint32 v) { return (v & kRgbMask) == key; }, palette_, nearest_.get());
        break;
    case Kind::Rgb555: {
        const quint16 key16 = to555(key);
        if (dstKind == Kind::Rgb555) {
            blit<quint16, quint16>(
                transparent, s, srcStride, d, dstStride, w, h,
                [](quint16 v) { return quint16(v & 0x7fff); },
                [key16](quint16 v) { return (v & 0x7fff) == key16; });
            break;
        }
        blitFromTrueColour<quint16>(
            dstKind, transparent, s, srcStride, d, dstStride, w, h,
            [](quint16 v) { return from555(v); },
            [key16](quint16 v) { return (v & 0x7fff) == key16; }, palette_, nearest_.get());
        break;
    }
    case Kind::Rgb565: {
        const quint16 key16 = to565(key);
        if (dstKind == Kind::Rgb565) {
            blit<quint16, quint16>(
                transparent, s, srcStride, d, dstStride, w, h, [](quint16 v) { return v; },
                [key16](quint16 v) { return v == key16; });
            break;
        }
        blitFromTrueColour<quint16>(
            dstKind, transparent, s, srcStride, d, dstStride, w, h,
            [](quint16 v) { return from565(v); }, [key16](quint16 v) { return v == key16; },
            palette_, nearest_.get());
        break;
    }
    case Kind::Indexed:
        break; // handled above
    }
}

Bitmap Bitmap::section(const QRect& area) const {
    const QRect part = area.intersected(QRect(0, 0, width_, height_));
    Bitmap b;
    b.bpp_ = bpp_;
    b.rgb565_ = rgb565_;
    b.palette_ = palette_;
    b.nearest_ = nearest_;
    if (part.isEmpty() || image_.isNull())
        return b;
    b.image_ = image_.copy(part);
    if (b.image_.isNull())
        throw Error::pictureTooLarge(part.width(), part.height());
    b.width_ = part.width();
    b.height_ = part.height();
    return b;
}

void Bitmap::paint(const std::function<void(QPainter&)>& fn) {
    if (image_.isNull()) {
        // Nothing to paint on, but callers may measure through the painter.
        QImage scratch(1, 1, QImage::Format_RGB32);
        scratch.fill(kWhite);
        QPainter painter(&scratch);
        fn(painter);
        return;
    }
    ensureDetached();
    const Kind kind = kindOf(bpp_, rgb565_);
    if (kind == Kind::Rgb32 || kind == Kind::Rgb565) {
        QPainter painter(&image_);
        fn(painter);
        return;
    }

    // Paint on a true-colour copy, then map the pixels back.
    QImage rgb(width_, height_, QImage::Format_RGB32);
    if (rgb.isNull())
        throw Error::pictureTooLarge(width_, height_);
    // Every index's colour, looked up without going through the list.
    QRgb colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = i < palette_.size() ? palette_.at(i) : kOpaque;
    for (int y = 0; y < height_; ++y) {
        const uchar* line = image_.constScanLine(y);
        quint32* out = reinterpret_cast<quint32*>(rgb.scanLine(y));
        if (kind == Kind::Rgb555) {
            const quint16* in = reinterpret_cast<const quint16*>(line);
            for (int x = 0; x < width_; ++x)
                out[x] = from555(in[x]);
        } else {
            for (int x = 0; x < width_; ++x)
                out[x] = colours[line[x]];
        }
    }
    auto mapBack = [&] {
        if (kind == Kind::Rgb555) {
            for (int y = 0; y < height_; ++y) {
                const quint32* in = reinterpret_cast<const quint32*>(rgb.constScanLine(y));
                quint16* out = reinterpret_cast<quint16*>(image_.scanLine(y));
                for (int x = 0; x < width_; ++x)
                    out[x] = to555(in[x]);
            }
            return;
        }
        NearestMapper mapper(palette_, nearest_.get());
        // An index past the palette never counts as unchanged (0 is no
        // opaque colour).
        QRgb kept[256];
        for (int i = 0; i < 256; ++i)
            kept[i] = i < palette_.size() ? colours[i] : 0;
        const int width = width_;
        for (int y = 0; y < height_; ++y) {
            const quint32* in = reinterpret_cast<const quint32*>(rgb.constScanLine(y));
            uchar* out = image_.scanLine(y);
            for (int x = 0; x < width; ++x) {
                const QRgb c = in[x] | kOpaque;
                // Unchanged pixels keep their entry, even among equal colours.
                if (kept[out[x]] == c)
                    continue;
                out[x] = uchar(mapper(c));
            }
        }
    };
    {
        QPainter painter(&rgb);
        try {
            fn(painter);
        } catch (...) {
            painter.end();
            mapBack();
            throw;
        }
    }
    mapBack();
}

QImage Bitmap::toImage() const {
    return image_;
}

QImage Bitmap::toImageSeeThrough(const QRect& part) const {
    QImage image =
        (part.isNull() ? image_ : image_.copy(part)).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparentColor() | 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] | 0xff000000u) == key)
                line[x] = 0;
    }
    return image;
}

int Bitmap::nearestIndex(QRgb colour) const {
    if (palette_.isEmpty())
        return 0;
    NearestMapper mapper(palette_, nearest_.get());
    return mapper(colour);
}

void Bitmap::ensureDetached() {
    if (!image_.isNull())
        image_.detach();
}

} // namespace zot
