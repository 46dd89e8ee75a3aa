// The pictures of docs/designs.md are what zotmaker-cli renders of each
// sample design with its default texts, pixel for pixel (PNG files may differ
// in their bytes). Run tools/make-gallery.sh after changing a design.
#include "platform/DirectoryListing.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

QString slugOf(const QString& design) {
    return design.toLower().replace(u' ', u'-');
}

QStringList sampleDesigns() {
    const QString designs = QStringLiteral(ZOT_DESIGNS_DIR);
    QStringList names;
    for (const DirectoryEntry& entry : listDirectory(designs))
        if (entry.isDirectory && QFile::exists(designs + "/" + entry.name + "/script.zot"))
            names << entry.name;
    names.sort();
    return names;
}

// Where two pictures first differ, or an empty text when they hold the same pixels.
std::string firstDifference(const QImage& made, const QImage& committed) {
    if (made.size() != committed.size())
        return "size " + std::to_string(committed.width()) + "x" +
               std::to_string(committed.height()) + " instead of " + std::to_string(made.width()) +
               "x" + std::to_string(made.height());
    const QImage a = made.convertToFormat(QImage::Format_RGB32);
    const QImage b = committed.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff))
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
    return {};
}

TEST(GalleryPictures, EachIsWhatTheDesignRendersAndThePageShowsIt) {
    const QString gallery = QStringLiteral(ZOT_SOURCE_DIR "/docs/gallery");
    QFile page(QStringLiteral(ZOT_SOURCE_DIR "/docs/designs.md"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll());
    QTemporaryDir out;
    const QStringList designs = sampleDesigns();
    ASSERT_FALSE(designs.isEmpty());
    for (const QString& design : designs) {
        SCOPED_TRACE(design.toStdString());
        const QString slug = slugOf(design);
        const QString rendered = out.filePath(slug + ".png");
        QProcess cli;
        cli.start(QStringLiteral(ZOT_CLI_PATH),
                  {QStringLiteral("render"), QStringLiteral(ZOT_DESIGNS_DIR "/") + design,
                   QStringLiteral("--out"), rendered, QStringLiteral("--format"),
                   QStringLiteral("png")});
        ASSERT_TRUE(cli.waitForFinished(60000));
        ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
        const QImage made(rendered, "png");
        ASSERT_FALSE(made.isNull());
        const QImage committed(gallery + "/" + slug + ".png", "png");
        ASSERT_FALSE(committed.isNull()) << "docs/gallery/" << slug.toStdString()
                                         << ".png is missing: run tools/make-gallery.sh";
        EXPECT_EQ(firstDifference(made, committed), "")
            << "docs/gallery/" << slug.toStdString() << ".png is stale: run tools/make-gallery.sh";
        EXPECT_TRUE(text.contains("gallery/" + slug + ".png"))
            << "docs/designs.md does not show " << slug.toStdString();
        EXPECT_TRUE(text.contains("## " + design)) << "docs/designs.md has no section for it";
    }
    // No picture of a design that is gone.
    for (const DirectoryEntry& entry : listDirectory(gallery)) {
        bool known = false;
        for (const QString& design : designs)
            known = known || entry.name == slugOf(design) + ".png";
        EXPECT_TRUE(known) << "docs/gallery/" << entry.name.toStdString()
                           << " belongs to no design";
    }
}

} // namespace
} // namespace zot
