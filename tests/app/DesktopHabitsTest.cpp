// What a desktop user expects of the windows: every action from the keyboard
// without stealing an edit box's keys, names for picture-only buttons, texts
// from a design shown as written, and a zoom box that shows its whole value.
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "support/ScriptedDialogs.h"
#include "support/WindowFixture.h"
#include "widgets/TabcToolButton.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace zot::test {
namespace {

class DesktopHabitsTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        for (const QString& name : {u"First"_s, u"Second"_s, u"Third"_s})
            makeDesign(name,
                       "name=" + name.toUtf8() + "\nbackgroundImage=bg.bmp\n" +
                           ttfSection("<b>Name</b>", "typed"),
                       40, 20);
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    TfrmEdit& editor() { return *window->frmEdit; }
    QString openDesign() const { return window->frmEdit->windowTitle(); }
    QString folderOf(int n) const {
        return window->MenuButtons[size_t(n - 1)]->property("folderName").toString();
    }
    // Sends keys where the user's focus is, as typing would.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target ? target : window.get(), key, modifiers);
    }

    std::unique_ptr<TfrmZOT> window;
};

TEST_F(DesktopHabitsTest, EveryOutputActionHasKeysThatLeaveTheEditBoxAlone) {
    window->openMenuButton(1);
    ASSERT_EQ(editor().LabelCount, 1);
    QLineEdit* edit = editor().Edits[0];
    edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    ScriptedDialogs dialogs;
    const QString wallpaper = editor().wallpaperPath();
    QFile::remove(wallpaper);

    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::function<void()> prepare;
        std::function<bool()> happened;
    };
    const Case cases[] = {
        {"Save", Qt::Key_S, Qt::ControlModifier, [&] { dialogs.cancel(); },
         [&] {
             return dialogs.asked.size() == 1 &&
                    dialogs.asked[0].kind == FileDialogRequest::Kind::SaveFile;
         }},
        {"Copy logo", Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier,
         [] { QApplication::clipboard()->clear(); },
         [&] { return QApplication::clipboard()->image().size() == QSize(40, 20); }},
        {"Set as wallpaper", Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier, [] {},
         [&] { return QFile::exists(wallpaper); }},
        {"Batch", Qt::Key_B, Qt::ControlModifier, [&] { dialogs.cancel(); },
         [&] {
             return dialogs.asked.size() == 1 &&
                    dialogs.asked[0].kind == FileDialogRequest::Kind::OpenFile;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.asked.clear();
        c.prepare();
        press(c.key, c.modifiers);
        EXPECT_TRUE(c.happened());
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(edit->text(), u"typed"_s); // the keys did not reach the text
        EXPECT_EQ(QApplication::focusWidget(), edit);
    }
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();

    // Ctrl+C stays the edit box's own: it copies the selected text, not the logo.
    edit->selectAll();
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), u"typed"_s);
    EXPECT_TRUE(QApplication::clipboard()->image().isNull());
}

TEST_F(DesktopHabitsTest, OutputKeysDoNothingWhileNoDesignIsOpen) {
    ScriptedDialogs dialogs;
    for (auto [key, modifiers] : {std::pair{Qt::Key_S, Qt::KeyboardModifiers(Qt::ControlModifier)},
                                  std::pair{Qt::Key_B, Qt::KeyboardModifiers(Qt::ControlModifier)},
                                  std::pair{Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier}})
        press(key, modifiers);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_FALSE(QFile::exists(editor().wallpaperPath()));
}

TEST_F(DesktopHabitsTest, TheCatalogueAndAboutAreReachedFromTheKeyboard) {
    ASSERT_EQ(window->MenuCount, 3);
    press(Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(openDesign(), folderOf(2));
    press(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(openDesign(), folderOf(3));
    press(Qt::Key_PageDown, Qt::ControlModifier); // the last stays
    EXPECT_EQ(openDesign(), folderOf(3));
    // From inside an edit box too.
    editor().Edits[0]->setFocus();
    press(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(openDesign(), folderOf(2));
    press(Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(openDesign(), folderOf(1));
    press(Qt::Key_PageUp, Qt::ControlModifier); // the first stays
    EXPECT_EQ(openDesign(), folderOf(1));

    editor().Edits[0]->setFocus();
    press(Qt::Key_F1, Qt::NoModifier);
    EXPECT_EQ(openDesign(), u"About"_s);
    EXPECT_FALSE(editor().reAbout->isHidden());
    EXPECT_EQ(window->sbAbout->toolTip(), u"About (F1)"_s);
    EXPECT_EQ(window->MenuButtons[0]->toolTip(), folderOf(1) + u" (Alt+1)"_s);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

// A session without a mouse: open, type, move on, open a design that has no
// button, all from the keyboard.
class KeyboardOnly : public WindowFixture {};

TEST_F(KeyboardOnly, EveryDesignOpensReadyForTypingAndTabWalksTheInputs) {
    for (int i = 1; i <= 26; ++i)
        makeDesign(u"Design %1"_s.arg(i), "name=Design " + QByteArray::number(i) + "\n" +
                                              ttfSection("One", "first") +
                                              ttfSection("Two", "second"));
    TfrmZOT window(programDir.path());
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    TfrmEdit& editor = *window.frmEdit;
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    ASSERT_EQ(window.MenuCount, 25);
    for (QToolButton* button : window.MenuButtons)
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);

    QTest::keyClick(&window, Qt::Key_2, Qt::AltModifier);
    ASSERT_EQ(editor.windowTitle(), u"Design 2"_s);
    ASSERT_EQ(QApplication::focusWidget(), editor.Edits[0]);
    EXPECT_EQ(editor.Edits[0]->selectedText(), u"first"_s);
    QTest::keyClicks(QApplication::focusWidget(), u"ACME"_s);
    EXPECT_EQ(editor.Edits[0]->text(), u"ACME"_s);
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), editor.Edits[1]);
    // The zoom box comes after the texts; the arrow keys step its items.
    press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), editor.cbSize);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(editor.cbSize->currentText(), u"200%"_s);
    const Bitmap& logo = editor.engine().logo();
    EXPECT_EQ(editor.imgEdit->size(), QSize(2 * logo.width(), 2 * logo.height()));

    // Design 26 has no button: the list has every design, with type-ahead.
    press(Qt::Key_O, Qt::ControlModifier);
    auto* dialog = window.findChild<QDialog*>(u"designList"_s);
    ASSERT_TRUE(dialog);
    // The desktop's window manager activates a new dialog; here the test does.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); }, 2000));
    auto* list = qobject_cast<QListWidget*>(QApplication::focusWidget());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 26);
    QTest::keyClicks(list, u"Design 26"_s);
    press(Qt::Key_Return);
    EXPECT_EQ(editor.windowTitle(), u"Design 26"_s);
    // The window's focus, for when the desktop gives it back the keyboard.
    EXPECT_EQ(window.focusWidget(), editor.Edits[0]);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST(CatalogueKeys, ScrollTheStripToTheDesignOpened) {
    QTemporaryDir programDir;
    for (int i = 0; i < 8; ++i)
        writeFile(programDir.filePath(u"D%1/script.zot"_s.arg(i)), "name=x\n");
    ErrorBoxRecorder errors; // before the window: its creation may already report
    TfrmZOT window(programDir.path());
    window.resize(544, 375);
    window.show();
    const auto inSight = [&](int n) {
        const QRect r =
            window.MenuButtons[size_t(n - 1)]->geometry().translated(window.pMenu->pos());
        return r.left() >= TfrmZOT::kStripHome &&
               r.right() < window.pTop->width() - window.pRightMenu->width();
    };
    ASSERT_FALSE(inSight(8));
    window.openMenuButton(8);
    EXPECT_TRUE(inSight(8));
    window.openMenuButton(1);
    EXPECT_TRUE(inSight(1));
    EXPECT_EQ(window.pMenu->x(), TfrmZOT::kStripHome);
}

TEST_F(DesktopHabitsTest, EveryPictureOnlyButtonHasAName) {
    int pictureOnly = 0;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (!button->text().isEmpty())
            continue;
        ++pictureOnly;
        EXPECT_FALSE(button->accessibleName().isEmpty()) << button->objectName().toStdString();
    }
    EXPECT_GE(pictureOnly, 5); // three toolbar buttons and two arrows at least
    EXPECT_EQ(editor().abcTBCopy->accessibleName(), u"Copy 2 clipboard"_s);
}

TEST_F(DesktopHabitsTest, EveryControlIsNamedForAScreenReader) {
    window->openMenuButton(2);
    ASSERT_EQ(editor().LabelCount, 1);
    editor().Edits[0]->setText(u"ACME"_s);
    const auto name = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : u"(none)"_s;
    };
    const auto description = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Description) : QString();
    };
    const std::pair<QWidget*, QString> named[] = {
        {window->MenuButtons[0], folderOf(1)},
        {window->sbAbout, u"About"_s},
        {editor().Edits[0], u"<b>Name</b>"_s}, // the caption, as written
        {editor().imgEdit, u"Logo"_s},
        {editor().mErrors, u"Error list"_s},
        {editor().reAbout, u"About Zotmaker"_s},
        {editor().ScrollBox1, u"Logo view"_s},
        {editor().sbInputs, u"Texts of the logo"_s},
        {editor().cbSize, u"Image size"_s}, // not "50%", as Qt has it on Linux
    };
    for (const auto& [widget, expected] : named)
        EXPECT_EQ(name(widget), expected) << widget->objectName().toStdString();
    EXPECT_EQ(description(editor().imgEdit), u"40 \u00d7 20 pixels: ACME"_s);
    // The zoom is still read: the box's value and its edit's text.
    QAccessibleInterface* zoom = QAccessible::queryAccessibleInterface(editor().cbSize);
    EXPECT_EQ(zoom->role(), QAccessible::ComboBox);
    EXPECT_EQ(zoom->text(QAccessible::Value), u"50%"_s);
    ASSERT_EQ(zoom->childCount(), 2);
    EXPECT_EQ(zoom->child(1)->object(), editor().cbSize->lineEdit());
}

TEST_F(DesktopHabitsTest, ACaptionFromTheDesignIsShownAsWritten) {
    window->openMenuButton(1);
    ASSERT_EQ(editor().LabelCount, 1);
    QLabel* caption = editor().Labels[0];
    EXPECT_EQ(caption->text(), u"<b>Name</b>"_s);
    // Taken as markup it would be the narrower bold "Name".
    EXPECT_GE(caption->sizeHint().width(),
              caption->fontMetrics().horizontalAdvance(u"<b>Name</b>"_s));
}

TEST(ErrorBox, IsTitledZotmakerAndShowsMessagesAsWritten) {
    ErrorBoxHandler previous = setErrorBoxHandler({}); // the real box
    QString title, shown;
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        title = box->windowTitle();
        shown = box->text();
        format = box->textFormat();
        box->accept();
    });
    showErrorBox(u"Cannot open file /designs/<b>x</b>/script.zot"_s);
    setErrorBoxHandler(std::move(previous));
    EXPECT_EQ(title, u"Zotmaker"_s);
    EXPECT_EQ(shown, u"Cannot open file /designs/<b>x</b>/script.zot."_s);
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(DesktopHabitsTest, TheZoomBoxShowsItsWholeValueInItsPlace) {
    window->openMenuButton(1);
    QComboBox* zoom = editor().cbSize;
    QLineEdit* edit = zoom->lineEdit();
    const QRect place = zoom->geometry();
    EXPECT_EQ(place.left(), 74);
    EXPECT_EQ(place.width(), 51);
    const qreal normalSize = zoom->font().pointSizeF();
    for (const QString& text :
         {u"10%"_s, u"25%"_s, u"50%"_s, u"100%"_s, u"200%"_s, u"1500%"_s, u"50%"_s}) {
        SCOPED_TRACE(text.toStdString());
        zoom->setEditText(text);
        // QLineEdit keeps two pixels either side of its text and one for the cursor.
        const int room = edit->contentsRect().width() - 2 * 2 - 1;
        EXPECT_LE(QFontMetrics(edit->font()).horizontalAdvance(text), room);
        EXPECT_EQ(zoom->geometry(), place);
        // The items are read at the normal size, or nearly.
        if (text.size() <= 4) {
            EXPECT_GE(edit->font().pointSizeF(), normalSize - 1.0);
        }
    }
    EXPECT_EQ(edit->font().pointSizeF(), normalSize); // back after the long text
}

} // namespace
} // namespace zot::test
