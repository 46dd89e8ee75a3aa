#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"

#include "widgets/TabcToolButton.h"
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

namespace zot::test {
namespace {

class MainWindowTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        makeDesign(QStringLiteral("Three"),
                   "name=Three Lines\nbackgroundImage=bg.bmp\n" + ttfSection("One", "first") +
                       ttfSection("Two", "second") + ttfSection("Three", "third"),
                   60, 30);
        makeDesign(QStringLiteral("Single"),
                   "name=Single\nbackgroundImage=bg.bmp\n" + ttfSection("Only", "solo"), 40, 20);
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
    }

    // Clicks the catalogue button of a folder.
    void choose(const QString& folder) {
        for (QToolButton* b : window->MenuButtons) {
            if (b->property("folderName").toString() == folder) {
                b->click();
                return;
            }
        }
        ADD_FAILURE() << "no button for " << folder.toStdString();
    }

    std::vector<QWidget*> outputControls() {
        TfrmEdit* e = window->frmEdit;
        return {e->abcTBSave, e->abcTBCopy, e->abcTBWallpaper, e->cbSize, e->bbBatch};
    }

    void expectAboutView() {
        TfrmEdit* e = window->frmEdit;
        EXPECT_EQ(e->windowTitle(), QStringLiteral("About"));
        EXPECT_FALSE(e->reAbout->isHidden());
        EXPECT_EQ(e->LabelCount, 0);
        EXPECT_TRUE(e->pInputs->findChildren<QLineEdit*>().isEmpty());
        for (QWidget* control : outputControls())
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        EXPECT_FALSE(e->bbBatch->isHidden());
    }

    std::unique_ptr<TfrmZOT> window;
};

TEST_F(MainWindowTest, StartsWithOneMaximisedEditorInTheAboutView) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("ZOT"));
    EXPECT_EQ(window->pTop->height(), 34);
    EXPECT_EQ(window->sbAbout->text(), QStringLiteral("?"));
    EXPECT_EQ(window->sbAbout->geometry(), QRect(18, 2, 29, 28));
    const QList<QMdiSubWindow*> children = window->mdiArea->subWindowList();
    ASSERT_EQ(children.size(), 1);
    EXPECT_EQ(children[0]->widget(), window->frmEdit);
    EXPECT_TRUE(children[0]->isMaximized());
    expectAboutView();
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST(MainWindowGeometry, InitialPlaceAndSize) {
    ErrorBoxRecorder errors;
    TfrmZOT window(QDir::tempPath() + QStringLiteral("/zot-no-such-folder"));
    EXPECT_EQ(window.pos(), QPoint(216, 122));
    EXPECT_EQ(window.size(), QSize(544, 375));
}

TEST_F(MainWindowTest, ClosingTheEditorOnlyMinimisesIt) {
    QMdiSubWindow* child = window->editorWindow;
    QPointer<TfrmEdit> editor = window->frmEdit;
    child->close();
    QCoreApplication::processEvents();
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(window->mdiArea->subWindowList().size(), 1);
    EXPECT_TRUE(child->isMinimized());
    // A design chosen now still opens in it.
    choose(QStringLiteral("Single"));
    TfrmEdit* e = editor.data();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->LabelCount, 1);
    EXPECT_TRUE(e->reAbout->isHidden());
}

TEST_F(MainWindowTest, ChoosingDesignsReplacesTheOneInTheEditor) {
    TfrmEdit* e = window->frmEdit;
    choose(QStringLiteral("Three"));
    EXPECT_TRUE(e->reAbout->isHidden());
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Three Lines"));
    ASSERT_EQ(e->LabelCount, 3);
    EXPECT_EQ(e->labelText(3), QStringLiteral("third"));
    choose(QStringLiteral("Single"));
    EXPECT_EQ(e->windowTitle(), QStringLiteral("Single"));
    ASSERT_EQ(e->LabelCount, 1);
    EXPECT_EQ(e->labelText(1), QStringLiteral("solo"));
    EXPECT_EQ(window->mdiArea->subWindowList().size(), 1);
    for (QWidget* control : outputControls())
        EXPECT_TRUE(control->isEnabled());
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(MainWindowTest, AScriptGoneSinceStartUpEndsInTheErrorBox) {
    const QString script = designPath(QStringLiteral("Single")) + QStringLiteral("/script.zot");
    ASSERT_TRUE(QFile::remove(script));
    TfrmEdit* e = window->frmEdit;
    choose(QStringLiteral("Single"));
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("Cannot open file ")));
    EXPECT_TRUE(errors.texts[0].endsWith(QStringLiteral("script.zot.")));
    // Reset, enabled, no inputs; the program goes on.
    EXPECT_EQ(e->LabelCount, 0);
    EXPECT_TRUE(e->cbSize->isEnabled());
    choose(QStringLiteral("Three"));
    EXPECT_EQ(e->LabelCount, 3);
}

TEST_F(MainWindowTest, AboutCommandReturnsToTheAboutView) {
    TfrmEdit* e = window->frmEdit;
    choose(QStringLiteral("Three"));
    e->Edits[0]->setText(QStringLiteral("changed"));
    e->cbSize->setEditText(QStringLiteral("25%"));
    const QSize logo(e->engine().logo().width(), e->engine().logo().height());
    window->sbAbout->click();
    expectAboutView();
    // Left alone: the logo underneath and the zoom text.
    EXPECT_EQ(QSize(e->engine().logo().width(), e->engine().logo().height()), logo);
    EXPECT_FALSE(logo.isEmpty());
    EXPECT_EQ(e->cbSize->currentText(), QStringLiteral("25%"));
    window->sbAbout->click();
    expectAboutView();
    choose(QStringLiteral("Three"));
    ASSERT_EQ(e->LabelCount, 3);
    EXPECT_EQ(e->labelText(1), QStringLiteral("first"));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(MainWindowTest, AboutCommandKeepsTheErrorList) {
    makeDesign(QStringLiteral("Faulty"), "nonsense\n");
    // The catalogue was built before this folder existed; open it directly.
    TfrmEdit* e = window->frmEdit;
    e->OpenDesign(QStringLiteral("Faulty"));
    ASSERT_FALSE(e->mErrors->isHidden());
    window->sbAbout->click();
    EXPECT_FALSE(e->mErrors->isHidden());
    EXPECT_EQ(e->mErrors->toPlainText(), QStringLiteral("Unknown command on line 1 : nonsense"));
}

TEST_F(MainWindowTest, AboutCommandWorksWhileTheEditorIsMinimised) {
    choose(QStringLiteral("Three"));
    window->editorWindow->showMinimized();
    window->sbAbout->click();
    expectAboutView();
}

} // namespace
} // namespace zot::test
