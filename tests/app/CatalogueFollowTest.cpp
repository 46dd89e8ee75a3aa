// The strip follows the catalogue's folders while the program runs, and
// says which designs have no button and why.
#include "app/TfrmZOT.h"
#include "designs/DesignCatalogue.h"
#include "editor/TfrmEdit.h"
#include "platform/Locations.h"
#include "support/EnvironmentOverride.h"
#include "support/Polling.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

namespace zot::test {
namespace {

using namespace Qt::StringLiterals;

class CatalogueFollowTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(dataHome.isValid());
        dataHomeVariable = std::make_unique<EnvironmentOverride>(
            "XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        userFolder = dataHome.path() + u"/zotmaker/designs"_s;
    }
    void TearDown() override {
        window.reset();
        dataHomeVariable.reset();
        WindowFixture::TearDown();
    }

    void start() {
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
    }
    void makeUserDesign(const QString& name, const QByteArray& script) {
        writeFile(userFolder + u'/' + name + u"/script.zot"_s, script);
    }
    QStringList names() const {
        QStringList result;
        for (QToolButton* button : window->MenuButtons)
            result.append(button->property("folderName").toString());
        result.sort();
        return result;
    }
    QToolButton* button(const QString& name) const {
        for (QToolButton* b : window->MenuButtons)
            if (b->property("folderName").toString() == name)
                return b;
        return nullptr;
    }
    bool showsExactly(QStringList expected) {
        expected.sort();
        return waitUntil([&] { return names() == expected; });
    }

    QTemporaryDir dataHome;
    std::unique_ptr<EnvironmentOverride> dataHomeVariable;
    QString userFolder;
    std::unique_ptr<TfrmZOT> window;
};

TEST_F(CatalogueFollowTest, ScanShowsTwentyFiveAndNamesTheRestWithTheirReasons) {
    for (int i = 0; i < 27; ++i)
        makeDesign(u"Design %1"_s.arg(i, 2, 10, QChar(u'0')), "name=x\n");
    makeUserDesign(u"Design 03"_s, "name=mine\n");
    makeUserDesign(u"Own"_s, "name=own\n");
    const CatalogueScan scan = DesignCatalogue::scan({programDir.path(), userDesignsFolder()});
    ASSERT_EQ(scan.shown.size(), 25u);
    QStringList full;
    QStringList hidden;
    for (const LeftOutDesign& left : scan.leftOut) {
        if (left.reason == DesignCatalogue::fullStripReason())
            full.append(left.design.name);
        else if (left.reason == DesignCatalogue::hiddenBySampleReason())
            hidden.append(left.design.name + u'@' + left.design.parentFolder);
    }
    EXPECT_EQ(full.size(), 3) << full.join(u',').toStdString(); // two shipped, "Own"
    EXPECT_TRUE(full.contains(u"Own"_s));
    EXPECT_EQ(hidden, QStringList{u"Design 03@"_s + userDesignsFolder()});
    EXPECT_EQ(scan.leftOut.size(), 4u);
    EXPECT_FALSE(scan.moreLeftOut);
}

TEST_F(CatalogueFollowTest, AFolderWithTooManyDesignsListsABoundedNumberAndSaysThereAreMore) {
    for (int i = 0; i < DesignCatalogue::kMaxLeftOut + 40; ++i)
        writeFile(designPath(u"D%1"_s.arg(i)) + u"/script.zot"_s, "name=x\n");
    const CatalogueScan scan = DesignCatalogue::scan({programDir.path()});
    EXPECT_EQ(scan.shown.size(), 25u);
    EXPECT_EQ(int(scan.leftOut.size()), DesignCatalogue::kMaxLeftOut);
    EXPECT_TRUE(scan.moreLeftOut);
}

TEST_F(CatalogueFollowTest, RescanSaysWhetherAnythingChanged) {
    makeDesign(u"Gold"_s, "name=Gold\n");
    DesignCatalogue catalogue({programDir.path()});
    QSignalSpy changed(&catalogue, &DesignCatalogue::changed);
    EXPECT_FALSE(catalogue.rescan());
    makeDesign(u"Blue"_s, "name=Blue\n");
    EXPECT_TRUE(catalogue.rescan());
    // A new thumbnail is a change of the design's button.
    writeBmp(designPath(u"Blue"_s) + u"/thumbnail.bmp"_s, 4, 4, [](int, int) { return 0u; });
    EXPECT_TRUE(catalogue.rescan());
    EXPECT_FALSE(catalogue.rescan());
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(CatalogueFollowTest, TheStripGrowsAndShrinksWhileTheOpenDesignStaysOpen) {
    makeDesign(u"Gold"_s, "name=Gold\nbackgroundImage=bg.bmp\n" + ttfSection("One", "first"), 30,
               10);
    start();
    ASSERT_EQ(names(), QStringList{u"Gold"_s});
    button(u"Gold"_s)->click();
    TfrmEdit& editor = *window->frmEdit;
    editor.Edits[0]->setText(u"typed"_s);
    const int renders = editor.engine().renderCount();

    // Added while the window is open, in the program folder and in a user
    // designs folder that did not exist at the start.
    makeDesign(u"Blue Sky"_s, "name=Blue\n");
    ASSERT_TRUE(showsExactly({u"Gold"_s, u"Blue Sky"_s}));
    makeUserDesign(u"Mine"_s, "name=Mine\n");
    ASSERT_TRUE(showsExactly({u"Gold"_s, u"Blue Sky"_s, u"Mine"_s}));
    EXPECT_EQ(window->pMenu->width(), 3 * 104 + 2);
    // A folder that becomes a design when its script arrives.
    QDir(programDir.path()).mkpath(u"Later"_s);
    settle([] { return false; }, 30);
    writeFile(designPath(u"Later"_s) + u"/script.zot"_s, "name=Later\n");
    ASSERT_TRUE(showsExactly({u"Gold"_s, u"Blue Sky"_s, u"Mine"_s, u"Later"_s}));

    // Removed.
    ASSERT_TRUE(QDir(designPath(u"Blue Sky"_s)).removeRecursively());
    ASSERT_TRUE(showsExactly({u"Gold"_s, u"Mine"_s, u"Later"_s}));

    // The open design never noticed.
    EXPECT_EQ(editor.caption(), u"Gold");
    EXPECT_EQ(editor.labelText(1), u"typed");
    EXPECT_EQ(editor.engine().renderCount(), renders);
    EXPECT_TRUE(editor.reAbout->isHidden());
    // Ctrl+PgUp/PgDn go on from it.
    ASSERT_GT(window->currentDesign(), 0);
    EXPECT_EQ(window->MenuButtons[size_t(window->currentDesign() - 1)], button(u"Gold"_s));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(CatalogueFollowTest, ANewThumbnailChangesTheButtonsPicture) {
    makeDesign(u"Gold"_s, "name=Gold\n");
    start();
    ASSERT_NE(button(u"Gold"_s), nullptr);
    EXPECT_EQ(button(u"Gold"_s)->text(), u"Gold");
    writeBmp(designPath(u"Gold"_s) + u"/thumbnail.bmp"_s, 20, 10,
             [](int, int) { return qRgb(255, 0, 0); });
    ASSERT_TRUE(waitUntil([&] {
        QToolButton* b = button(u"Gold"_s);
        return b && !b->icon().isNull();
    }));
    EXPECT_TRUE(button(u"Gold"_s)->text().isEmpty());
}

TEST_F(CatalogueFollowTest, TheOpenDesignsFolderGoneReturnsToTheAboutView) {
    makeDesign(u"Gold"_s, "name=Gold\n" + ttfSection("One", "first"));
    makeDesign(u"Blue"_s, "name=Blue\n");
    start();
    button(u"Gold"_s)->click();
    ASSERT_EQ(window->frmEdit->caption(), u"Gold");
    ASSERT_TRUE(QDir(designPath(u"Gold"_s)).removeRecursively());
    ASSERT_TRUE(waitUntil([&] { return !window->frmEdit->reAbout->isHidden(); }));
    EXPECT_EQ(window->frmEdit->caption(), u"About");
    EXPECT_EQ(window->frmEdit->LabelCount, 0);
    EXPECT_EQ(names(), QStringList{u"Blue"_s});
    EXPECT_EQ(window->currentDesign(), 0);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(CatalogueFollowTest, TheRightArrowListsTheDesignsWithoutAButtonEvenWhenDisabled) {
    for (int i = 0; i < 26; ++i)
        makeDesign(u"Design %1"_s.arg(i, 2, 10, QChar(u'0')), "name=x\n");
    makeUserDesign(u"Design 05"_s, "name=mine\n");
    start();
    ASSERT_EQ(window->MenuCount, 25);
    std::unique_ptr<QMenu> menu(window->leftOutMenu());
    ASSERT_NE(menu, nullptr);
    QStringList entries;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            entries.append(action->text());
    ASSERT_EQ(entries.size(), 2) << entries.join(u'|').toStdString();
    EXPECT_TRUE(entries.join(u'|').contains(DesignCatalogue::fullStripReason()));
    EXPECT_TRUE(entries.join(u'|').contains(u"Design 05 \u2014 "_s +
                                            DesignCatalogue::hiddenBySampleReason()));
    EXPECT_EQ(window->sbRightMenu->toolTip(),
              u"2 designs have no button: right-click here for the list"_s);

    // Scrolled to the end, the arrow is disabled; a right click still shows the list.
    for (int i = 0; i < 30 && window->sbRightMenu->isEnabled(); ++i)
        window->sbMenuClick(window->sbRightMenu);
    ASSERT_FALSE(window->sbRightMenu->isEnabled());
    // What the window hands the button under a right click.
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(3, 3),
                            window->sbRightMenu->mapToGlobal(QPoint(3, 3)));
    QApplication::sendEvent(window->sbRightMenu, &event);
    QMenu* shown = nullptr;
    for (QMenu* candidate : window->findChildren<QMenu*>(u"leftOutMenu"_s))
        if (candidate->isVisible())
            shown = candidate;
    ASSERT_NE(shown, nullptr);
    shown->close();

    // Choosing one opens it.
    for (QAction* action : menu->actions())
        if (action->text().startsWith(u"Design 05"_s))
            action->trigger();
    EXPECT_EQ(window->frmEdit->caption(), u"mine");
}

TEST_F(CatalogueFollowTest, WithNothingLeftOutThereIsNoList) {
    makeDesign(u"Gold"_s, "name=Gold\n");
    start();
    EXPECT_EQ(window->leftOutMenu(), nullptr);
    EXPECT_TRUE(window->sbRightMenu->toolTip().isEmpty());
}

} // namespace
} // namespace zot::test
