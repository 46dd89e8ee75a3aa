#pragma once

// Builds BMP files byte by byte for the imaging tests.

#include <QByteArray>
#include <QList>
#include <QRgb>

#include <cstdint>

namespace zot::test {

class ByteWriter {
  public:
    ByteWriter& u8(int v) {
        bytes.append(char(uint8_t(v)));
        return *this;
    }
    ByteWriter& u16(int v) {
        u8(v & 0xff);
        return u8((v >> 8) & 0xff);
    }
    ByteWriter& u32(uint32_t v) {
        u16(int(v & 0xffff));
        return u16(int(v >> 16));
    }
    ByteWriter& i32(int32_t v) { return u32(uint32_t(v)); }
    ByteWriter& raw(const QByteArray& b) {
        bytes.append(b);
        return *this;
    }
    ByteWriter& zeros(int n) {
        bytes.append(QByteArray(n, '\0'));
        return *this;
    }
    QByteArray bytes;
};

enum class HeaderKind { Core, Info, Info52, Info56, V4, V5 };

inline int headerSize(HeaderKind k) {
    switch (k) {
    case HeaderKind::Core:
        return 12;
    case HeaderKind::Info:
        return 40;
    case HeaderKind::Info52:
        return 52;
    case HeaderKind::Info56:
        return 56;
    case HeaderKind::V4:
        return 108;
    case HeaderKind::V5:
        return 124;
    }
    return 40;
}

// The fields a made-up BMP file is written with.
struct BmpFileLayout {
    HeaderKind kind = HeaderKind::Info;
    int32_t width = 1;
    int32_t height = 1; // negative: top-down
    int bpp = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    QList<QRgb> palette = {};      // written as given
    uint32_t masks[3] = {0, 0, 0}; // written for bitfields (after a 40-byte header, or in it)
    bool writeMasks = false;
    QByteArray pixels = {};       // the pixel data as stored in the file
    int64_t offBitsOverride = -1; // bogus offsets
};

inline QByteArray buildBmp(const BmpFileLayout& layout) {
    const int hs = headerSize(layout.kind);
    const bool core = layout.kind == HeaderKind::Core;
    const int maskBytes = (layout.writeMasks && layout.kind == HeaderKind::Info) ? 12 : 0;
    const int entry = core ? 3 : 4;
    const uint32_t offBits = uint32_t(14 + hs + maskBytes + layout.palette.size() * entry);
    ByteWriter w;
    w.u8('B').u8('M');
    w.u32(uint32_t(offBits + layout.pixels.size()));
    w.u16(0).u16(0);
    w.u32(layout.offBitsOverride >= 0 ? uint32_t(layout.offBitsOverride) : offBits);
    w.u32(uint32_t(hs));
    if (core) {
        w.u16(layout.width).u16(layout.height).u16(1).u16(layout.bpp);
    } else {
        w.i32(layout.width).i32(layout.height).u16(1).u16(layout.bpp);
        w.u32(layout.compression);
        w.u32(uint32_t(layout.pixels.size()));
        w.i32(2835).i32(2835);
        w.u32(layout.clrUsed).u32(0);
        if (hs >= 52) {
            w.u32(layout.masks[0]).u32(layout.masks[1]).u32(layout.masks[2]);
            if (hs >= 56)
                w.u32(0); // alpha mask
            if (hs >= 108) {
                w.u32(0x73524742);      // LCS_sRGB
                w.zeros(36);            // endpoints
                w.u32(0).u32(0).u32(0); // gamma
            }
            if (hs >= 124)
                w.u32(4).u32(0).u32(0).u32(0); // intent, profile data, size, reserved
        }
    }
    if (maskBytes)
        w.u32(layout.masks[0]).u32(layout.masks[1]).u32(layout.masks[2]);
    for (QRgb c : layout.palette) {
        w.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c));
        if (!core)
            w.u8(0);
    }
    w.raw(layout.pixels);
    return w.bytes;
}

} // namespace zot::test
