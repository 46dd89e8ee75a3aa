// A thumbnail or an about file that is a pipe or a device (archives carry
// links, so a download may hold thumbnail.bmp -> /dev/zero) counts as missing:
// reading it would never end. None of these may block: the pipes never get a
// writer.
#include "app/Catalogue.h"
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"

#include <QTextEdit>
#include <QToolButton>
#include <sys/stat.h>
#include <unistd.h>

namespace zot::test {
namespace {

// Puts at path what is no regular file: a pipe, or a link to /dev/zero or to
// a pipe.
enum class Odd { Pipe, LinkToDevZero, LinkToPipe };

void makeOdd(const QString& path, Odd kind) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray native = QFile::encodeName(path);
    switch (kind) {
    case Odd::Pipe:
        ASSERT_EQ(::mkfifo(native.constData(), 0644), 0);
        break;
    case Odd::LinkToDevZero:
        ASSERT_EQ(::symlink("/dev/zero", native.constData()), 0);
        break;
    case Odd::LinkToPipe:
        ASSERT_EQ(::mkfifo((native + ".pipe").constData(), 0644), 0);
        ASSERT_EQ(::symlink((native + ".pipe").constData(), native.constData()), 0);
        break;
    }
}

const char* oddName(Odd kind) {
    switch (kind) {
    case Odd::Pipe:
        return "Pipe";
    case Odd::LinkToDevZero:
        return "LinkToDevZero";
    case Odd::LinkToPipe:
        return "LinkToPipe";
    }
    return "";
}

class NotAFileTest : public WindowFixture, public ::testing::WithParamInterface<Odd> {};

TEST_P(NotAFileTest, AThumbnailThatIsNoFileLeavesTheCaption) {
    makeDesign(QStringLiteral("Odd"), "name=x\n");
    const QString thumbnail = designPath(QStringLiteral("Odd/thumbnail.bmp"));
    makeOdd(thumbnail, GetParam());

    const std::vector<DesignFolderEntry> designs = scanDesignFolders(programDir.path());
    ASSERT_EQ(designs.size(), 1u);
    EXPECT_TRUE(designs[0].thumbnailPath.isEmpty());
    // Read all the same (it may have become one since the scan): no glyph.
    EXPECT_TRUE(loadThumbnailGlyph(thumbnail, QSize(100, 28)).isNull());

    TfrmZOT window(programDir.path());
    ASSERT_EQ(window.MenuButtons.size(), size_t(1));
    EXPECT_EQ(window.MenuButtons[0]->text(), QStringLiteral("Odd"));
    EXPECT_TRUE(window.MenuButtons[0]->icon().isNull());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_P(NotAFileTest, AnAboutFileThatIsNoFileIsPassedOver) {
    const QString local = QStringLiteral("zot-about.rtf");
    ASSERT_TRUE(QFile::remove(local));
    makeOdd(QDir::current().absoluteFilePath(local), GetParam());
    writeFile(programDir.filePath(local), "{\\rtf1\\ansi Installed about text\\par}");
    {
        TfrmEdit editor(programDir.path());
        EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
        EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Installed about text"));
    }
    // Both places odd: as if neither had one.
    ASSERT_TRUE(QFile::remove(programDir.filePath(local)));
    makeOdd(programDir.filePath(local), GetParam());
    TfrmEdit editor(programDir.path());
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Cannot open file zot-about.rtf.")});
    EXPECT_TRUE(editor.reAbout->toPlainText().startsWith(QStringLiteral("Zotmaker Logo Builder")));
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotAFileTest,
                         ::testing::Values(Odd::Pipe, Odd::LinkToDevZero, Odd::LinkToPipe),
                         [](const auto& test) { return std::string(oddName(test.param)); });

// An about file of exactly limit bytes whose text is "text": the rest is a
// group the reader skips, so that laying it out costs nothing.
QByteArray aboutOfSize(qint64 size, const QByteArray& text) {
    const QByteArray head = "{\\rtf1\\ansi " + text + "\\par{\\*\\zotpadding ";
    const QByteArray tail = "}}";
    return head + QByteArray(qsizetype(size) - head.size() - tail.size(), 'x') + tail;
}

using AboutFileLimit = WindowFixture;

TEST_F(AboutFileLimit, OneOverIsRefusedAndOneAtItIsRead) {
    const qint64 limit = TfrmEdit::kMaxAboutBytes;
    EXPECT_EQ(limit, 256 * 1024);
    writeFile(programDir.filePath(QStringLiteral("zot-about.rtf")),
              "{\\rtf1\\ansi Installed about text\\par}");
    writeFile(QStringLiteral("zot-about.rtf"), aboutOfSize(limit + 1, "Too large"));
    {
        TfrmEdit editor(programDir.path());
        EXPECT_TRUE(errors.texts.isEmpty());
        EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Installed about text"));
    }
    writeFile(QStringLiteral("zot-about.rtf"), aboutOfSize(limit, "Just fits"));
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Just fits"));
}

} // namespace
} // namespace zot::test
