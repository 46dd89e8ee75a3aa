// The pictures of docs/designs.md are what zotmaker-cli renders of each
// sample design with its default texts, pixel for pixel (PNG files may differ
// in their bytes), and so are the guide's pictures of the lettering commands
// of their designs in docs/images/lettering/. Run tools/make-gallery.sh after
// changing a design.
#include "platform/DirectoryListing.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

QString slugOf(const QString& design) {
    return design.toLower().replace(u' ', u'-');
}

// The design folders directly in a folder, sorted.
QStringList designsIn(const QString& designs) {
    QStringList names;
    for (const DirectoryEntry& entry : listDirectory(designs))
        if (entry.isDirectory && QFile::exists(designs + "/" + entry.name + "/script.zot"))
            names << entry.name;
    names.sort();
    return names;
}

QStringList sampleDesigns() {
    return designsIn(QStringLiteral(ZOT_DESIGNS_DIR));
}

// What zotmaker-cli renders of a design folder, or why it could not.
QImage rendered(const QString& design, const QString& png, std::string& failure) {
    QProcess cli;
    cli.start(QStringLiteral(ZOT_CLI_PATH),
              {QStringLiteral("render"), design, QStringLiteral("--out"), png,
               QStringLiteral("--format"), QStringLiteral("png")});
    if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
        failure = cli.readAllStandardError().toStdString();
        return {};
    }
    return QImage(png, "png");
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
        std::string failure;
        const QImage made = rendered(QStringLiteral(ZOT_DESIGNS_DIR "/") + design,
                                     out.filePath(slug + ".png"), failure);
        ASSERT_FALSE(made.isNull()) << failure;
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

// One picture per lettering command in the guide, each what its design
// renders, and none of a design that is gone.
TEST(GalleryPictures, TheGuidesLetteringPicturesAreWhatTheirDesignsRender) {
    const QString designs = QStringLiteral(ZOT_SOURCE_DIR "/docs/images/lettering");
    const QString pictures = QStringLiteral(ZOT_SOURCE_DIR "/docs/lettering");
    QFile guide(QStringLiteral(ZOT_SOURCE_DIR "/docs/script-language.md"));
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(guide.readAll());
    const QStringList commands = designsIn(designs);
    ASSERT_EQ(commands.size(), 12);
    QTemporaryDir out;
    for (const QString& command : commands) {
        SCOPED_TRACE(command.toStdString());
        std::string failure;
        const QImage made =
            rendered(designs + "/" + command, out.filePath(command + ".png"), failure);
        ASSERT_FALSE(made.isNull()) << failure;
        const QImage committed(pictures + "/" + command + ".png", "png");
        ASSERT_FALSE(committed.isNull()) << "docs/lettering/" << command.toStdString()
                                         << ".png is missing: run tools/make-gallery.sh";
        EXPECT_EQ(firstDifference(made, committed), "")
            << "docs/lettering/" << command.toStdString()
            << ".png is stale: run tools/make-gallery.sh";
        // The guide shows the picture beside the command it is named after.
        EXPECT_TRUE(text.contains("`" + command + "`")) << "the guide does not name it";
        EXPECT_TRUE(text.contains("lettering/" + command + ".png")) << "the guide does not show it";
    }
    for (const DirectoryEntry& entry : listDirectory(pictures))
        EXPECT_TRUE(commands.contains(QFileInfo(entry.name).completeBaseName()))
            << "docs/lettering/" << entry.name.toStdString() << " belongs to no design";
}

} // namespace
} // namespace zot
