// KDE Plasma and Xfce wallpapers through a private session bus of their own
// (dbus-run-session), with a stand-in service that records what it is asked.
#include "platform/Error.h"
#include "platform/Wallpaper.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
#include <optional>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zot {
namespace {

bool gPrivateBus = false;

// Sets an environment variable for one scope.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name), old_(qgetenv(name)), had_(qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

  private:
    const char* name_;
    QByteArray old_;
    bool had_;
};

// The error setDesktopWallpaper reported, if any.
std::optional<QString> setWallpaper(const QString& file) {
    try {
        setDesktopWallpaper(file);
    } catch (const Error& e) {
        return e.message();
    }
    return std::nullopt;
}

class WallpaperBusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!gPrivateBus)
            GTEST_SKIP() << "dbus-run-session is not installed: no private bus to test on";
        ASSERT_TRUE(dir.isValid());
        picture = dir.filePath(QStringLiteral("@WS!BACK.BMP"));
    }
    void TearDown() override {
        if (service.state() != QProcess::NotRunning) {
            service.terminate();
            service.waitForFinished(5000);
        }
    }

    void startService(const QStringList& options = {}) {
        service.setProgram(QStringLiteral(ZOT_FAKE_DESKTOP_BUS));
        service.setArguments(QStringList{logPath()} + options);
        service.start();
        ASSERT_TRUE(service.waitForStarted(5000));
        // "ready" once it owns both names.
        while (!service.canReadLine())
            ASSERT_TRUE(service.waitForReadyRead(10000)) << service.readAllStandardError().data();
        ASSERT_EQ(service.readLine().trimmed(), QByteArray("ready"));
    }

    QString logPath() const { return dir.filePath(QStringLiteral("calls.log")); }
    QStringList calls() const {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString picture;
    QProcess service;
};

TEST_F(WallpaperBusTest, PlasmaShellRunsOneScriptForEveryDesktop) {
    startService();
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    EXPECT_EQ(setWallpaper(picture), std::nullopt);
    const QStringList received = calls();
    ASSERT_EQ(received.size(), 1) << received.join(u'\n').toStdString();
    EXPECT_TRUE(received.first().startsWith(u"evaluateScript ('"_s))
        << received.first().toStdString();
    QFile scriptFile(logPath() + u".script"_s);
    ASSERT_TRUE(scriptFile.open(QIODevice::ReadOnly));
    const QString script = QString::fromUtf8(scriptFile.readAll());
    for (const QString& piece :
         {u"desktops()"_s, u"d.wallpaperPlugin = \"org.kde.image\""_s,
          u"[\"Wallpaper\", \"org.kde.image\", \"General\"]"_s, u"d.writeConfig(\"FillMode\", 6)"_s,
          u"d.writeConfig(\"Color\", \"#ffffff\")"_s,
          u"var plain = \""_s + wallpaperUri(picture, false) + u"\""_s,
          u"var other = \""_s + wallpaperUri(picture, true) + u"\""_s,
          u"d.readConfig(\"Image\") == plain ? other : plain"_s})
        EXPECT_TRUE(script.contains(piece))
            << piece.toStdString() << "\nin " << script.toStdString();
}

TEST_F(WallpaperBusTest, XfconfSetsEveryMonitorAndWorkspaceAndNothingElse) {
    startService();
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "XFCE");
    EXPECT_EQ(setWallpaper(picture), std::nullopt);
    QStringList expected{u"GetAllProperties ('xfce4-desktop', '/backdrop')"_s};
    for (const char* set : {"/backdrop/screen0/monitorHDMI-1/workspace0/",
                            "/backdrop/screen0/monitorHDMI-1/workspace1/",
                            "/backdrop/screen0/monitoreDP-1/workspace0/"}) {
        const QString base = u"SetProperty ('xfce4-desktop', '"_s + QLatin1String(set);
        expected << base + u"last-image', <'"_s + picture + u"'>)"_s
                 << base + u"image-style', <1>)"_s << base + u"color-style', <0>)"_s
                 << base + u"rgba1', <[<1.0>, <1.0>, <1.0>, <1.0>]>)"_s;
    }
    EXPECT_EQ(calls(), expected);

    // The second time the same file is named another way, so xfdesktop reloads it.
    EXPECT_EQ(setWallpaper(picture), std::nullopt);
    const QStringList second = calls().mid(expected.size());
    ASSERT_EQ(second.size(), expected.size());
    EXPECT_EQ(second[1], u"SetProperty ('xfce4-desktop', "
                         "'/backdrop/screen0/monitorHDMI-1/workspace0/last-image', <'"_s +
                             wallpaperPath(picture, true) + u"'>)"_s);
    EXPECT_NE(wallpaperPath(picture, true), picture);
}

struct FailureCase {
    const char* name;
    const char* desktop;
    enum Situation { NoBus, NoService, Refused, NoBackdrop } situation;
    const char* setting;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class WallpaperBusFailureTest : public WallpaperBusTest,
                                public ::testing::WithParamInterface<FailureCase> {};

// Each failure reaches the user as the error naming the setting.
TEST_P(WallpaperBusFailureTest, IsReportedNamingTheSetting) {
    const FailureCase& c = GetParam();
    std::optional<ScopedEnv> address;
    if (c.situation == FailureCase::NoBus)
        address.emplace("DBUS_SESSION_BUS_ADDRESS",
                        "unix:path=" + QFile::encodeName(dir.path()) + "/no-bus-here");
    else if (c.situation == FailureCase::Refused)
        startService({u"refuse"_s});
    else if (c.situation == FailureCase::NoBackdrop)
        startService({u"no-backdrop"_s});
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", c.desktop);
    EXPECT_EQ(setWallpaper(picture),
              u"Failed to set data for '"_s + QLatin1String(c.setting) + u"'"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, WallpaperBusFailureTest,
    ::testing::Values(FailureCase{"PlasmaNoBus", "KDE", FailureCase::NoBus, "Image"},
                      FailureCase{"PlasmaNoShell", "KDE", FailureCase::NoService, "Image"},
                      FailureCase{"PlasmaScriptRefused", "KDE", FailureCase::Refused, "Image"},
                      FailureCase{"XfceNoBus", "XFCE", FailureCase::NoBus, "last-image"},
                      FailureCase{"XfceNoXfconf", "XFCE", FailureCase::NoService, "last-image"},
                      FailureCase{"XfceNoBackdrop", "XFCE", FailureCase::NoBackdrop, "last-image"},
                      FailureCase{"XfceWriteRefused", "XFCE", FailureCase::Refused,
                                  "/backdrop/screen0/monitorHDMI-1/workspace0/last-image"}),
    [](const auto& p) { return std::string(p.param.name); });

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
        // No private bus to be had: no test may reach the user's own.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zot-no-bus");
    } else {
        zot::gPrivateBus = true;
    }
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
