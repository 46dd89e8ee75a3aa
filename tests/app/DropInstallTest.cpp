// A design folder or archive dropped on the main window is installed into
// the user's designs and opened.
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "platform/Locations.h"
#include "support/EnvironmentOverride.h"
#include "support/WindowFixture.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <memory>

namespace zot::test {
namespace {

using namespace Qt::StringLiterals;

class DropInstallTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        ASSERT_TRUE(dataHome.isValid());
        ASSERT_TRUE(downloads.isValid());
        dataHomeVariable = std::make_unique<EnvironmentOverride>(
            "XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        userFolder = dataHome.path() + u"/zotmaker/designs"_s;
        makeDesign(u"Gold"_s, "name=Gold\n");
    }
    void TearDown() override {
        window.reset();
        dataHomeVariable.reset();
        WindowFixture::TearDown();
    }
    void start() {
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->askReplace = [this](const QString& question) {
            asked.append(question);
            return replace;
        };
        window->tell = [this](const QString& text) { told.append(text); };
        window->show();
    }
    QString download(const QString& name, const QByteArray& script) {
        const QString folder = downloads.filePath(name);
        writeFile(folder + u"/script.zot"_s, script);
        return folder;
    }
    // Drags the paths over the window and lets go; whether it took the drag.
    bool drop(const QStringList& paths) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(window.get(), &dropped);
        return true;
    }
    QToolButton* button(const QString& name) const {
        for (QToolButton* b : window->MenuButtons)
            if (b->property("folderName").toString() == name)
                return b;
        return nullptr;
    }

    QTemporaryDir dataHome;
    QTemporaryDir downloads;
    std::unique_ptr<EnvironmentOverride> dataHomeVariable;
    QString userFolder;
    std::unique_ptr<TfrmZOT> window;
    QStringList asked;
    QStringList told;
    bool replace = false;
};

TEST_F(DropInstallTest, ADroppedFolderIsInstalledAndOpens) {
    start();
    ASSERT_TRUE(drop({download(u"Shop"_s, "name=Shop one\n")}));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_TRUE(QFileInfo(userFolder + u"/Shop/script.zot"_s).isFile());
    ASSERT_NE(button(u"Shop"_s), nullptr);
    EXPECT_EQ(window->frmEdit->caption(), u"Shop one");
    EXPECT_TRUE(window->frmEdit->reAbout->isHidden());
    EXPECT_EQ(window->MenuButtons[size_t(window->currentDesign() - 1)], button(u"Shop"_s));
    EXPECT_TRUE(asked.isEmpty());
}

TEST_F(DropInstallTest, ReplacingIsAskedAndOnlyAYesReplaces) {
    start();
    ASSERT_TRUE(drop({download(u"Shop"_s, "name=Shop one\n")}));
    const QString second = QDir(downloads.filePath(u"v2"_s)).filePath(u"Shop"_s);
    writeFile(second + u"/script.zot"_s, "name=Shop two\n");
    window->sbAboutClick();

    replace = false;
    ASSERT_TRUE(drop({second}));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.front().contains(u"Shop"_s)) << asked.front().toStdString();
    EXPECT_TRUE(asked.front().endsWith(u"Replace it?"_s)) << asked.front().toStdString();
    EXPECT_EQ(window->frmEdit->caption(), u"About");
    QFile kept(userFolder + u"/Shop/script.zot"_s);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("name=Shop one\n"));
    kept.close();

    replace = true;
    ASSERT_TRUE(drop({second}));
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(window->frmEdit->caption(), u"Shop two");
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(DropInstallTest, ARefusalComesInTheErrorBoxAndInstallsNothing) {
    start();
    const QString noScript = downloads.filePath(u"Empty"_s);
    QDir().mkpath(noScript);
    ASSERT_TRUE(drop({noScript}));
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_FALSE(errors.texts.front().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(userFolder + u"/Empty"_s));
    EXPECT_EQ(window->frmEdit->caption(), u"About");
    // A sample design's name would be hidden by the sample.
    ASSERT_TRUE(drop({download(u"Gold"_s, "name=Mine\n")}));
    EXPECT_EQ(errors.texts.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(userFolder + u"/Gold"_s));
}

TEST_F(DropInstallTest, WithTheStripFullTheUserIsToldAndNothingOpens) {
    for (int i = 0; i < 24; ++i)
        makeDesign(u"Design %1"_s.arg(i), "name=x\n");
    start();
    ASSERT_EQ(window->MenuCount, 25);
    ASSERT_TRUE(drop({download(u"Shop"_s, "name=Shop\n")}));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_TRUE(QFileInfo(userFolder + u"/Shop/script.zot"_s).isFile());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains(u"Shop"_s));
    EXPECT_EQ(window->frmEdit->caption(), u"About");
    EXPECT_EQ(button(u"Shop"_s), nullptr);
}

TEST_F(DropInstallTest, ADragOfSomethingElseIsNotTaken) {
    start();
    QMimeData text;
    text.setText(u"hello"_s);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QMimeData remote;
    remote.setUrls({QUrl(u"https://example.org/design.zip"_s)});
    QDragEnterEvent enterRemote(QPoint(10, 10), Qt::CopyAction, &remote, Qt::LeftButton, {});
    QCoreApplication::sendEvent(window.get(), &enterRemote);
    EXPECT_FALSE(enterRemote.isAccepted());
}

} // namespace
} // namespace zot::test
