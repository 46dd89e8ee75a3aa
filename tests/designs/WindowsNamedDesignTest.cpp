#include "designs/DesignFolders.h"
#include "designs/Thumbnails.h"
#include "imaging/Bitmap.h"
#include "imaging/BmpCodec.h"

#include "support/RawNames.h"
#include <QFile>

#include <gtest/gtest.h>

namespace zot::test {
namespace {

TEST(WindowsNamedDesign, IsCataloguedWithItsThumbnail) {
    RawTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray folder = QFile::encodeName(dir.path()) + "/Caf\xe9"; // "Café", Windows-1252
    mkdirRaw(folder);
    writeRaw(folder + "/script.zot", "name=Caf\xe9\n");
    Bitmap thumbnail = Bitmap::create(20, 10, 24);
    thumbnail.fill(0xff0000ff);
    writeRaw(folder + "/thumbnail.bmp", encodeBmp(thumbnail));

    const std::vector<DesignFolderEntry> designs = scanDesignFolders(dir.path(), 25);
    ASSERT_EQ(designs.size(), 1u);
    EXPECT_EQ(designs[0].name, QStringLiteral("Café"));
    ASSERT_FALSE(designs[0].thumbnailPath.isEmpty());
    const QImage glyph = loadThumbnailGlyph(designs[0].thumbnailPath, QSize(100, 28));
    EXPECT_EQ(glyph.size(), QSize(20, 10));
}

} // namespace
} // namespace zot::test
