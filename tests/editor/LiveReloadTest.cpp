// A design open in the window follows its files: a saved change shows
// without a click, once the files have been quiet.
#include "app/TfrmZOT.h"
#include "editor/DesignReloader.h"
#include "editor/TfrmEdit.h"
#include "support/Polling.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextEdit>
#include <QToolButton>
#include <memory>
#include <unistd.h>

namespace zot::test {
namespace {

constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);

class LiveReloadTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        writeBmp(file(QStringLiteral("bg.bmp")), 40, 20, [](int, int) { return kBlue; });
        writeBmp(file(QStringLiteral("chars/a.bmp")), 5, 5, [](int, int) { return qRgb(0, 0, 0); });
        saveScript("name=Live\nbackgroundImage=bg.bmp\n" + ttfSection("One", "first") +
                   ttfSection("Two", "second"));
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
        for (QToolButton* b : window->MenuButtons)
            if (b->property("folderName").toString() == u"Live")
                b->click();
        ASSERT_EQ(editor().caption(), u"Live");
    }
    void TearDown() override {
        window.reset();
        WindowFixture::TearDown();
    }

    QString file(const QString& name) const {
        return designPath(QStringLiteral("Live")) + u'/' + name;
    }
    TfrmEdit& editor() { return *window->frmEdit; }
    QRgb logoAt(int x, int y) { return editor().engine().logo().pixel(x, y) & RGB_MASK; }

    // As editors save: a new file renamed over the old one.
    void saveScript(const QByteArray& script) {
        QSaveFile save(file(QStringLiteral("script.zot")));
        ASSERT_TRUE(save.open(QIODevice::WriteOnly));
        save.write(script);
        ASSERT_TRUE(save.commit());
    }
    bool reopenedOnce(int before) {
        return waitUntil([&] { return editor().reopenCount() > before; });
    }
    void settled() {
        settle([this] { return editor().reloader().busy(); });
    }

    std::unique_ptr<TfrmZOT> window;
};

TEST_F(LiveReloadTest, APictureSavedOverShowsInTheViewWithoutAClick) {
    EXPECT_EQ(logoAt(0, 0), kBlue & RGB_MASK);
    const int before = editor().reopenCount();
    const QString temporary = file(QStringLiteral(".bg.bmp.new"));
    writeBmp(temporary, 40, 20, [](int, int) { return kRed; });
    ASSERT_EQ(::rename(QFile::encodeName(temporary).constData(),
                       QFile::encodeName(file(QStringLiteral("bg.bmp"))).constData()),
              0);
    ASSERT_TRUE(waitUntil([&] { return logoAt(0, 0) == (kRed & RGB_MASK); }));
    EXPECT_GT(editor().reopenCount(), before);
    // What the view paints is the new logo.
    const QImage shown = editor().imgEdit->grab().toImage();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixel(0, 0) & RGB_MASK, kRed & RGB_MASK);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(LiveReloadTest, ACharacterPictureAddedOrAFileWrittenInPlaceReopens) {
    saveScript("name=Live\nbackgroundImage=bg.bmp\nimgFont\nname=chars\nlabel=L\ndefault=ab\n"
               "imgFontEnd\n");
    ASSERT_TRUE(waitUntil([&] { return editor().LabelCount == 1; }));
    settled();
    ASSERT_EQ(editor().engine().design().ImgFonts.front()->Count, 1);
    // A new picture in the character folder.
    int before = editor().reopenCount();
    writeBmp(file(QStringLiteral("chars/b.bmp")), 5, 5, [](int, int) { return qRgb(1, 1, 1); });
    ASSERT_TRUE(reopenedOnce(before));
    ASSERT_TRUE(waitUntil([&] { return editor().engine().design().ImgFonts.front()->Count == 2; }));
    // A background rewritten in place, not renamed.
    settled();
    before = editor().reopenCount();
    writeBmp(file(QStringLiteral("bg.bmp")), 40, 20, [](int, int) { return kRed; });
    ASSERT_TRUE(reopenedOnce(before));
    ASSERT_TRUE(waitUntil([&] { return logoAt(39, 19) == (kRed & RGB_MASK); }));
}

TEST_F(LiveReloadTest, ABurstOfSavesIsOneReopening) {
    settled();
    const int before = editor().reopenCount();
    for (int i = 0; i < 10; ++i)
        saveScript("name=Burst " + QByteArray::number(i) + "\nbackgroundImage=bg.bmp\n" +
                   ttfSection("One", "first"));
    ASSERT_TRUE(reopenedOnce(before));
    settled();
    EXPECT_EQ(editor().reopenCount(), before + 1);
    EXPECT_EQ(editor().caption(), u"Burst 9");
    EXPECT_EQ(editor().LabelCount, 1);
}

TEST_F(LiveReloadTest, TypedTextsStayAndUntouchedInputsTakeTheNewDefaults) {
    editor().Edits[0]->setFocus();
    editor().Edits[0]->setText(QStringLiteral("typed"));
    settled();
    const int before = editor().reopenCount();
    saveScript("name=Live\nbackgroundImage=bg.bmp\n" + ttfSection("One", "first again") +
               ttfSection("Two", "second again") + ttfSection("Three", "third"));
    ASSERT_TRUE(reopenedOnce(before));
    ASSERT_EQ(editor().LabelCount, 3);
    EXPECT_EQ(editor().labelText(1), u"typed");
    EXPECT_EQ(editor().labelText(2), u"second again");
    EXPECT_EQ(editor().labelText(3), u"third");
    EXPECT_EQ(editor().engine().labelText(1), u"typed");
    // Typing goes on in the same input.
    EXPECT_EQ(QApplication::focusWidget(), editor().Edits[0]);
    // Fewer inputs: the first keeps its text all the same.
    settled();
    saveScript("name=Live\nbackgroundImage=bg.bmp\n" + ttfSection("One", "first"));
    ASSERT_TRUE(waitUntil([&] { return editor().LabelCount == 1; }));
    EXPECT_EQ(editor().labelText(1), u"typed");
}

TEST_F(LiveReloadTest, AReopeningAppendsToTheErrorListAndABadNumberIsALineNotABox) {
    saveScript("name=Live\nbogus one\nbackgroundImage=bg.bmp\n");
    ASSERT_TRUE(waitUntil([&] { return editor().mErrors->toPlainText().contains(u"bogus one"); }));
    settled();
    saveScript("name=Live\nbogus two\nbackgroundExtraMarge=12px\n");
    ASSERT_TRUE(waitUntil([&] { return editor().mErrors->toPlainText().contains(u"12px"); }));
    const QString list = editor().mErrors->toPlainText();
    EXPECT_TRUE(list.contains(u"Unknown command on line 2 : bogus one")) << list.toStdString();
    EXPECT_TRUE(list.contains(u"Unknown command on line 2 : bogus two")) << list.toStdString();
    EXPECT_TRUE(list.contains(u"'12px' is not a valid integer value")) << list.toStdString();
    EXPECT_FALSE(editor().mErrors->isHidden());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(LiveReloadTest, AScriptThatStaysUnreadableIsOneLineAndTheDesignStays) {
    settled();
    const int before = editor().reopenCount();
    // Mid-save, as an editor may leave it: the name points nowhere.
    QFile::remove(file(QStringLiteral("script.zot")));
    ASSERT_TRUE(QFile::link(file(QStringLiteral("script.zot.partial")),
                            file(QStringLiteral("script.zot"))));
    const QString line = DesignReloader::cannotReadReport(file(QStringLiteral("script.zot")));
    ASSERT_TRUE(waitUntil([&] { return editor().mErrors->toPlainText().contains(line); }));
    settled();
    EXPECT_EQ(editor().mErrors->toPlainText().count(line), 1);
    EXPECT_EQ(editor().reopenCount(), before);
    EXPECT_EQ(editor().LabelCount, 2); // the design as it was
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    // The save completes: the design opens.
    QFile::remove(file(QStringLiteral("script.zot")));
    saveScript("name=Saved\nbackgroundImage=bg.bmp\n");
    ASSERT_TRUE(waitUntil([&] { return editor().caption() == u"Saved"; }));
    EXPECT_EQ(editor().mErrors->toPlainText().count(line), 1);
}

TEST_F(LiveReloadTest, AReopeningWaitsForTheBatchToEnd) {
    settled();
    const int before = editor().reopenCount();
    editor().reloader().setHeld(true);
    saveScript("name=After batch\nbackgroundImage=bg.bmp\n");
    // Its quiet time over, the change waits for the release.
    ASSERT_TRUE(waitUntil([&] { return editor().reloader().waitingForRelease(); }));
    EXPECT_EQ(editor().reopenCount(), before);
    EXPECT_EQ(editor().caption(), u"Live");
    editor().reloader().setHeld(false);
    ASSERT_TRUE(waitUntil([&] { return editor().caption() == u"After batch"; }));
    EXPECT_EQ(editor().reopenCount(), before + 1);
}

TEST_F(LiveReloadTest, TheAboutViewFollowsNothing) {
    window->sbAboutClick();
    settled();
    const int before = editor().reopenCount();
    saveScript("name=Changed\n");
    settle([] { return false; }, 100);
    EXPECT_EQ(editor().reopenCount(), before);
    EXPECT_EQ(editor().caption(), u"About");
    EXPECT_TRUE(editor().reloader().followed().isEmpty());
}

} // namespace
} // namespace zot::test
