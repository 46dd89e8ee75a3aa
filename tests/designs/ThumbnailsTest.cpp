#include "designs/Thumbnails.h"
#include "imaging/Bitmap.h"

#include <gtest/gtest.h>

namespace zot::test {
namespace {

TEST(ThumbnailGlyph, BottomLeftColourIsSeeThrough) {
    Bitmap bitmap = Bitmap::create(20, 10, 24);
    bitmap.fill(qRgb(255, 0, 255));
    bitmap.setPixel(5, 5, qRgb(255, 0, 0));
    const QImage glyph = thumbnailGlyph(bitmap, QSize(100, 28));
    ASSERT_EQ(glyph.size(), QSize(20, 10));
    EXPECT_EQ(qAlpha(glyph.pixel(0, 9)), 0);
    EXPECT_EQ(qAlpha(glyph.pixel(19, 0)), 0);
    EXPECT_EQ(glyph.pixel(5, 5), qRgb(255, 0, 0));
}

TEST(ThumbnailGlyph, TwoColourPicturesLoseTheirWhite) {
    Bitmap bitmap = Bitmap::create(8, 8, 1, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
    bitmap.fill(qRgb(255, 255, 255));
    bitmap.setPixel(0, 7, qRgb(0, 0, 0)); // bottom-left black, still white is see-through
    const QImage glyph = thumbnailGlyph(bitmap, QSize(100, 28));
    EXPECT_EQ(qAlpha(glyph.pixel(3, 3)), 0);
    EXPECT_EQ(glyph.pixel(0, 7), qRgb(0, 0, 0));
}

TEST(ThumbnailGlyph, ALargePictureShowsItsCentre) {
    Bitmap bitmap = Bitmap::create(300, 60, 24);
    bitmap.fill(qRgb(0, 128, 0));
    bitmap.setPixel(100, 16, qRgb(255, 0, 0)); // the shown part's top-left corner
    bitmap.setPixel(199, 43, qRgb(0, 0, 255)); // and its bottom-right one
    bitmap.setPixel(0, 59, qRgb(1, 2, 3));     // the see-through colour, outside the part
    const QImage glyph = thumbnailGlyph(bitmap, QSize(100, 28));
    ASSERT_EQ(glyph.size(), QSize(100, 28));
    EXPECT_EQ(glyph.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(glyph.pixel(99, 27), qRgb(0, 0, 255));
    EXPECT_EQ(glyph.pixel(50, 10), qRgb(0, 128, 0));
}

} // namespace
} // namespace zot::test
