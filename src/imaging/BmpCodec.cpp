#include "imaging/BmpCodec.h"

#include "platform/FileWriting.h"

#include "platform/Error.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "BMP pixel rows are copied as little-endian");

namespace zot {

namespace {

constexpr quint32 kBiRgb = 0;
constexpr quint32 kBiRle8 = 1;
constexpr quint32 kBiRle4 = 2;
constexpr quint32 kBiBitfields = 3;
constexpr quint32 kBiAlphaBitfields = 6;

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kInfoHeaderSize = 40;
constexpr QRgb kBlack = 0xff000000u;

// Bounds-checked little-endian reads from the file's bytes.
class Bytes {
  public:
    explicit Bytes(const QByteArray& data)
        : p_(reinterpret_cast<const uchar*>(data.constData())), n_(data.size()) {}
    qint64 size() const { return n_; }
    const uchar* at(qint64 offset) const { return p_ + offset; }
    bool has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= n_ && length <= n_ - offset;
    }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(p_ + offset); }
    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(p_ + offset); }
    qint32 i32(qint64 offset) const { return qFromLittleEndian<qint32>(p_ + offset); }

  private:
    const uchar* p_;
    qint64 n_;
};

// One colour channel of a bitfields mask, scaled to 8 bits.
class Channel {
  public:
    explicit Channel(quint32 mask) : mask_(mask) {
        if (mask == 0)
            return;
        shift_ = std::countr_zero(mask);
        bits_ = 32 - std::countl_zero(mask) - shift_;
        max_ = bits_ >= 32 ? 0xffffffffu : (quint32(1) << bits_) - 1;
    }
    uint value(quint32 pixel) const {
        if (bits_ == 0)
            return 0;
        const quint32 v = (pixel & mask_) >> shift_;
        if (bits_ >= 8)
            return uint(v >> (bits_ - 8));
        return uint((quint64(v) * 255 + max_ / 2) / max_);
    }

  private:
    quint32 mask_;
    int shift_ = 0;
    int bits_ = 0;
    quint32 max_ = 1;
};

struct Masks {
    quint32 r = 0, g = 0, b = 0;
    bool operator==(const Masks&) const = default;
};

constexpr Masks kMasks555{0x7c00, 0x03e0, 0x001f};
constexpr Masks kMasks565{0xf800, 0x07e0, 0x001f};
constexpr Masks kMasks888{0x00ff0000, 0x0000ff00, 0x000000ff};

enum class PixelLayout { Indexed, Rgb555, Rgb565, Bgr24, Bgrx32, Generic16, Generic32 };

struct Header {
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = kBiRgb;
    PixelLayout layout = PixelLayout::Indexed;
    Masks masks;
    QList<QRgb> palette;
    qint64 dataStart = 0;
};

qint64 rowStride(qint64 width, int bpp) {
    return ((width * bpp + 31) / 32) * 4;
}

// Fills the size and pixel layout of header from the file and file-info
// headers, and storageBytes with what its pixels will take; false when
// unreadable or past the size limits. pos ends after the headers and masks.
bool readLayout(const Bytes& in, Header& h, qint64& pos, qint64& storageBytes) {
    if (!in.has(0, kFileHeaderSize + 4) || in.at(0)[0] != 'B' || in.at(0)[1] != 'M')
        return false;
    const quint32 headerSize = in.u32(14);
    const bool core = headerSize == 12;
    if (!(core || headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
          headerSize == 124))
        return false;
    if (!in.has(kFileHeaderSize, headerSize))
        return false;
    const qint64 base = kFileHeaderSize;
    if (core) {
        h.width = in.u16(base + 4);
        h.height = in.u16(base + 6);
        h.bpp = in.u16(base + 10);
    } else {
        h.width = in.i32(base + 4);
        h.height = in.i32(base + 8);
        h.bpp = in.u16(base + 14);
        h.compression = in.u32(base + 16);
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height; // qint64: no overflow for INT_MIN
    }
    if (h.width < 0)
        return false;
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        return false;

    pos = base + headerSize;
    switch (h.compression) {
    case kBiRgb:
        break;
    case kBiRle8:
        if (h.bpp != 8)
            return false;
        break;
    case kBiRle4:
        if (h.bpp != 4)
            return false;
        break;
    case kBiBitfields:
    case kBiAlphaBitfields:
        if (h.bpp != 16 && h.bpp != 32)
            return false;
        if (headerSize == 40) {
            // The masks follow the info header.
            const qint64 maskBytes = h.compression == kBiAlphaBitfields ? 16 : 12;
            if (!in.has(pos, maskBytes))
                return false;
            h.masks = {in.u32(pos), in.u32(pos + 4), in.u32(pos + 8)};
            pos += maskBytes;
        } else {
            h.masks = {in.u32(base + 40), in.u32(base + 44), in.u32(base + 48)};
        }
        break;
    default:
        return false; // JPEG, PNG and anything unknown
    }

    // Pixel layout and the storage it needs.
    int storageBits = 32;
    switch (h.bpp) {
    case 1:
    case 4:
    case 8:
        h.layout = PixelLayout::Indexed;
        storageBits = 8;
        break;
    case 16: {
        const bool bitfields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
        if (!bitfields || h.masks == kMasks555 || h.masks == Masks{}) {
            h.layout = PixelLayout::Rgb555;
            storageBits = 16;
        } else if (h.masks == kMasks565) {
            h.layout = PixelLayout::Rgb565;
            storageBits = 16;
        } else {
            h.layout = PixelLayout::Generic16;
        }
        break;
    }
    case 24:
        h.layout = PixelLayout::Bgr24;
        break;
    case 32: {
        const bool bitfields = h.compression == kBiBitfields || h.compression == kBiAlphaBitfields;
        h.layout = (!bitfields || h.masks == kMasks888 || h.masks == Masks{})
                       ? PixelLayout::Bgrx32
                       : PixelLayout::Generic32;
        break;
    }
    }
    if (!pictureSizeAllowed(h.width, h.height, h.bpp) ||
        !pictureSizeAllowed(h.width, h.height, storageBits))
        return false;
    storageBytes = rowStride(h.width, storageBits) * h.height;
    return true;
}

// Fills header from the file and file-info headers; false when unreadable.
bool readHeader(const Bytes& in, Header& h, qint64 byteLimit) {
    qint64 pos = 0;
    qint64 storageBytes = 0;
    if (!readLayout(in, h, pos, storageBytes) || storageBytes > byteLimit)
        return false;
    const bool core = in.u32(14) == 12;
    const quint32 offBits = in.u32(10);
    const quint32 clrUsed = core ? 0 : in.u32(kFileHeaderSize + 32);

    // Colour table.
    const qint64 headersEnd = pos;
    if (h.bpp <= 8) {
        const qint64 maxEntries = qint64(1) << h.bpp;
        qint64 count = (core || clrUsed == 0 || clrUsed > maxEntries) ? maxEntries : clrUsed;
        const qint64 entrySize = core ? 3 : 4;
        // A sane pixel offset tells how much room the table really has.
        if (offBits > headersEnd)
            count = std::min(count, (qint64(offBits) - headersEnd) / entrySize);
        h.palette.reserve(count);
        for (qint64 i = 0; i < count; ++i) {
            const qint64 at = pos + i * entrySize;
            if (!in.has(at, 3)) {
                h.palette.append(kBlack);
                continue;
            }
            const uchar* e = in.at(at);
            h.palette.append(qRgb(e[2], e[1], e[0]));
        }
        pos += count * entrySize;
    }

    // Pixel data: at the file header's offset when that is plausible,
    // else straight after the colour table.
    h.dataStart = offBits >= headersEnd ? qint64(offBits) : pos;
    if (h.width > 0 && h.height > 0 && h.dataStart >= in.size())
        return false;
    return true;
}

void decodeIndexedRow(const uchar* src, qint64 available, int bpp, int width, uchar* out,
                      int& maxIndex) {
    const qint64 pixels = std::min<qint64>(width, available * 8 / bpp);
    int localMax = 0;
    switch (bpp) {
    case 1:
        for (qint64 x = 0; x < pixels; ++x) {
            const int v = (src[x >> 3] >> (7 - (x & 7))) & 1;
            out[x] = uchar(v);
            localMax |= v;
        }
        break;
    case 4:
        for (qint64 x = 0; x < pixels; ++x) {
            const int v = (x & 1) ? (src[x >> 1] & 0x0f) : (src[x >> 1] >> 4);
            out[x] = uchar(v);
            localMax = std::max(localMax, v);
        }
        break;
    default:
        std::memcpy(out, src, size_t(pixels));
        for (qint64 x = 0; x < pixels; ++x)
            localMax = std::max<int>(localMax, src[x]);
        break;
    }
    maxIndex = std::max(maxIndex, localMax);
}

void decodeTrueColourRow(const Header& h, const uchar* src, qint64 available, int width,
                         uchar* out) {
    switch (h.layout) {
    case PixelLayout::Rgb555:
    case PixelLayout::Rgb565: {
        const qint64 pixels = std::min<qint64>(width, available / 2);
        quint16* o = reinterpret_cast<quint16*>(out);
        const quint16 mask = h.layout == PixelLayout::Rgb555 ? 0x7fff : 0xffff;
        for (qint64 x = 0; x < pixels; ++x)
            o[x] = quint16((src[2 * x] | (src[2 * x + 1] << 8)) & mask);
        break;
    }
    case PixelLayout::Bgr24: {
        const qint64 pixels = std::min<qint64>(width, available / 3);
        quint32* o = reinterpret_cast<quint32*>(out);
        for (qint64 x = 0; x < pixels; ++x) {
            const uchar* p = src + 3 * x;
            o[x] = kBlack | (quint32(p[2]) << 16) | (quint32(p[1]) << 8) | p[0];
        }
        break;
    }
    case PixelLayout::Bgrx32: {
        const qint64 pixels = std::min<qint64>(width, available / 4);
        quint32* o = reinterpret_cast<quint32*>(out);
        for (qint64 x = 0; x < pixels; ++x)
            o[x] = qFromLittleEndian<quint32>(src + 4 * x) | kBlack;
        break;
    }
    case PixelLayout::Generic16:
    case PixelLayout::Generic32: {
        const int bytes = h.layout == PixelLayout::Generic16 ? 2 : 4;
        const qint64 pixels = std::min<qint64>(width, available / bytes);
        const Channel r(h.masks.r), g(h.masks.g), b(h.masks.b);
        quint32* o = reinterpret_cast<quint32*>(out);
        for (qint64 x = 0; x < pixels; ++x) {
            const quint32 v = bytes == 2 ? qFromLittleEndian<quint16>(src + 2 * x)
                                         : qFromLittleEndian<quint32>(src + 4 * x);
            o[x] = qRgb(int(r.value(v)), int(g.value(v)), int(b.value(v)));
        }
        break;
    }
    case PixelLayout::Indexed:
        break;
    }
}

// RLE8 / RLE4: pixels not covered by the data stay index 0.
void decodeRle(const Bytes& in, const Header& h, QImage& image, int& maxIndex) {
    const bool rle4 = h.compression == kBiRle4;
    const qint64 width = h.width;
    const qint64 height = h.height;
    const qint64 end = in.size();
    qint64 p = h.dataStart;
    qint64 x = 0;
    qint64 row = 0; // counted from the first row in the file
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    auto line = [&]() -> uchar* {
        const qint64 y = h.topDown ? row : height - 1 - row;
        return bits + y * stride;
    };
    int localMax = 0;
    while (row < height && p + 1 < end) {
        const uchar count = *in.at(p);
        const uchar value = *in.at(p + 1);
        p += 2;
        if (count > 0) {
            // Encoded run, clipped to the row.
            if (x < width) {
                const qint64 n = std::min<qint64>(count, width - x);
                uchar* out = line() + x;
                if (rle4) {
                    const uchar hi = value >> 4, lo = value & 0x0f;
                    for (qint64 i = 0; i < n; ++i)
                        out[i] = (i & 1) ? lo : hi;
                    localMax = std::max<int>(localMax, n > 1 ? std::max(hi, lo) : hi);
                } else {
                    std::memset(out, value, size_t(n));
                    localMax = std::max<int>(localMax, value);
                }
            }
            x += count;
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++row;
            break;
        case 1: // end of bitmap
            maxIndex = std::max(maxIndex, localMax);
            return;
        case 2: // delta
            if (!in.has(p, 2)) {
                p = end;
                break;
            }
            x += *in.at(p);
            row += *in.at(p + 1);
            p += 2;
            break;
        default: { // absolute run of `value` pixels, padded to 16 bits
            const qint64 n = value;
            const qint64 bytes = rle4 ? (n + 1) / 2 : n;
            const qint64 availableBytes = std::min(bytes, end - p);
            const qint64 availablePixels = rle4 ? std::min(n, availableBytes * 2) : availableBytes;
            uchar* out = line();
            for (qint64 i = 0; i < availablePixels; ++i, ++x) {
                if (x >= width)
                    continue;
                const uchar* src = in.at(p + (rle4 ? i / 2 : i));
                const uchar v = rle4 ? ((i & 1) ? (*src & 0x0f) : (*src >> 4)) : *src;
                out[x] = v;
                localMax = std::max<int>(localMax, v);
            }
            x += n - availablePixels;
            p += (bytes + 1) & ~qint64(1);
            break;
        }
        }
    }
    maxIndex = std::max(maxIndex, localMax);
}

void put16(uchar* p, quint16 v) {
    qToLittleEndian(v, p);
}
void put32(uchar* p, quint32 v) {
    qToLittleEndian(v, p);
}

} // namespace

std::optional<qint64> bmpStorageBytes(const QByteArray& head) {
    const Bytes in(head);
    Header h;
    qint64 pos = 0;
    qint64 storageBytes = 0;
    if (!readLayout(in, h, pos, storageBytes))
        return std::nullopt;
    return storageBytes;
}

std::optional<Bitmap> decodeBmp(const QByteArray& data, qint64 byteLimit) {
    const Bytes in(data);
    Header h;
    if (!readHeader(in, h, byteLimit))
        return std::nullopt;

    const bool paletted = h.bpp <= 8;
    int bpp = h.bpp;
    bool rgb565 = false;
    QImage::Format format = QImage::Format_RGB32;
    switch (h.layout) {
    case PixelLayout::Indexed:
        format = QImage::Format_Indexed8;
        break;
    case PixelLayout::Rgb555:
        format = QImage::Format_RGB555;
        break;
    case PixelLayout::Rgb565:
        format = QImage::Format_RGB16;
        rgb565 = true;
        break;
    case PixelLayout::Generic16:
        bpp = 32; // other 16-bit masks keep their colours in 32 bits
        break;
    default:
        break;
    }

    if (h.width == 0 || h.height == 0) {
        try {
            return Bitmap::create(int(h.width), int(h.height), bpp, h.palette, rgb565);
        } catch (const Error&) {
            return std::nullopt;
        }
    }

    const int width = int(h.width);
    const int height = int(h.height);
    QImage image(width, height, format);
    if (image.isNull())
        return std::nullopt;
    // Whatever the data does not cover stays black (index 0).
    if (format == QImage::Format_RGB32)
        image.fill(kBlack);
    else
        std::memset(image.bits(), 0, size_t(image.sizeInBytes()));

    int maxIndex = 0;
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        decodeRle(in, h, image, maxIndex);
    } else {
        const qint64 stride = rowStride(h.width, h.bpp);
        for (qint64 row = 0; row < h.height; ++row) {
            const qint64 at = h.dataStart + row * stride;
            if (at >= in.size())
                break;
            const qint64 available = std::min(stride, in.size() - at);
            const int y = int(h.topDown ? row : h.height - 1 - row);
            uchar* out = image.scanLine(y);
            if (paletted)
                decodeIndexedRow(in.at(at), available, h.bpp, width, out, maxIndex);
            else
                decodeTrueColourRow(h, in.at(at), available, width, out);
        }
    }

    if (paletted) {
        // No colour table at all: the default palette of Bitmap. Indices
        // past a colour table show black.
        QList<QRgb> palette = h.palette;
        if (!palette.isEmpty() && maxIndex >= palette.size())
            palette.resize(maxIndex + 1, kBlack);
        image.setColorTable(palette);
    }
    return Bitmap::fromStorage(std::move(image), bpp, rgb565);
}

QByteArray encodeBmp(const Bitmap& bitmap) {
    QByteArray out;
    encodeBmpInto(bitmap, out);
    return out;
}

namespace {

// Packs a row of 0xAARRGGBB pixels into BGR triples.
void packBgr24(const quint32* in32, uchar* q, int w) {
    int x = 0;
    // Four pixels make three whole words: a logo is written by the
    // thousand, and byte by byte this loop was a sixth of a batch.
    for (; x + 4 <= w; x += 4, q += 12) {
        const quint32 p0 = in32[x], p1 = in32[x + 1], p2 = in32[x + 2], p3 = in32[x + 3];
        put32(q, (p0 & 0xffffffu) | (p1 << 24));
        put32(q + 4, ((p1 >> 8) & 0xffffu) | (p2 << 16));
        put32(q + 8, ((p2 >> 16) & 0xffu) | (p3 << 8));
    }
    for (; x < w; ++x, q += 3) {
        const quint32 v = in32[x];
        q[0] = uchar(v);
        q[1] = uchar(v >> 8);
        q[2] = uchar(v >> 16);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with one byte shuffle per four pixels, where the processor has it.
__attribute__((target("ssse3"))) void packBgr24Ssse3(const quint32* in32, uchar* q, int w) {
    const __m128i keepBgr = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    // Each store writes 16 bytes of which 12 are kept: the last four land
    // on pixels still to come, never past the row's own pixels.
    for (; x + 6 <= w; x += 4, q += 12) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in32 + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_shuffle_epi8(pixels, keepBgr));
    }
    packBgr24(in32 + x, q, w - x);
}
#endif

using PackRow = void (*)(const quint32*, uchar*, int);
PackRow bgr24Packer() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("ssse3"))
        return packBgr24Ssse3;
#endif
    return packBgr24;
}

} // namespace

void encodeBmpInto(const Bitmap& bitmap, QByteArray& out) {
    const int bpp = bitmap.bitsPerPixel();
    const bool rgb565 = bpp == 16 && bitmap.isRgb565();
    const qint64 width = std::max(bitmap.width(), 0);
    const qint64 height = std::max(bitmap.height(), 0);
    const QImage& image = bitmap.storage();
    const bool hasPixels = !bitmap.isEmpty() && !image.isNull();

    QList<QRgb> palette;
    if (bitmap.isPaletted()) {
        palette = bitmap.palette();
        if (palette.size() > (qsizetype(1) << bpp))
            palette.resize(qsizetype(1) << bpp);
        if (palette.isEmpty())
            palette.append(kBlack);
    }
    const qint64 maskBytes = rgb565 ? 12 : 0;
    const qint64 offBits = kFileHeaderSize + kInfoHeaderSize + maskBytes + palette.size() * 4;
    const qint64 stride = rowStride(width, bpp);
    const qint64 imageSize = hasPixels ? stride * height : 0;
    const qint64 fileSize = offBits + imageSize;

    // A buffer kept between logos is reused as it is: no allocation, and
    // every byte below is written.
    out.resize(fileSize);
    uchar* o = reinterpret_cast<uchar*>(out.data());
    // BITMAPFILEHEADER
    o[0] = 'B';
    o[1] = 'M';
    put32(o + 2, quint32(fileSize));
    put32(o + 6, 0);
    put32(o + 10, quint32(offBits));
    // BITMAPINFOHEADER
    uchar* ih = o + kFileHeaderSize;
    put32(ih + 0, quint32(kInfoHeaderSize));
    put32(ih + 4, quint32(width));
    put32(ih + 8, quint32(height));
    put16(ih + 12, 1);
    put16(ih + 14, quint16(bpp));
    put32(ih + 16, rgb565 ? kBiBitfields : kBiRgb);
    put32(ih + 20, quint32(imageSize));
    put32(ih + 24, 0);
    put32(ih + 28, 0);
    const bool fullTable = palette.size() == (qsizetype(1) << bpp);
    put32(ih + 32, quint32(bitmap.isPaletted() && !fullTable ? palette.size() : 0));
    put32(ih + 36, 0);
    uchar* p = ih + kInfoHeaderSize;
    if (rgb565) {
        put32(p, kMasks565.r);
        put32(p + 4, kMasks565.g);
        put32(p + 8, kMasks565.b);
        p += 12;
    }
    for (QRgb c : palette) {
        p[0] = uchar(qBlue(c));
        p[1] = uchar(qGreen(c));
        p[2] = uchar(qRed(c));
        p[3] = 0;
        p += 4;
    }
    if (!hasPixels)
        return;

    uchar* pixels = o + offBits;
    const int w = int(width);
    static const PackRow packRow = bgr24Packer();
    const qint64 used = (width * bpp + 7) / 8;
    for (qint64 row = 0; row < height; ++row) {
        uchar* d = pixels + row * stride;
        const uchar* s = image.constScanLine(int(height - 1 - row));
        switch (bpp) {
        case 1: {
            for (int x = 0; x < w; x += 8) {
                uchar byte = 0;
                const int n = std::min(8, w - x);
                for (int i = 0; i < n; ++i)
                    byte |= uchar((s[x + i] & 1) << (7 - i));
                d[x >> 3] = byte;
            }
            break;
        }
        case 4: {
            for (int x = 0; x < w; x += 2) {
                const uchar hi = s[x] & 0x0f;
                const uchar lo = x + 1 < w ? (s[x + 1] & 0x0f) : 0;
                d[x >> 1] = uchar((hi << 4) | lo);
            }
            break;
        }
        case 8:
            std::memcpy(d, s, size_t(w));
            break;
        case 16: {
            const quint16* in16 = reinterpret_cast<const quint16*>(s);
            if (rgb565) {
                std::memcpy(d, s, size_t(w) * 2);
            } else {
                for (int x = 0; x < w; ++x)
                    put16(d + 2 * x, in16[x] & 0x7fff);
            }
            break;
        }
        case 24:
            packRow(reinterpret_cast<const quint32*>(s), d, w);
            break;
        default: {
            // The file's rows need not be 4-byte aligned in memory.
            const quint32* in32 = reinterpret_cast<const quint32*>(s);
            for (int x = 0; x < w; ++x)
                put32(d + 4 * x, in32[x] & 0x00ffffffu);
            break;
        }
        }
        if (used < stride)
            std::memset(d + used, 0, size_t(stride - used));
    }
    return;
}

void writeBmpFile(const Bitmap& bitmap, const QString& path) {
    writeFileReplacing(path, encodeBmp(bitmap));
}

} // namespace zot
