// "Open design folder" through the desktop's file manager, over a private
// session bus of its own (dbus-run-session) with a stand-in service; and
// the default URL handler when no file manager answers.
#include "platform/Error.h"
#include "platform/FileManager.h"

#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace zot {
namespace {

bool gPrivateBus = false;

// Receives what the default URL handler would open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> opened;
  public slots:
    void open(const QUrl& url) { opened.append(url); }
};

class FileManagerBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!gPrivateBus)
            GTEST_SKIP() << "dbus-run-session is not installed: no private bus to test on";
        ASSERT_TRUE(dir.isValid());
        QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler(u"file"_s);
        if (service.state() != QProcess::NotRunning) {
            service.terminate();
            service.waitForFinished(5000);
        }
    }
    void startService() {
        service.setProgram(QStringLiteral(ZOT_FAKE_FILE_MANAGER));
        service.setArguments({logPath()});
        service.start();
        ASSERT_TRUE(service.waitForStarted(5000));
        while (!service.canReadLine())
            ASSERT_TRUE(service.waitForReadyRead(10000)) << service.readAllStandardError().data();
        ASSERT_EQ(service.readLine().trimmed(), QByteArray("ready"));
    }
    QString logPath() const { return dir.filePath(u"calls.log"_s); }
    QStringList calls() const {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QProcess service;
    UrlCatcher catcher;
};

TEST_F(FileManagerBusTest, TheFileManagerIsAskedToShowTheFolder) {
    startService();
    const QString folder = dir.filePath(u"My Gold"_s);
    showFolder(folder);
    const QStringList received = calls();
    ASSERT_EQ(received.size(), 1);
    EXPECT_EQ(received.front(), u"ShowFolders (['"_s +
                                    QString::fromUtf8(QUrl::fromLocalFile(folder).toEncoded()) +
                                    u"'], '')"_s);
    EXPECT_TRUE(catcher.opened.isEmpty());
}

TEST_F(FileManagerBusTest, WithoutAFileManagerTheDefaultHandlerOpensIt) {
    const QString folder = dir.filePath(u"Gold"_s);
    EXPECT_FALSE(showFolderOverBus(folder));
    showFolder(folder);
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front(), QUrl::fromLocalFile(folder));
}

} // namespace
} // namespace zot

int main(int argc, char** argv) {
    // Never the user's session bus: run again inside a private one.
    if (!qEnvironmentVariableIsSet("ZOT_PRIVATE_BUS")) {
        const QString runner = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
        if (!runner.isEmpty()) {
            qputenv("ZOT_PRIVATE_BUS", "1");
            std::vector<char*> args{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
            for (int i = 0; i < argc; ++i)
                args.push_back(argv[i]);
            args.push_back(nullptr);
            const QByteArray path = QFile::encodeName(runner);
            execv(path.constData(), args.data());
        }
    } else {
        zot::gPrivateBus = true;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "FileManagerBusTest.moc"
