#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace zot::test {
namespace {

class AboutTextTest : public WindowFixture {};

TEST_F(AboutTextTest, MissingFileGivesOneErrorBoxAndTheBuiltInText) {
    ASSERT_TRUE(QFile::remove(QStringLiteral("zot-about.rtf")));
    TfrmEdit editor(programDir.path());
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Cannot open file zot-about.rtf.")});
    const QString text = editor.reAbout->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Zotmaker Logo Builder\n(ZOT)")));
    // Each block after the heading under its title, in this order.
    qsizetype at = 0;
    for (const char* title :
         {"\nZOT\n", "Download", "Known problems", "Copyright", "Distribution"}) {
        const qsizetype found = text.indexOf(QString::fromUtf8(title), at);
        EXPECT_GT(found, at) << title;
        at = std::max(at, found);
    }
    EXPECT_TRUE(text.contains(QStringLiteral("docs/script-language.md")));
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("About"));
    EXPECT_FALSE(editor.reAbout->isHidden());
}

TEST_F(AboutTextTest, ARichTextFileIsShownWithItsFormatting) {
    writeFile(QStringLiteral("zot-about.rtf"),
              "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}"
              "\\qc{\\b\\fs36 Our logos}\\par\\pard Made with \\cf1 care\\cf0 .\\par}");
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    QTextDocument* doc = editor.reAbout->document();
    EXPECT_EQ(doc->toPlainText(), QStringLiteral("Our logos\nMade with care."));
    const QTextBlock first = doc->firstBlock();
    EXPECT_EQ(first.blockFormat().alignment(), Qt::AlignHCenter);
    const QTextCharFormat heading = first.begin().fragment().charFormat();
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(heading.fontPointSize(), 18.0);
    QTextCursor cursor(doc);
    cursor.setPosition(doc->toPlainText().indexOf(QStringLiteral("care")) + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
    // The view opens at the heading, not at the end where the reader stopped.
    EXPECT_EQ(editor.reAbout->textCursor().position(), 0);
}

TEST_F(AboutTextTest, ContentThatIsNotRichTextIsShownAsPlainText) {
    writeFile(QStringLiteral("zot-about.rtf"), "Plain {about} \\b text\nsecond line\n");
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(editor.reAbout->toPlainText(),
              QStringLiteral("Plain {about} \\b text\nsecond line\n"));
}

TEST_F(AboutTextTest, TheShippedAboutFileHasEveryBlockFormatted) {
    QFile shipped(QStringLiteral(ZOT_SOURCE_DIR "/zot-about.rtf"));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray content = shipped.readAll();
    ASSERT_TRUE(content.startsWith("{\\rtf1"));
    writeFile(QStringLiteral("zot-about.rtf"), content);
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    QTextDocument* doc = editor.reAbout->document();
    const QString text = doc->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Zotmaker Logo Builder\n(ZOT)\n")))
        << text.left(40).toStdString();
    qsizetype at = 0;
    for (const char* title :
         {"\nZOT\n", "\nDownload\n", "\nKnown problems\n", "\nCopyright\n", "\nDistribution\n"}) {
        const qsizetype found = text.indexOf(QString::fromUtf8(title), at);
        EXPECT_GT(found, at) << title;
        at = std::max(at, found);
    }
    EXPECT_TRUE(text.contains(QStringLiteral("docs/script-language.md")));
    EXPECT_TRUE(text.contains(QStringLiteral("Copyright \u00A9 2024")));
    EXPECT_EQ(doc->firstBlock().begin().fragment().charFormat().fontWeight(), QFont::Bold);
    bool italic = false;
    for (QTextBlock block = doc->firstBlock(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            italic = italic || it.fragment().charFormat().fontItalic();
    EXPECT_TRUE(italic);
}

} // namespace
} // namespace zot::test
