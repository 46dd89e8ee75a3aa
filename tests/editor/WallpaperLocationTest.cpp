// Set as wallpaper with a program folder that cannot be written, as when the
// program is installed: the file goes to the user's data folder instead.
#include "editor/TfrmEdit.h"
#include "imaging/BmpCodec.h"
#include "support/EnvironmentOverride.h"
#include "support/WindowFixture.h"
#include "widgets/TabcToolButton.h"

#include <QLineEdit>
#include <memory>

namespace zot::test {
namespace {

class WallpaperLocationTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(dataHome.isValid());
        dataHomeVariable = std::make_unique<EnvironmentOverride>(
            "XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        makeDesign(QStringLiteral("Out"),
                   "name=Out\nbackgroundImage=bg.bmp\n" + ttfSection("Line", "Alpha"), 120, 30);
    }
    void TearDown() override {
        editor.reset();
        dataHomeVariable.reset();
        WindowFixture::TearDown();
    }

    // The editor of a program folder; the design comes from programDir.
    void openEditor(const QString& programFolder) {
        editor = std::make_unique<TfrmEdit>(programFolder);
        editor->show();
        runGuarded([this] { editor->OpenDesign(QStringLiteral("Out"), programDir.path()); });
        ASSERT_EQ(editor->LabelCount, 1);
    }

    static QByteArray fileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dataHome;
    std::unique_ptr<EnvironmentOverride> dataHomeVariable;
    std::unique_ptr<TfrmEdit> editor;
};

TEST_F(WallpaperLocationTest, AReadOnlyProgramFolderSendsTheFileToTheDataFolder) {
    // Not even root can create a file in /proc.
    openEditor(QStringLiteral("/proc"));
    const QString expected = dataHome.path() + QStringLiteral("/zotmaker/@WS!BACK.BMP");
    EXPECT_EQ(editor->wallpaperPath(), expected);
    editor->abcTBWallpaper->click();
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_EQ(fileBytes(expected), encodeBmp(editor->engine().logo()));

    // The same file again, overwritten with the new logo.
    const QByteArray first = fileBytes(expected);
    editor->Edits[0]->setText(QStringLiteral("A much longer line of text"));
    editor->abcTBWallpaper->click();
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_NE(fileBytes(expected), first);
    EXPECT_EQ(fileBytes(expected), encodeBmp(editor->engine().logo()));
}

TEST_F(WallpaperLocationTest, AWritableProgramFolderKeepsTheFile) {
    openEditor(programDir.path());
    editor->abcTBWallpaper->click();
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(fileBytes(programDir.filePath(QStringLiteral("@WS!BACK.BMP"))),
              encodeBmp(editor->engine().logo()));
    EXPECT_FALSE(QFileInfo::exists(dataHome.filePath(QStringLiteral("zotmaker"))));
}

TEST_F(WallpaperLocationTest, ADataFolderThatCannotBeMadeIsTheFilesError) {
    dataHomeVariable.reset();
    dataHomeVariable = std::make_unique<EnvironmentOverride>("XDG_DATA_HOME", "/proc/zot");
    openEditor(QStringLiteral("/proc"));
    editor->abcTBWallpaper->click();
    EXPECT_EQ(errors.texts,
              QStringList{QStringLiteral("Cannot create file /proc/zot/zotmaker/@WS!BACK.BMP.")});
}

} // namespace
} // namespace zot::test
