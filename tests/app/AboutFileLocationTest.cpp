// Where the about text comes from: the working folder first, then the
// program folder; the error box only when neither has it.
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"

#include <QTextEdit>

namespace zot::test {
namespace {

class AboutFileLocationTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(QFile::remove(QStringLiteral("zot-about.rtf")));
    }
    void writeProgramAbout() {
        writeFile(programDir.filePath(QStringLiteral("zot-about.rtf")),
                  "{\\rtf1\\ansi {\\b Installed} about text\\par}");
    }
};

TEST_F(AboutFileLocationTest, TheProgramFoldersFileWhenTheWorkingFolderHasNone) {
    writeProgramAbout();
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Installed about text"));
}

TEST_F(AboutFileLocationTest, TheWorkingFoldersFileComesFirst) {
    writeProgramAbout();
    writeFile(QStringLiteral("zot-about.rtf"), "{\\rtf1\\ansi Local about text\\par}");
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Local about text"));
}

TEST_F(AboutFileLocationTest, AnUnreadableWorkingFolderEntryFallsBackToTheProgramFolder) {
    // A folder of that name cannot be read as a file, even by root.
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("zot-about.rtf")));
    writeProgramAbout();
    TfrmEdit editor(programDir.path());
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(editor.reAbout->toPlainText(), QStringLiteral("Installed about text"));
}

TEST_F(AboutFileLocationTest, NeitherFolderGivesOneErrorBoxWithTheBareName) {
    TfrmEdit editor(programDir.path());
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Cannot open file zot-about.rtf.")});
    EXPECT_TRUE(editor.reAbout->toPlainText().startsWith(QStringLiteral("Zotmaker Logo Builder")));
}

} // namespace
} // namespace zot::test
