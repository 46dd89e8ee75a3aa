#include "imaging/PngCodec.h"

#include "platform/Error.h"

#include <QtEndian>

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace zot {

namespace {

constexpr uchar kColourPalette = 3;
constexpr uchar kColourRgb = 2;
constexpr uchar kColourRgba = 6;
constexpr uchar kFilterNone = 0;
constexpr QRgb kBlack = 0xff000000u;

// The filtered rows of the largest logo (RGBA at the picture limits) fit
// well below this, and so does one IDAT chunk of their compressed form.
constexpr qint64 kMaxRowBytesTotal = qint64(1) << 30;

// Kept by each thread between logos: the rows and the compressor's memory.
struct Scratch {
    std::vector<uint8_t> rows;
    std::vector<uint8_t> levelBuffer;
};

Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// What a file's rows hold.
struct Layout {
    int width = 0;
    int height = 0;
    uchar colourType = kColourRgb;
    uchar bitDepth = 8;
    qint64 rowBytes = 0; // without the filter byte
};

// Packs row y's pixels into the row's bytes.
using PackRow = std::function<void(int y, uchar* row)>;

// 0xAARRGGBB words to R, G, B.
void packRgb(const quint32* in, uchar* q, int w) {
    for (int x = 0; x < w; ++x, q += 3) {
        const quint32 v = in[x];
        q[0] = uchar(v >> 16);
        q[1] = uchar(v >> 8);
        q[2] = uchar(v);
    }
}

// 0xAARRGGBB words to R, G, B, A.
void packRgba(const quint32* in, uchar* q, int w) {
    for (int x = 0; x < w; ++x, q += 4) {
        const quint32 v = in[x];
        q[0] = uchar(v >> 16);
        q[1] = uchar(v >> 8);
        q[2] = uchar(v);
        q[3] = uchar(v >> 24);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// The same with one byte shuffle per four pixels, where the processor has it.
__attribute__((target("ssse3"))) void packRgbSsse3(const quint32* in, uchar* q, int w) {
    const __m128i keepRgb = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    int x = 0;
    // Each store writes 16 bytes of which 12 are kept: the last four land
    // on pixels still to come, never past the row's own pixels.
    for (; x + 6 <= w; x += 4, q += 12) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_shuffle_epi8(pixels, keepRgb));
    }
    packRgb(in + x, q, w - x);
}

__attribute__((target("ssse3"))) void packRgbaSsse3(const quint32* in, uchar* q, int w) {
    const __m128i toRgba = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    int x = 0;
    for (; x + 4 <= w; x += 4, q += 16) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(q), _mm_shuffle_epi8(pixels, toRgba));
    }
    packRgba(in + x, q, w - x);
}
#endif

using PackWords = void (*)(const quint32*, uchar*, int);
PackWords rgbPacker() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("ssse3"))
        return packRgbSsse3;
#endif
    return packRgb;
}
PackWords rgbaPacker() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("ssse3"))
        return packRgbaSsse3;
#endif
    return packRgba;
}

// Indices of depth 1, 4 or 8, high bits first, as in a BMP file; keeps the
// largest index met.
void packIndices(const uchar* s, uchar* d, int w, int depth, int& maxIndex) {
    int top = 0;
    switch (depth) {
    case 1:
        for (int x = 0; x < w; x += 8) {
            uchar byte = 0;
            const int n = std::min(8, w - x);
            for (int i = 0; i < n; ++i)
                byte |= uchar((s[x + i] & 1) << (7 - i));
            top |= byte ? 1 : 0;
            d[x >> 3] = byte;
        }
        break;
    case 4:
        for (int x = 0; x < w; x += 2) {
            const uchar hi = s[x] & 0x0f;
            const uchar lo = x + 1 < w ? (s[x + 1] & 0x0f) : 0;
            top = std::max<int>(top, std::max(hi, lo));
            d[x >> 1] = uchar((hi << 4) | lo);
        }
        break;
    default:
        std::memcpy(d, s, size_t(w));
        for (int x = 0; x < w; ++x)
            top = std::max<int>(top, s[x]);
        break;
    }
    maxIndex = std::max(maxIndex, top);
}

void put32(uchar* p, quint32 v) {
    qToBigEndian(v, p);
}

quint32 crcOf(const uchar* p, qint64 n) {
    // The gzip CRC is PNG's: the chunk type and data, reflected CRC-32.
    return crc32_gzip_refl(0, p, quint64(n));
}

// Appends a chunk of n bytes of data at data (or zeros when null) and gives
// where its data lies in out.
qint64 appendChunk(QByteArray& out, const char* type, const uchar* data, qint64 n) {
    const qint64 at = out.size();
    out.resize(at + 12 + n);
    uchar* p = reinterpret_cast<uchar*>(out.data()) + at;
    put32(p, quint32(n));
    std::memcpy(p + 4, type, 4);
    if (n > 0 && data)
        std::memcpy(p + 8, data, size_t(n));
    put32(p + 8 + n, crcOf(p + 4, n + 4));
    return at + 8;
}

// zlib stream of in[0..n) into out, at most room bytes; the bytes written,
// or -1 when they do not fit. ISA-L's deflate at level 1: on logos it is
// about three times as fast as libdeflate's fastest level, and a file ten
// times as fast as Qt's writer, at a size from 6 % smaller to twice as big.
qint64 compress(const uint8_t* in, qint64 n, uint8_t* out, qint64 room) {
    Scratch& s = scratch();
    if (s.levelBuffer.empty())
        s.levelBuffer.resize(ISAL_DEF_LVL1_DEFAULT);
    isal_zstream stream;
    isal_deflate_stateless_init(&stream);
    stream.level = 1;
    stream.level_buf = s.levelBuffer.data();
    stream.level_buf_size = quint32(s.levelBuffer.size());
    stream.gzip_flag = IGZIP_ZLIB;
    stream.end_of_stream = 1;
    stream.flush = NO_FLUSH;
    stream.next_in = const_cast<uint8_t*>(in);
    stream.avail_in = quint32(n);
    stream.next_out = out;
    stream.avail_out = quint32(std::min<qint64>(room, 0xffffffffLL));
    if (isal_deflate_stateless(&stream) != COMP_OK)
        return -1;
    return stream.total_out;
}

// The filtered rows of the file into the thread's scratch memory.
void packRows(const Layout& layout, const PackRow& packRow) {
    const qint64 stride = 1 + layout.rowBytes;
    const qint64 total = stride * layout.height;
    if (total > kMaxRowBytesTotal)
        throw Error::pictureTooLarge(layout.width, layout.height);
    // Every row unfiltered: with this deflate the other filters made most
    // sample logos bigger, shrank the others (gradients, photos) by a fifth
    // at most for a third more time, and choosing one per row took longer
    // than the compression.
    std::vector<uint8_t>& rows = scratch().rows;
    rows.resize(size_t(total));
    for (int y = 0; y < layout.height; ++y) {
        uchar* row = rows.data() + y * stride;
        row[0] = kFilterNone;
        packRow(y, row + 1);
    }
}

// The file of the packed rows into out.
void writeFile(const Layout& layout, const QList<QRgb>& palette, QByteArray& out) {
    std::vector<uint8_t>& rows = scratch().rows;
    const qint64 total = (1 + layout.rowBytes) * layout.height;

    static const uchar signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    out.resize(0);
    out.append(reinterpret_cast<const char*>(signature), 8);
    uchar header[13];
    put32(header, quint32(layout.width));
    put32(header + 4, quint32(layout.height));
    header[8] = layout.bitDepth;
    header[9] = layout.colourType;
    header[10] = 0; // deflate
    header[11] = 0; // filtering by row, each row naming its filter
    header[12] = 0; // not interlaced
    appendChunk(out, "IHDR", header, 13);
    if (layout.colourType == kColourPalette) {
        std::vector<uchar> entries;
        entries.reserve(size_t(palette.size()) * 3);
        for (QRgb c : palette) {
            entries.push_back(uchar(qRed(c)));
            entries.push_back(uchar(qGreen(c)));
            entries.push_back(uchar(qBlue(c)));
        }
        appendChunk(out, "PLTE", entries.data(), qint64(entries.size()));
    }

    // Compressed straight into the IDAT chunk, which is then cut to size.
    // Data that does not shrink is stored: 5 bytes a block of 64 KiB.
    qint64 room = total + (total / 16384 + 1) * 5 + 64;
    const qint64 idat = appendChunk(out, "IDAT", nullptr, room);
    qint64 n = compress(rows.data(), total, reinterpret_cast<uint8_t*>(out.data()) + idat, room);
    if (n < 0) {
        // Never seen: the compressor documents no bound of its own.
        room = total * 2 + 1024;
        out.resize(idat + room + 4);
        n = compress(rows.data(), total, reinterpret_cast<uint8_t*>(out.data()) + idat, room);
        if (n < 0)
            throw Error::pictureTooLarge(layout.width, layout.height);
    }
    uchar* chunk = reinterpret_cast<uchar*>(out.data()) + idat - 8;
    put32(chunk, quint32(n));
    put32(chunk + 8 + n, crcOf(chunk + 4, n + 4));
    out.resize(idat + n + 4);
    appendChunk(out, "IEND", nullptr, 0);

    // A huge logo does not keep its memory for the small ones after it.
    if (rows.capacity() > (size_t(32) << 20))
        std::vector<uint8_t>().swap(rows);
}

Layout layoutOf(const QImage& image, uchar colourType, int bitDepth) {
    Layout layout;
    layout.width = image.width();
    layout.height = image.height();
    layout.colourType = colourType;
    layout.bitDepth = uchar(bitDepth);
    const int channels = colourType == kColourRgba ? 4 : colourType == kColourRgb ? 3 : 1;
    layout.rowBytes = (qint64(layout.width) * channels * bitDepth + 7) / 8;
    return layout;
}

// Pixels of Format_RGB32 or Format_ARGB32 as RGB or RGBA.
void encodeWords(const QImage& image, bool alpha, QByteArray& out) {
    static const PackWords rgb = rgbPacker();
    static const PackWords rgba = rgbaPacker();
    const PackWords pack = alpha ? rgba : rgb;
    const Layout layout = layoutOf(image, alpha ? kColourRgba : kColourRgb, 8);
    const int w = layout.width;
    packRows(layout, [&](int y, uchar* row) {
        pack(reinterpret_cast<const quint32*>(image.constScanLine(y)), row, w);
    });
    writeFile(layout, {}, out);
}

// Format_Indexed8 pixels at depth 1, 4 or 8, the index cut to that depth
// as in a BMP file. Indices past the palette show black, as Bitmap::pixel
// shows them: the palette is lengthened with black to hold them.
void encodeIndexed(const QImage& image, int depth, QList<QRgb> palette, QByteArray& out) {
    const Layout layout = layoutOf(image, kColourPalette, depth);
    const int w = layout.width;
    int maxIndex = 0;
    packRows(layout, [&](int y, uchar* row) {
        packIndices(image.constScanLine(y), row, w, depth, maxIndex);
    });
    palette.resize(std::min(qsizetype(1) << depth, palette.size()));
    if (palette.size() <= maxIndex)
        palette.resize(maxIndex + 1, kBlack);
    writeFile(layout, palette, out);
}

} // namespace

void encodePngInto(const Bitmap& bitmap, QByteArray& out) {
    const QImage& image = bitmap.storage();
    if (bitmap.isEmpty() || image.isNull()) {
        out.clear();
        return;
    }
    if (bitmap.isPaletted()) {
        encodeIndexed(image, bitmap.bitsPerPixel(), bitmap.palette(), out);
    } else if (image.format() == QImage::Format_RGB32) {
        encodeWords(image, false, out);
    } else if (image.format() == QImage::Format_ARGB32) {
        encodeWords(image, true, out);
    } else {
        // 16 bits per pixel: the colours Bitmap::pixel widens them to.
        const Layout layout = layoutOf(image, kColourRgb, 8);
        packRows(layout, [&](int y, uchar* row) {
            for (int x = 0; x < layout.width; ++x, row += 3) {
                const QRgb c = bitmap.pixel(x, y);
                row[0] = uchar(qRed(c));
                row[1] = uchar(qGreen(c));
                row[2] = uchar(qBlue(c));
            }
        });
        writeFile(layout, {}, out);
    }
}

void encodePngInto(const QImage& image, QByteArray& out) {
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        out.clear();
        return;
    }
    if (image.hasAlphaChannel()) {
        if (image.format() == QImage::Format_ARGB32)
            encodeWords(image, true, out);
        else
            encodeWords(image.convertToFormat(QImage::Format_ARGB32), true, out);
    } else if (image.format() == QImage::Format_Indexed8) {
        encodeIndexed(image, 8, image.colorTable(), out);
    } else if (image.format() == QImage::Format_RGB32) {
        encodeWords(image, false, out);
    } else {
        encodeWords(image.convertToFormat(QImage::Format_RGB32), false, out);
    }
}

} // namespace zot
