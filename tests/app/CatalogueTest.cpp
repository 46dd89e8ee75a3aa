#include "app/Catalogue.h"
#include "app/TfrmZOT.h"
#include "designs/DesignFolders.h"
#include "editor/TfrmEdit.h"
#include "platform/DirectoryListing.h"
#include "support/WindowFixture.h"

#include <QCoreApplication>
#include <QFrame>
#include <QToolButton>
#include <memory>

namespace zot::test {
namespace {

class CatalogueTest : public WindowFixture {
  protected:
    TfrmZOT& mainWindow() {
        if (!window_) {
            window_ = std::make_unique<TfrmZOT>(programDir.path());
            window_->show();
        }
        return *window_;
    }

    // The qualifying names in the order the catalogue shows them: by name.
    static QStringList listed(QStringList names) {
        std::sort(names.begin(), names.end(), designNameLess);
        return names;
    }

    QStringList buttonFolders() {
        QStringList folders;
        for (QToolButton* button : mainWindow().MenuButtons)
            folders.append(button->property("folderName").toString());
        return folders;
    }

    std::unique_ptr<TfrmZOT> window_;
};

TEST_F(CatalogueTest, OnlyFoldersWithAScriptGetButtonsInListingOrder) {
    makeDesign(QStringLiteral("Gold"), "name=Gold\n");
    makeDesign(QStringLiteral("Blue Sky"), "name=Blue\n");
    writeBmp(designPath(QStringLiteral("Blue Sky/thumbnail.bmp")), 40, 20,
             [](int, int) { return qRgb(0, 0, 255); });
    QDir(programDir.path()).mkpath(QStringLiteral("data"));
    makeDesign(QStringLiteral(".backup"), "name=Hidden\n");
    QDir(programDir.path()).mkpath(QStringLiteral("Folder/script.zot")); // a folder, not a file
    writeFile(designPath(QStringLiteral("loose.zot")), "name=Loose\n");

    TfrmZOT& w = mainWindow();
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    ASSERT_EQ(w.MenuCount, 2);
    EXPECT_EQ(buttonFolders(), listed({QStringLiteral("Gold"), QStringLiteral("Blue Sky")}));
    EXPECT_EQ(w.pMenu->width(), 2 * 104 + 2);

    for (int n = 1; n <= 2; ++n) {
        QToolButton* button = w.MenuButtons[size_t(n - 1)];
        EXPECT_EQ(button->geometry(), QRect((n - 1) * 104 + 2, 2, 100, 28));
        EXPECT_EQ(button->parentWidget(), w.pMenu);
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        const QString folder = button->property("folderName").toString();
        EXPECT_EQ(button->toolTip(), folder + QStringLiteral(" (Alt+%1)").arg(n));
        if (folder == QStringLiteral("Gold")) {
            EXPECT_EQ(button->text(), QStringLiteral("Gold"));
            EXPECT_TRUE(button->icon().isNull());
        } else {
            EXPECT_EQ(button->text(), QString());
            EXPECT_FALSE(button->icon().isNull());
            EXPECT_EQ(button->objectName(), QStringLiteral("Blue_Sky"));
        }
    }
}

TEST_F(CatalogueTest, NoNameOrThumbnailStopsTheCatalogue) {
    const QStringList names{QStringLiteral("Blue-Sky"),      QStringLiteral("3D Gold"),
                            QStringLiteral("a b"),           QStringLiteral("a_b"),
                            QStringLiteral("Salt & Pepper"), QStringLiteral("Broken"),
                            QStringLiteral("Dangling"),      QStringLiteral("Good")};
    for (const QString& name : names)
        makeDesign(name, "name=x\n");
    writeFile(designPath(QStringLiteral("Broken/thumbnail.bmp")), "BM not a bitmap at all");
    const QString dangling = designPath(QStringLiteral("Dangling/thumbnail.bmp"));
    ASSERT_TRUE(QFile::link(programDir.filePath(QStringLiteral("nowhere.bmp")), dangling));

    TfrmZOT& w = mainWindow();
    EXPECT_EQ(buttonFolders(), listed(names));
    QStringList expectedErrors;
    for (const QString& name : listed(names)) {
        if (name == QStringLiteral("Broken"))
            expectedErrors.append(QStringLiteral("Bitmap image is not valid."));
        if (name == QStringLiteral("Dangling"))
            expectedErrors.append(QStringLiteral("Cannot open file %1.").arg(dangling));
    }
    EXPECT_EQ(errors.texts, expectedErrors);
    for (QToolButton* button : w.MenuButtons) {
        const QString folder = button->property("folderName").toString();
        SCOPED_TRACE(folder.toStdString());
        // Every one of them has its caption ("&" shown as written).
        EXPECT_EQ(button->text(), literalButtonText(folder));
        EXPECT_EQ(button->objectName(), menuButtonName(folder));
    }
    EXPECT_EQ(literalButtonText(QStringLiteral("Salt & Pepper")), QStringLiteral("Salt && Pepper"));
}

TEST_F(CatalogueTest, OnlyTheFirstTwentyFiveDesignsGetButtons) {
    QStringList names;
    for (int i = 0; i < 30; ++i) {
        names.append(QStringLiteral("Design %1").arg(i));
        makeDesign(names.back(), "name=x\n");
    }
    TfrmZOT& w = mainWindow();
    ASSERT_EQ(w.MenuCount, 25);
    EXPECT_EQ(buttonFolders(), listed(names).mid(0, 25));
    EXPECT_EQ(w.pMenu->width(), 25 * 104 + 2);
}

TEST_F(CatalogueTest, NoDesignsLeavesAnEmptyStripWithBothArrowsOff) {
    TfrmZOT& w = mainWindow();
    EXPECT_EQ(w.MenuCount, 0);
    EXPECT_EQ(w.pMenu->geometry(), QRect(16, 1, 257, 32));
    EXPECT_FALSE(w.sbLeftMenu->isEnabled());
    EXPECT_FALSE(w.sbRightMenu->isEnabled());
}

TEST_F(CatalogueTest, ArrowsScrollTheStripByOneButton) {
    for (int i = 0; i < 5; ++i)
        makeDesign(QStringLiteral("D%1").arg(i), "name=x\n");
    TfrmZOT& w = mainWindow();
    w.resize(536, 375);
    QCoreApplication::processEvents();
    ASSERT_EQ(w.pTop->width(), 536);
    EXPECT_EQ(w.pMenu->width(), 522);

    struct Step {
        const char* action;
        int left;
        bool leftArrow;
        bool rightArrow;
    };
    const Step steps[] = {
        {"start", 16, false, true},      {"right", -88, true, false},
        {"right", -88, true, false}, // disabled: a click does nothing
        {"left", 16, false, true},       {"left", 16, false, true}, // disabled too
        {"force-left", 16, false, true}, // even called directly it stops at home
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.action);
        const std::string action = step.action;
        if (action == "right")
            w.sbRightMenu->click();
        else if (action == "left")
            w.sbLeftMenu->click();
        else if (action == "force-left")
            w.sbMenuClick(w.sbLeftMenu);
        EXPECT_EQ(w.pMenu->x(), step.left);
        EXPECT_EQ(w.sbLeftMenu->isEnabled(), step.leftArrow);
        EXPECT_EQ(w.sbRightMenu->isEnabled(), step.rightArrow);
    }
}

TEST_F(CatalogueTest, ResizingOnlyReevaluatesTheArrows) {
    for (int i = 0; i < 5; ++i)
        makeDesign(QStringLiteral("D%1").arg(i), "name=x\n");
    TfrmZOT& w = mainWindow();
    w.resize(536, 375);
    QCoreApplication::processEvents();
    w.sbRightMenu->click();
    ASSERT_EQ(w.pMenu->x(), -88);
    w.resize(900, 375);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.pMenu->x(), -88);
    EXPECT_TRUE(w.sbLeftMenu->isEnabled());
    EXPECT_FALSE(w.sbRightMenu->isEnabled());
    // Narrower than the strip again: the right arrow comes back, nothing moves.
    w.resize(300, 375);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.pMenu->x(), -88);
    EXPECT_TRUE(w.sbRightMenu->isEnabled());
    EXPECT_EQ(w.pRightMenu->geometry(), QRect(300 - 1 - 49, 1, 49, 32));
}

TEST(ArrowGlyph, TrianglesPointTheirWayOnASeeThroughGround) {
    const QImage left = arrowGlyph(Qt::LeftArrow).toImage();
    const QImage right = arrowGlyph(Qt::RightArrow).toImage();
    ASSERT_EQ(left.size(), QSize(6, 19));
    // The tip is one pixel in the middle row; the base column is the tallest.
    EXPECT_EQ(qAlpha(left.pixel(0, 9)), 255);
    EXPECT_EQ(qAlpha(left.pixel(0, 8)), 0);
    EXPECT_EQ(qAlpha(left.pixel(5, 4)), 255);
    EXPECT_EQ(qAlpha(left.pixel(5, 3)), 0);
    EXPECT_EQ(left.mirrored(true, false), right);
    const QImage greyed = arrowGlyph(Qt::LeftArrow, false).toImage();
    EXPECT_EQ(greyed.pixel(0, 9), qRgb(160, 160, 160));
    EXPECT_EQ(qAlpha(greyed.pixel(0, 8)), 0);
}

} // namespace
} // namespace zot::test
