// A catalogue button's menu: copy a design into the user's own designs,
// and move one of those to the trash.
#include "app/TfrmZOT.h"
#include "designs/DesignCopy.h"
#include "editor/TfrmEdit.h"
#include "platform/Locations.h"
#include "support/EnvironmentOverride.h"
#include "support/Polling.h"
#include "support/WindowFixture.h"

#include <QAction>
#include <QMenu>
#include <QTextEdit>
#include <QToolButton>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace zot::test {
namespace {

using namespace Qt::StringLiterals;

class DesignMenuTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(dataHome.isValid());
        dataHomeVariable = std::make_unique<EnvironmentOverride>(
            "XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        userFolder = dataHome.path() + u"/zotmaker/designs"_s;
        makeDesign(u"Gold"_s, "name=Gold\nbackgroundImage=pics/bg.bmp\n" + ttfSection("L", "x"));
        writeBmp(designPath(u"Gold"_s) + u"/pics/bg.bmp"_s, 30, 10,
                 [](int, int) { return qRgb(1, 2, 3); });
        writeFile(userFolder + u"/Mine/script.zot"_s, "name=Mine\n");
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
    }
    void TearDown() override {
        window.reset();
        dataHomeVariable.reset();
        WindowFixture::TearDown();
    }

    QToolButton* button(const QString& name) const {
        for (QToolButton* b : window->MenuButtons)
            if (b->property("folderName").toString() == name)
                return b;
        return nullptr;
    }
    QStringList menuTexts(const QString& name) {
        std::unique_ptr<QMenu> menu(window->menuButtonMenu(button(name)));
        QStringList texts;
        if (menu)
            for (QAction* action : menu->actions())
                texts.append(action->text());
        return texts;
    }
    void choose(const QString& name, const QString& text) {
        std::unique_ptr<QMenu> menu(window->menuButtonMenu(button(name)));
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text() == text) {
                action->trigger();
                return;
            }
        ADD_FAILURE() << "no " << text.toStdString() << " for " << name.toStdString();
    }
    void copyAs(const QString& design, const std::optional<QString>& answer) {
        window->askCopyName = [answer](const QString&) { return answer; };
        choose(design, u"Make my own copy\u2026"_s);
    }

    QTemporaryDir dataHome;
    std::unique_ptr<EnvironmentOverride> dataHomeVariable;
    QString userFolder;
    std::unique_ptr<TfrmZOT> window;
};

TEST_F(DesignMenuTest, OnlyTheUsersOwnDesignsCanGoToTheTrash) {
    EXPECT_EQ(menuTexts(u"Gold"_s),
              (QStringList{u"Open design folder"_s, u"Make my own copy\u2026"_s}));
    EXPECT_EQ(menuTexts(u"Mine"_s), (QStringList{u"Open design folder"_s,
                                                 u"Make my own copy\u2026"_s, u"Move to trash"_s}));
}

TEST_F(DesignMenuTest, ACopyGoesIntoTheUsersDesignsAndOpens) {
    // What a design folder may hold besides its files: none of it is copied.
    const QByteArray gold = QFile::encodeName(designPath(u"Gold"_s));
    ASSERT_EQ(::symlink("/etc", (gold + "/etc-link").constData()), 0);
    ASSERT_EQ(::symlink("../Gold", (gold + "/pics/loop").constData()), 0);
    ASSERT_EQ(::mkfifo((gold + "/pipe").constData(), 0600), 0);

    copyAs(u"Gold"_s, u"My Gold"_s);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    const QString copy = userFolder + u"/My Gold"_s;
    EXPECT_TRUE(QFileInfo(copy + u"/script.zot"_s).isFile());
    EXPECT_TRUE(QFileInfo(copy + u"/pics/bg.bmp"_s).isFile());
    EXPECT_EQ(QFileInfo(copy + u"/pics/bg.bmp"_s).size(),
              QFileInfo(designPath(u"Gold"_s) + u"/pics/bg.bmp"_s).size());
    for (const char* absent : {"/etc-link", "/pics/loop", "/pipe"})
        EXPECT_FALSE(QFileInfo(copy + QString::fromLatin1(absent)).exists() ||
                     QFileInfo(copy + QString::fromLatin1(absent)).isSymLink())
            << absent;
    // No half-made copy left beside it.
    EXPECT_EQ(QDir(userFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{u"Mine"_s, u"My Gold"_s}));
    // Open, from the user's folder, and on the strip.
    TfrmEdit& editor = *window->frmEdit;
    EXPECT_TRUE(editor.reAbout->isHidden());
    EXPECT_EQ(editor.caption(), u"Gold");
    EXPECT_EQ(editor.engine().designFolderPath(), userDesignsFolder() + u"My Gold/"_s);
    EXPECT_EQ(editor.engine().logo().width(), 30);
    ASSERT_NE(button(u"My Gold"_s), nullptr);
    EXPECT_EQ(window->MenuButtons[size_t(window->currentDesign() - 1)], button(u"My Gold"_s));
}

TEST_F(DesignMenuTest, CancellingTheNameCopiesNothing) {
    copyAs(u"Gold"_s, std::nullopt);
    EXPECT_TRUE(errors.texts.isEmpty());
    EXPECT_EQ(QDir(userFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"Mine"_s});
}

struct NameCase {
    const char* label;
    QString name;
    QString reason;
};

class RefusedNameTest : public DesignMenuTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(RefusedNameTest, IsRefusedInTheErrorBoxAndNothingIsWritten) {
    const NameCase& c = GetParam();
    copyAs(u"Gold"_s, c.name);
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_EQ(errors.texts.front(), u"Cannot use the name %1: %2."_s.arg(c.name, c.reason));
    EXPECT_EQ(QDir(userFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"Mine"_s});
    EXPECT_FALSE(QFileInfo::exists(dataHome.path() + u"/zotmaker/a"_s));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RefusedNameTest,
    ::testing::Values(
        NameCase{"Empty", QString(), u"it is empty"_s},
        NameCase{"Long", QString(256, u'a'), u"it is longer than 255 bytes"_s},
        // 128 two-byte letters: 256 bytes though 128 characters.
        NameCase{"LongInBytes", QString(128, QChar(0xE8)), u"it is longer than 255 bytes"_s},
        NameCase{"Hidden", u".draft"_s, u"it starts with a dot"_s},
        NameCase{"Dots", u".."_s, u"it starts with a dot"_s},
        NameCase{"Slash", u"a/b"_s, u"it holds a slash or a backslash"_s},
        NameCase{"Climbing", u"../../a"_s, u"it starts with a dot"_s},
        NameCase{"Backslash", u"a\\b"_s, u"it holds a slash or a backslash"_s},
        NameCase{"Sample", u"Gold"_s, u"a design of the program folder has that name"_s},
        NameCase{"Taken", u"Mine"_s, u"a design of that name is there already"_s}),
    [](const auto& param) { return std::string(param.param.label); });

TEST_F(DesignMenuTest, MoveToTrashPutsTheFolderInTheTrashAndClosesIt) {
    window->MenuButtons[0]->click(); // whichever comes first
    button(u"Mine"_s)->click();
    ASSERT_EQ(window->frmEdit->caption(), u"Mine");
    choose(u"Mine"_s, u"Move to trash"_s);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_FALSE(QFileInfo::exists(userFolder + u"/Mine"_s));
    // The freedesktop trash of the data folder: the files and how to restore them.
    const QString trash = dataHome.path() + u"/Trash"_s;
    EXPECT_TRUE(QFileInfo(trash + u"/files/Mine/script.zot"_s).isFile());
    QFile info(trash + u"/info/Mine.trashinfo"_s);
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(info.readAll());
    EXPECT_TRUE(text.startsWith(u"[Trash Info]"_s)) << text.toStdString();
    EXPECT_TRUE(text.contains(u"Path="_s)) << text.toStdString();
    // Gone from the strip, and the editor is back at the about view.
    EXPECT_EQ(button(u"Mine"_s), nullptr);
    EXPECT_FALSE(window->frmEdit->reAbout->isHidden());
    EXPECT_EQ(window->frmEdit->caption(), u"About");
}

TEST(DesignCopyLimits, ACopyTooLargeIsRefusedAndLeavesNothing) {
    QTemporaryDir program;
    QTemporaryDir user;
    const QString source = program.filePath(u"Big"_s);
    writeFile(source + u"/script.zot"_s, "name=Big\n");
    // A sparse file reads as 600 MiB of zeros.
    QFile big(source + u"/huge.bin"_s);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(qint64(600) * 1024 * 1024));
    big.close();
    try {
        copyDesign(source, u"Copy"_s, program.path(), user.path());
        ADD_FAILURE() << "copied";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(),
                  u"Cannot copy %1: it holds more than 20,000 files or 512 MiB"_s.arg(source));
    }
    EXPECT_TRUE(QDir(user.path())
                    .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                    .isEmpty());
}

} // namespace
} // namespace zot::test
