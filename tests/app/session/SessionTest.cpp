// The desktop program on real display servers: natively on a headless
// Wayland compositor (weston), and on an X server (Xvfb) where another
// program reads the copied logo from the real clipboard.
#include "imaging/BmpCodec.h"
#include "support/WindowFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace zot::test {
namespace {

constexpr int kStartMs = 10000;

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QLatin1String(name));
}

// A program folder with one design: a background and one line of text.
class SessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(programDir.isValid() && runtimeDir.isValid());
        QFile::setPermissions(runtimeDir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(programDir.filePath(u"Plain/script.zot"_s),
                  "name=Plain\nbackgroundImage=bg.bmp\n" + ttfSection("Text", "Zot"));
        writeBmp(programDir.filePath(u"Plain/bg.bmp"_s), 120, 40,
                 [](int x, int) { return x < 60 ? qRgb(255, 255, 255) : qRgb(200, 230, 255); });
        // The about text is read from the working folder.
        writeFile(programDir.filePath(u"zot-about.rtf"_s), "{\\rtf1\\ansi About\\par}");
    }
    void TearDown() override {
        for (QProcess* p : {&driver, &server}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000))
                    p->kill();
                p->waitForFinished(2000);
            }
        }
    }

    // Reads one line of the driver's output, waiting for it.
    QString driverLine() {
        while (!driver.canReadLine())
            if (!driver.waitForReadyRead(kStartMs))
                return u"(no answer) "_s + QString::fromUtf8(driver.readAllStandardError());
        return QString::fromUtf8(driver.readLine()).trimmed();
    }

    void startDriver(QProcessEnvironment env, const QStringList& args) {
        // Under the sanitizers: whole stacks, so that the suppressions can
        // name the display libraries whose objects live until exit.
        if (env.contains(u"ASAN_OPTIONS"_s))
            env.insert(u"ASAN_OPTIONS"_s,
                       env.value(u"ASAN_OPTIONS"_s) + u":fast_unwind_on_malloc=0"_s);
        driver.setProcessEnvironment(env);
        driver.setWorkingDirectory(programDir.path());
        driver.start(QStringLiteral(ZOT_SESSION_DRIVER), args);
        ASSERT_TRUE(driver.waitForStarted(kStartMs));
    }

    QTemporaryDir programDir;
    QTemporaryDir runtimeDir;
    QProcess server;
    QProcess driver;
};

TEST_F(SessionTest, RunsNativelyOnWaylandAndSavesWhatWasTyped) {
    const QString weston = tool("weston");
    if (weston.isEmpty())
        GTEST_SKIP() << "weston is not installed (tools/install-deps.sh installs it)";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir.path());
    env.remove(u"DISPLAY"_s);
    server.setProcessEnvironment(env);
    server.setProcessChannelMode(QProcess::MergedChannels);
    server.start(weston, {u"--backend=headless-backend.so"_s, u"--socket=zot-test"_s,
                          u"--idle-time=0"_s, u"--width=800"_s, u"--height=600"_s});
    ASSERT_TRUE(server.waitForStarted(kStartMs));
    const QString socket = runtimeDir.filePath(u"zot-test"_s);
    for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
        QThread::msleep(50);
    ASSERT_TRUE(QFile::exists(socket)) << server.readAll().data();

    env.insert(u"WAYLAND_DISPLAY"_s, u"zot-test"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"wayland"_s);
    // Qt's Wayland text input assumes a seat, which the headless compositor
    // does not offer; typing without an input method is what is tested here.
    env.insert(u"QT_IM_MODULE"_s, u"none"_s);
    const QString saved = programDir.filePath(u"out/typed.bmp"_s);
    QDir().mkpath(programDir.filePath(u"out"_s));
    startDriver(env, {u"save"_s, programDir.path(), saved});
    EXPECT_EQ(driverLine(), u"platform wayland"_s);
    const QString result = driverLine();
    EXPECT_TRUE(result.startsWith(u"saved ZotHi "_s)) << result.toStdString();
    ASSERT_TRUE(driver.waitForFinished(20000));
    EXPECT_EQ(driver.exitCode(), 0) << driver.readAllStandardError().data();

    // A bitmap of the design's height, wider than the background for the text.
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QImage image = QImage::fromData(file.readAll(), "BMP");
    EXPECT_EQ(image.height(), 40);
    EXPECT_GE(image.width(), 120);
}

TEST_F(SessionTest, AnotherProgramPastesTheCopiedLogoOnX11) {
    const QString xvfb = tool("Xvfb");
    const QString xclip = tool("xclip");
    const QString xprop = tool("xprop");
    if (xvfb.isEmpty() || xclip.isEmpty() || xprop.isEmpty())
        GTEST_SKIP()
            << "Xvfb, xclip or xprop is not installed (tools/install-deps.sh installs them)";
    // The server picks a free display and names it on stdout.
    server.start(xvfb, {u"-displayfd"_s, u"1"_s, u"-nolisten"_s, u"tcp"_s, u"-screen"_s, u"0"_s,
                        u"800x600x24"_s});
    ASSERT_TRUE(server.waitForStarted(kStartMs));
    while (!server.canReadLine())
        ASSERT_TRUE(server.waitForReadyRead(kStartMs)) << server.readAllStandardError().data();
    const QString display = u':' + QString::fromLatin1(server.readLine()).trimmed();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DISPLAY"_s, display);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    env.insert(u"XDG_RUNTIME_DIR"_s, runtimeDir.path());
    env.remove(u"WAYLAND_DISPLAY"_s);
    const QString reference = programDir.filePath(u"copied.png"_s);
    startDriver(env, {u"copy"_s, programDir.path(), reference});
    EXPECT_EQ(driverLine(), u"platform xcb"_s);
    ASSERT_EQ(driverLine(), u"copied"_s);

    const auto run = [&](const QString& program, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        p.waitForFinished(kStartMs);
        return p.readAllStandardOutput();
    };
    const QByteArray targets =
        run(xclip, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"TARGETS"_s, u"-o"_s});
    EXPECT_TRUE(targets.contains("image/png")) << targets.data();
    const QImage pasted = QImage::fromData(
        run(xclip, {u"-selection"_s, u"clipboard"_s, u"-t"_s, u"image/png"_s, u"-o"_s}), "PNG");
    const QImage copied(reference);
    ASSERT_FALSE(copied.isNull());
    ASSERT_EQ(pasted.size(), copied.size());
    EXPECT_EQ(pasted.convertToFormat(QImage::Format_RGB32),
              copied.convertToFormat(QImage::Format_RGB32));

    // The window manager sees the title as given, without the program's name.
    const QByteArray title = run(xprop, {u"-name"_s, u"ZOT"_s, u"_NET_WM_NAME"_s});
    EXPECT_EQ(title.trimmed(), QByteArray("_NET_WM_NAME(UTF8_STRING) = \"ZOT\"")) << title.data();

    driver.closeWriteChannel(); // the driver quits
    ASSERT_TRUE(driver.waitForFinished(10000));
    EXPECT_EQ(driver.exitCode(), 0) << driver.readAllStandardError().data();
}

} // namespace
} // namespace zot::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
