// The catalogue lists the user's own designs ($XDG_DATA_HOME/zotmaker/designs)
// after the program folder's, and opens each from where it was found.
#include "app/Catalogue.h"
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "platform/DirectoryListing.h"
#include "platform/Locations.h"
#include "support/EnvironmentOverride.h"
#include "support/WindowFixture.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>
#include <memory>

namespace zot::test {
namespace {

class UserDesignsTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(dataHome.isValid());
        dataHomeVariable = std::make_unique<EnvironmentOverride>(
            "XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        userFolder = dataHome.path() + QStringLiteral("/zotmaker/designs");
        ASSERT_EQ(userDesignsFolder(), userFolder + u'/');
    }
    void TearDown() override {
        window_.reset();
        dataHomeVariable.reset();
        WindowFixture::TearDown();
    }

    void makeUserDesign(const QString& name, const QByteArray& script, int width = 0) {
        const QString folder = userFolder + u'/' + name;
        writeFile(folder + QStringLiteral("/script.zot"), script);
        if (width > 0)
            writeBmp(folder + QStringLiteral("/bg.bmp"), width, 10,
                     [](int, int) { return qRgb(10, 20, 30); });
    }

    TfrmZOT& mainWindow() {
        if (!window_) {
            window_ = std::make_unique<TfrmZOT>(programDir.path());
            window_->show();
        }
        return *window_;
    }

    // "folder name @ parent folder" of every button, in strip order.
    QStringList buttons() {
        QStringList result;
        for (QToolButton* button : mainWindow().MenuButtons)
            result.append(button->property("folderName").toString() + u'@' +
                          button->property("parentFolder").toString());
        return result;
    }

    // The names as the catalogue shows a folder's designs: by name.
    static QStringList listed(const QString&, QStringList names, const QString& parent) {
        std::sort(names.begin(), names.end(), designNameLess);
        for (QString& name : names)
            name += u'@' + parent;
        return names;
    }

    void click(const QString& folderName) {
        for (QToolButton* button : mainWindow().MenuButtons)
            if (button->property("folderName").toString() == folderName) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button for " << folderName.toStdString();
    }

    QTemporaryDir dataHome;
    std::unique_ptr<EnvironmentOverride> dataHomeVariable;
    QString userFolder;
    std::unique_ptr<TfrmZOT> window_;
};

TEST_F(UserDesignsTest, TheProgramFoldersDesignsComeFirstThenTheUsersOwn) {
    makeDesign(QStringLiteral("Gold"), "name=Gold\n");
    makeDesign(QStringLiteral("Blue Sky"), "name=Blue\n");
    makeUserDesign(QStringLiteral("Mine"), "name=Mine\n");
    makeUserDesign(QStringLiteral("Shop"), "name=Shop\n");
    makeUserDesign(QStringLiteral(".draft"), "name=Draft\n"); // same rules as the program folder
    QDir(userFolder).mkpath(QStringLiteral("notes"));

    const QStringList expected =
        listed(programDir.path(), {QStringLiteral("Gold"), QStringLiteral("Blue Sky")},
               programDir.path()) +
        listed(userFolder, {QStringLiteral("Mine"), QStringLiteral("Shop")}, userFolder + u'/');
    EXPECT_EQ(buttons(), expected);
    EXPECT_EQ(mainWindow().pMenu->width(), 4 * 104 + 2);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(UserDesignsTest, ANameInBothFoldersIsShownOnceAndTheShippedOneOpens) {
    makeDesign(QStringLiteral("Gold"), "name=Shipped Gold\n");
    makeUserDesign(QStringLiteral("Gold"), "name=My Gold\n");
    makeUserDesign(QStringLiteral("Mine"), "name=Mine\n");
    EXPECT_EQ(buttons(), (QStringList{QStringLiteral("Gold@") + programDir.path(),
                                      QStringLiteral("Mine@") + userFolder + u'/'}));
    click(QStringLiteral("Gold"));
    EXPECT_EQ(mainWindow().frmEdit->caption(), QStringLiteral("Shipped Gold"));
}

TEST_F(UserDesignsTest, AUserDesignOpensFromTheUserFolder) {
    makeDesign(QStringLiteral("Gold"), "name=Gold\nbackgroundImage=bg.bmp\n", 30, 10);
    makeUserDesign(QStringLiteral("Mine"), "name=Mine\nbackgroundImage=bg.bmp\n", 70);
    click(QStringLiteral("Mine"));
    TfrmEdit& editor = *mainWindow().frmEdit;
    EXPECT_EQ(editor.caption(), QStringLiteral("Mine"));
    EXPECT_TRUE(editor.reAbout->isHidden());
    EXPECT_EQ(editor.engine().logo().width(), 70);
    EXPECT_EQ(editor.engine().logo().pixel(0, 0) & RGB_MASK, qRgb(10, 20, 30) & RGB_MASK);
    // And back to a shipped one.
    click(QStringLiteral("Gold"));
    EXPECT_EQ(editor.caption(), QStringLiteral("Gold"));
    EXPECT_EQ(editor.engine().logo().width(), 30);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_TRUE(editor.mErrors->toPlainText().isEmpty());
}

TEST_F(UserDesignsTest, TwentyFiveButtonsForBothFoldersTogether) {
    QStringList shipped;
    for (int i = 0; i < 20; ++i) {
        shipped.append(QStringLiteral("Design %1").arg(i));
        makeDesign(shipped.back(), "name=x\n");
    }
    // Two of the user's names are shipped ones: skipped, and not counted.
    QStringList own{QStringLiteral("Design 3"), QStringLiteral("Design 7")};
    for (int i = 0; i < 10; ++i)
        own.append(QStringLiteral("Own %1").arg(i));
    for (const QString& name : own)
        makeUserDesign(name, "name=y\n");

    QStringList userNew;
    for (const QString& entry : listed(userFolder, own, userFolder + u'/'))
        if (entry.startsWith(u"Own"))
            userNew.append(entry);
    const QStringList expected =
        listed(programDir.path(), shipped, programDir.path()) + userNew.mid(0, 5);
    EXPECT_EQ(mainWindow().MenuCount, 25);
    EXPECT_EQ(buttons(), expected);
    EXPECT_EQ(mainWindow().pMenu->width(), 25 * 104 + 2);
}

TEST_F(UserDesignsTest, ScanningStopsAtTheLimitInTheProgramFolder) {
    for (int i = 0; i < 26; ++i)
        makeDesign(QStringLiteral("Design %1").arg(i), "name=x\n");
    makeUserDesign(QStringLiteral("Mine"), "name=Mine\n");
    const std::vector<DesignFolderEntry> designs =
        scanCatalogue(catalogueFolders(programDir.path()));
    ASSERT_EQ(designs.size(), 25u);
    for (const DesignFolderEntry& design : designs)
        EXPECT_EQ(design.parentFolder, programDir.path()) << design.name.toStdString();
}

} // namespace
} // namespace zot::test
