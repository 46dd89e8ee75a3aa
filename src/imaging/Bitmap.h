#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>
#include <functional>
#include <memory>

class QPainter;

namespace zot {

namespace detail {
struct NearestCache; // colour -> nearest palette entry, shared by copies
}

// A picture that keeps the pixel format it was loaded in (1, 4, 8, 16, 24 or
// 32 bits per pixel, with its colour table when paletted) so that a logo is
// written back in the format of its background.
//
// Storage: paletted formats live in a QImage::Format_Indexed8 whose colour
// table is the bitmap's palette; 16-bit ones in Format_RGB555 (or
// Format_RGB16 for 5-6-5 bitfields); 24- and 32-bit ones in Format_RGB32.
// A bitmap with a zero width or height holds a null QImage but keeps its
// format, so widening it later gives the right kind of picture.
class Bitmap {
  public:
    Bitmap() = default; // empty, 0 x 0, 32 bits per pixel

    // A new picture whose pixels are all bits 0 (black, or palette entry 0).
    // Throws Error::pictureTooLarge past the size limits.
    static Bitmap create(int width, int height, int bitsPerPixel = 32,
                         const QList<QRgb>& palette = {}, bool rgb565 = false);
    // Wraps an image already in the storage format for bitsPerPixel.
    static Bitmap fromStorage(QImage storage, int bitsPerPixel, bool rgb565 = false);
    // Converts any QImage (alpha dropped) to a 24-bit bitmap, or 8-bit when indexed.
    static Bitmap fromQImage(const QImage& image);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }
    int bitsPerPixel() const { return bpp_; }
    bool isPaletted() const { return bpp_ <= 8; }
    bool isRgb565() const { return rgb565_; }
    const QList<QRgb>& palette() const { return palette_; }

    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }
    // The see-through colour: the bottom-left pixel's, white for 1 bit per pixel.
    QRgb transparentColor() const;

    // Colour (0xffRRGGBB) at x, y; 0 outside the picture.
    QRgb pixel(int x, int y) const;
    // Sets one pixel to the nearest colour the format can hold.
    void setPixel(int x, int y, QRgb colour);
    void fill(QRgb colour);

    // Changes the width keeping the existing pixels in place; new columns are
    // white (the nearest palette entry for paletted bitmaps). A negative width
    // counts as 0. Throws Error::pictureTooLarge past the size limits.
    void setWidth(int width);

    // Draws src with its top-left corner at (x, y), clipped to this bitmap.
    // Transparent when src.transparent(): pixels of src's see-through colour
    // are left out. Colours map to this bitmap's format.
    void draw(const Bitmap& src, qint64 x, qint64 y);

    // A copy of the part of this picture within area (clipped to it), in the
    // same format and palette.
    Bitmap section(const QRect& area) const;

    // Runs fn with a QPainter on this bitmap. Paletted pictures are painted on
    // a true-colour copy and mapped back to the nearest palette entries.
    void paint(const std::function<void(QPainter&)>& fn);

    // The pixels as a displayable image (null when empty).
    QImage toImage() const;
    // The part given (the whole, without one) as ARGB32, every pixel of the
    // see-through colour clear, whether or not the bitmap is transparent.
    QImage toImageSeeThrough(const QRect& part = QRect()) const;
    const QImage& storage() const { return image_; }

  private:
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 32;
    bool rgb565_ = false;
    bool transparent_ = false;
    QList<QRgb> palette_;
    QImage image_;
    // Lookup cache for nearestIndex; set for paletted bitmaps, shared by
    // copies (the palette never changes once a bitmap is made). It has no
    // lock: a bitmap and its copies belong to one thread.
    std::shared_ptr<detail::NearestCache> nearest_;

    int nearestIndex(QRgb colour) const;
    void ensureDetached();
    void initPalette(const QList<QRgb>& palette);
};

} // namespace zot
