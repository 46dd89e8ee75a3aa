// Save, copy and wallpaper through the editor's toolbar, and when they can be used.
#include "platform/Wallpaper.h"
#include "support/OutputFixture.h"
#include "widgets/TabcToolButton.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTest>

namespace zot::test {
namespace {

class OutputActionsTest : public OutputFixture {
  protected:
    QByteArray logoBytes() const { return encodeBmp(editor->engine().logo()); }
};

TEST_F(OutputActionsTest, SaveAndWallpaperWriteTheFullSizeLogoAtAnyZoom) {
    for (const char* zoom : {"10%", "200%"}) {
        SCOPED_TRACE(zoom);
        editor->cbSize->setEditText(QString::fromLatin1(zoom));
        QTest::keyClicks(editor->Edits[0], QStringLiteral("W"));
        ASSERT_NE(editor->imgEdit->width(), kWidth); // the view is zoomed, the file is not
        const QString saved = out(QString::fromLatin1(zoom) + QStringLiteral(".bmp"));
        dialogs.answer(saved);
        editor->abcTBSave->click();
        editor->abcTBWallpaper->click();
        const std::optional<Bitmap> back = readBack(saved);
        ASSERT_TRUE(back);
        EXPECT_EQ(QSize(back->width(), back->height()), QSize(kWidth, kHeight));
        EXPECT_EQ(back->bitsPerPixel(), 24);
        EXPECT_GT(ink(*back, 0, kSplit), 0);
        EXPECT_EQ(fileBytes(saved), logoBytes());
        EXPECT_EQ(fileBytes(editor->wallpaperPath()), logoBytes());
    }
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(OutputActionsTest, SaveOffersZotBmpEveryTimeAddsBmpAndAsksBeforeReplacing) {
    dialogs.answer(out(QStringLiteral("first")));    // typed without extension
    dialogs.answer(out(QStringLiteral("logo.png"))); // another extension stays
    dialogs.cancel();
    // The PNG filter writes PNG, adding its own extension.
    dialogs.answer(out(QStringLiteral("web")), QStringLiteral("PNG picture (*.png)"));
    for (int i = 0; i < 4; ++i)
        editor->abcTBSave->click();
    ASSERT_EQ(dialogs.asked.size(), 4u);
    // The first opens in the working folder, later ones in the folder saved to last.
    EXPECT_EQ(dialogs.asked[0].initialPath, QStringLiteral("zot.bmp"));
    EXPECT_EQ(dialogs.asked[1].initialPath, out(QStringLiteral("zot.bmp")));
    EXPECT_EQ(dialogs.asked[2].initialPath, out(QStringLiteral("zot.bmp")));
    for (const FileDialogRequest& request : dialogs.asked) {
        EXPECT_EQ(request.kind, FileDialogRequest::Kind::SaveFile);
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("bmp"));
        EXPECT_TRUE(request.confirmOverwrite);
        EXPECT_EQ(request.nameFilters, QStringList({QStringLiteral("BMP picture (*)"),
                                                    QStringLiteral("PNG picture (*.png)")}));
    }
    EXPECT_EQ(fileBytes(out(QStringLiteral("first.bmp"))), logoBytes());
    EXPECT_EQ(fileBytes(out(QStringLiteral("logo.png"))), logoBytes());
    const QImage png(out(QStringLiteral("web.png")), "png");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.convertToFormat(QImage::Format_RGB32),
              editor->engine().logo().toImage().convertToFormat(QImage::Format_RGB32));
    // Cancel wrote nothing.
    EXPECT_EQ(QDir(outDir.path()).entryList(QDir::Files).size(), 3);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(OutputActionsTest, SaveToAFolderThatIsNotThereIsAnErrorBox) {
    const QString path = out(QStringLiteral("missing/logo.bmp"));
    dialogs.answer(path);
    editor->abcTBSave->click();
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Cannot create file ") + path + u'.'});
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(OutputActionsTest, WallpaperSettingsChangeSpellingOnTheSecondUse) {
    const QString path = editor->wallpaperPath();
    EXPECT_EQ(path, programDir.filePath(QStringLiteral("@WS!BACK.BMP")));
    editor->abcTBWallpaper->click();
    const QString first = keyfile();
    EXPECT_TRUE(first.contains(QStringLiteral("picture-uri='") + wallpaperUri(path, false) + u'\''))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("picture-uri-dark='") + wallpaperUri(path, false)));
    EXPECT_TRUE(first.contains(QStringLiteral("picture-options='centered'")));
    EXPECT_TRUE(first.contains(QStringLiteral("primary-color='#ffffff'")));

    // A new logo replaces the file, and the desktop sees a changed URI.
    QTest::keyClicks(editor->Edits[1], QStringLiteral("xyz"));
    editor->abcTBWallpaper->click();
    EXPECT_EQ(fileBytes(path), logoBytes());
    const QString second = keyfile();
    EXPECT_TRUE(second.contains(QStringLiteral("picture-uri='") + wallpaperUri(path, true) + u'\''))
        << second.toStdString();
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(OutputActionsTest, WallpaperThatCannotBeWrittenChangesNoSetting) {
    // A folder in the file's place cannot be opened for writing, even by root.
    const QString path = editor->wallpaperPath();
    ASSERT_TRUE(QDir().mkpath(path));
    const QString before = keyfile();
    editor->abcTBWallpaper->click();
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("Cannot create file ") + path + u'.'});
    EXPECT_EQ(keyfile(), before);
}

TEST_F(OutputActionsTest, CopyPutsTheFullSizeLogoOnTheClipboard) {
    editor->cbSize->setEditText(QStringLiteral("10%"));
    QGuiApplication::clipboard()->clear();
    editor->abcTBCopy->click();
    const QImage pasted = QGuiApplication::clipboard()->image();
    ASSERT_EQ(pasted.size(), QSize(kWidth, kHeight));
    const Bitmap& logo = editor->engine().logo();
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(pasted.pixel(x, y) | 0xff000000, logo.pixel(x, y) | 0xff000000)
                << x << "," << y;
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(OutputActionsTest, ALogoWithAlphaShowsOverACheckerboardAndKeepsItsAlphaInPngOnly) {
    // Left half clear, right half opaque.
    QImage bg(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            bg.setPixel(x, y, x < 20 ? 0x00ffffffu : 0xff3080c0u);
    makeDesign(QStringLiteral("Clear"), "backgroundImage=bg.png\n");
    ASSERT_TRUE(bg.save(designPath(QStringLiteral("Clear/bg.png")), "png"));
    runGuarded([this] { editor->OpenDesign(QStringLiteral("Clear")); });
    editor->cbSize->setEditText(QStringLiteral("100%"));
    QImage shown(editor->imgEdit->size(), QImage::Format_RGB32);
    editor->imgEdit->render(&shown);
    ASSERT_EQ(shown.size(), QSize(40, 20));
    EXPECT_EQ(shown.pixel(0, 0), 0xffffffffu);
    EXPECT_EQ(shown.pixel(8, 0), 0xffccccccu);
    EXPECT_EQ(shown.pixel(30, 0), 0xff3080c0u);

    QGuiApplication::clipboard()->clear();
    editor->abcTBCopy->click();
    const QImage pasted = QGuiApplication::clipboard()->image();
    ASSERT_TRUE(pasted.hasAlphaChannel());
    EXPECT_EQ(qAlpha(pasted.pixel(0, 0)), 0);
    EXPECT_EQ(pasted.pixel(30, 0), 0xff3080c0u);

    dialogs.answer(out(QStringLiteral("clear.bmp")));
    dialogs.answer(out(QStringLiteral("clear")), QStringLiteral("PNG picture (*.png)"));
    editor->abcTBSave->click();
    editor->abcTBSave->click();
    EXPECT_EQ(fileBytes(out(QStringLiteral("clear.bmp"))), logoBytes());
    const QImage png(out(QStringLiteral("clear.png")), "png");
    ASSERT_TRUE(png.hasAlphaChannel());
    EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
    EXPECT_EQ(png.pixel(30, 0), 0xff3080c0u);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

struct EnablingCase {
    const char* name;
    QByteArray script; // empty: no script.zot at all
    bool reset;        // the about command's reset afterwards
    bool enabled;
};

TEST_F(OutputActionsTest, ControlsAreEnabledExactlyWhileADesignIsOpen) {
    const std::vector<QWidget*> controls{editor->abcTBSave, editor->abcTBCopy,
                                         editor->abcTBWallpaper, editor->cbSize, editor->bbBatch};
    const auto expectAll = [&](bool enabled) {
        for (QWidget* control : controls)
            EXPECT_EQ(control->isEnabled(), enabled) << control->objectName().toStdString();
    };
    {
        SCOPED_TRACE("start");
        TfrmEdit fresh(programDir.path());
        for (QWidget* control :
             {static_cast<QWidget*>(fresh.abcTBSave), static_cast<QWidget*>(fresh.abcTBCopy),
              static_cast<QWidget*>(fresh.abcTBWallpaper), static_cast<QWidget*>(fresh.cbSize),
              static_cast<QWidget*>(fresh.bbBatch)})
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }
    const std::vector<EnablingCase> cases{
        {"open", "backgroundImage=bg.bmp\n", false, true},
        {"script errors", "bogus\n", false, true},
        {"bad number", "backgroundExtraMarge=12px\n", false, true},
        {"script missing", "", false, true},
        {"about view", "backgroundImage=bg.bmp\n", true, false},
    };
    for (const EnablingCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder = QString::fromLatin1(c.name);
        if (!c.script.isEmpty())
            makeDesign(folder, c.script, 20, 10);
        editor->ResetDesign();
        expectAll(false);
        runGuarded([&] { editor->OpenDesign(folder); });
        if (c.reset)
            editor->ResetDesign();
        expectAll(c.enabled);
    }
    EXPECT_EQ(errors.texts.size(), 2); // the bad number and the missing script
}

} // namespace
} // namespace zot::test
