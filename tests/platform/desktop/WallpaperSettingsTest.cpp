// The GSettings desktops (GNOME and its relatives, Cinnamon, MATE) against
// GLib's key-file backend in a private folder, with each desktop's schema
// compiled for the test; and how a refused or lost write is reported.
#include "platform/Error.h"
#include "platform/Wallpaper.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
#include <optional>

using namespace Qt::StringLiterals;

namespace zot {
namespace {

QTemporaryDir* gConfigHome = nullptr;
QStringList gCompiledSchemas; // the schema files compiled for this run
const QString kSystemSchemas = u"/usr/share/glib-2.0/schemas"_s;

QString keyfileText() {
    QFile file(gConfigHome->path() + u"/glib-2.0/settings/keyfile"_s);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// One group of the key file: its "key=value" lines.
QStringList keyfileGroup(const QString& group) {
    QStringList lines;
    bool inGroup = false;
    for (const QString& line : keyfileText().split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u'['))
            inGroup = line == u'[' + group + u']';
        else if (inGroup)
            lines << line;
    }
    lines.sort();
    return lines;
}

std::optional<QString> setWallpaper(const QString& file) {
    try {
        setDesktopWallpaper(file);
    } catch (const Error& e) {
        return e.message();
    }
    return std::nullopt;
}

struct SettingsDesktop {
    const char* name;
    const char* xdgCurrentDesktop;
    const char* schemaFile; // in the system's schema folder
    const char* group;      // the schema's path in the key file
    bool uri;               // the picture as URI, or as path
    QStringList pictureKeys;
    QStringList fixedLines; // the rest of the group, sorted
};
void PrintTo(const SettingsDesktop& c, std::ostream* os) {
    *os << c.name;
}

class WallpaperSettingsTest : public ::testing::TestWithParam<SettingsDesktop> {};

TEST_P(WallpaperSettingsTest, CentresThePictureOnWhiteAndRenamesItEachTime) {
    const SettingsDesktop& d = GetParam();
    if (!gCompiledSchemas.contains(QLatin1String(d.schemaFile)))
        GTEST_SKIP() << d.schemaFile << " is not installed (Debian package missing)";
    qputenv("XDG_CURRENT_DESKTOP", d.xdgCurrentDesktop);
    // A folder per case: what an earlier case left must not decide the spelling.
    const QString file = gConfigHome->filePath(QLatin1String(d.name) + u"/@WS!BACK.BMP"_s);
    const auto expected = [&](bool alternate) {
        const QString picture =
            d.uri ? wallpaperUri(file, alternate) : wallpaperPath(file, alternate);
        QStringList lines = d.fixedLines;
        for (const QString& key : d.pictureKeys)
            lines << key + u"='"_s + picture + u'\'';
        lines.sort();
        return lines;
    };
    ASSERT_EQ(setWallpaper(file), std::nullopt);
    EXPECT_EQ(keyfileGroup(QLatin1String(d.group)), expected(false));
    // The file name never changes, so the spelling does: the desktop reloads.
    ASSERT_EQ(setWallpaper(file), std::nullopt);
    EXPECT_EQ(keyfileGroup(QLatin1String(d.group)), expected(true));
    ASSERT_EQ(setWallpaper(file), std::nullopt);
    EXPECT_EQ(keyfileGroup(QLatin1String(d.group)), expected(false));
}

const QStringList kCentredOnWhite{u"color-shading-type='solid'"_s, u"picture-options='centered'"_s,
                                  u"primary-color='#ffffff'"_s};

INSTANTIATE_TEST_SUITE_P(
    Desktops, WallpaperSettingsTest,
    ::testing::Values(SettingsDesktop{"Gnome",
                                      "GNOME",
                                      "org.gnome.desktop.background.gschema.xml",
                                      "org/gnome/desktop/background",
                                      true,
                                      {u"picture-uri"_s, u"picture-uri-dark"_s},
                                      kCentredOnWhite},
                      SettingsDesktop{"UbuntuGnome",
                                      "ubuntu:GNOME",
                                      "org.gnome.desktop.background.gschema.xml",
                                      "org/gnome/desktop/background",
                                      true,
                                      {u"picture-uri"_s, u"picture-uri-dark"_s},
                                      kCentredOnWhite},
                      SettingsDesktop{"Cinnamon",
                                      "X-Cinnamon",
                                      "org.cinnamon.desktop.background.gschema.xml",
                                      "org/cinnamon/desktop/background",
                                      true,
                                      {u"picture-uri"_s},
                                      kCentredOnWhite},
                      SettingsDesktop{"Mate",
                                      "MATE",
                                      "org.mate.background.gschema.xml",
                                      "org/mate/desktop/background",
                                      false,
                                      {u"picture-filename"_s},
                                      kCentredOnWhite}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(DesktopDetection, TakesTheFirstKnownNameOfTheList) {
    const std::pair<const char*, Desktop> cases[] = {
        {"GNOME", Desktop::Gnome},
        {"ubuntu:GNOME", Desktop::Gnome},
        {"Unity:Unity7:ubuntu", Desktop::Gnome},
        {"Budgie:GNOME", Desktop::Gnome},
        {"Pantheon", Desktop::Gnome},
        {"GNOME-Flashback:GNOME", Desktop::Gnome},
        {"X-Cinnamon", Desktop::Cinnamon},
        {"MATE", Desktop::Mate},
        {"KDE", Desktop::Plasma},
        {"kde", Desktop::Plasma},
        {"XFCE", Desktop::Xfce},
        {"X-Generic:XFCE", Desktop::Xfce},
        {"LXQt", Desktop::Unknown},
        {"", Desktop::Unknown},
        {"::", Desktop::Unknown},
        {"GNOMEISH", Desktop::Unknown},
    };
    for (const auto& [value, desktop] : cases)
        EXPECT_EQ(detectDesktop(QString::fromLatin1(value)), desktop) << value;
}

TEST(WallpaperFailure, NoDesktopWeKnowIsReportedNotIgnored) {
    qputenv("XDG_CURRENT_DESKTOP", "LXQt");
    const QString before = keyfileText();
    EXPECT_EQ(setWallpaper(u"/tmp/x.bmp"_s), u"Failed to set data for 'Wallpaper'"_s);
    qunsetenv("XDG_CURRENT_DESKTOP");
    EXPECT_EQ(setWallpaper(u"/tmp/x.bmp"_s), u"Failed to set data for 'Wallpaper'"_s);
    EXPECT_EQ(keyfileText(), before);
}

TEST(WallpaperFailure, AMissingSchemaIsReported) {
    QTemporaryDir emptySchemas;
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    try {
        setDesktopWallpaper(u"/tmp/x.bmp"_s, emptySchemas.path());
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), u"Failed to set data for 'picture-uri'"_s);
    }
}

// A backend chosen at start-up cannot be changed in a running program: each
// case runs this program again with that backend and reads what it said.
struct BackendCase {
    const char* name;
    const char* backend;
    const char* desktop;
    const char* setting;
};
void PrintTo(const BackendCase& c, std::ostream* os) {
    *os << c.name;
}

class WallpaperBackendFailureTest : public ::testing::TestWithParam<BackendCase> {};

TEST_P(WallpaperBackendFailureTest, IsReportedNamingTheSetting) {
    const BackendCase& c = GetParam();
    if (!gCompiledSchemas.contains(u"org.gnome.desktop.background.gschema.xml"_s))
        GTEST_SKIP() << "GNOME's background schema is not installed";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ZOT_WALLPAPER_CHILD_BACKEND"_s, QLatin1String(c.backend));
    env.insert(u"XDG_CURRENT_DESKTOP"_s, QLatin1String(c.desktop));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--set-wallpaper"_s, gConfigHome->filePath(u"@WS!BACK.BMP"_s)});
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
              u"Failed to set data for '"_s + QLatin1String(c.setting) + u"'"_s)
        << child.readAllStandardError().data();
}

INSTANTIATE_TEST_SUITE_P(
    Backends, WallpaperBackendFailureTest,
    ::testing::Values(
        // Read-only settings: nothing may be written.
        BackendCase{"Refused", "null", "GNOME", "picture-uri"},
        // GLib's fallback keeps writes in memory only: the desktop never sees them.
        BackendCase{"KeptInMemoryOnly", "memory", "GNOME", "picture-uri"}),
    [](const auto& p) { return std::string(p.param.name); });

// Compiles the desktops' schemas that the system has into dir.
void compileSchemas(const QString& dir) {
    for (const char* name :
         {"org.gnome.desktop.background.gschema.xml", "org.gnome.desktop.enums.xml",
          "org.cinnamon.desktop.background.gschema.xml", "org.cinnamon.desktop.enums.xml",
          "org.mate.background.gschema.xml"}) {
        const QString source = kSystemSchemas + u'/' + QLatin1String(name);
        if (QFile::copy(source, dir + u'/' + QLatin1String(name)))
            gCompiledSchemas << QLatin1String(name);
    }
    const int rc = QProcess::execute(u"glib-compile-schemas"_s, {dir});
    if (rc != 0)
        gCompiledSchemas.clear();
}

} // namespace
} // namespace zot

int main(int argc, char** argv) {
    // Settings go to a private key file, schemas come from a private folder,
    // both set before GLib reads the environment.
    QTemporaryDir configHome;
    QTemporaryDir schemas;
    if (!configHome.isValid() || !schemas.isValid())
        return 1;
    zot::gConfigHome = &configHome;
    const QByteArray childBackend = qgetenv("ZOT_WALLPAPER_CHILD_BACKEND");
    qputenv("GSETTINGS_BACKEND", childBackend.isEmpty() ? "keyfile" : childBackend);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    zot::compileSchemas(schemas.path());
    qputenv("GSETTINGS_SCHEMA_DIR", QFile::encodeName(schemas.path()));
    QCoreApplication app(argc, argv);
    if (!childBackend.isEmpty()) {
        // One wallpaper, and what it said on stdout.
        const QStringList args = QCoreApplication::arguments();
        if (args.size() < 3 || args[1] != u"--set-wallpaper"_s)
            return 2;
        try {
            zot::setDesktopWallpaper(args[2]);
            std::puts("no error");
        } catch (const zot::Error& e) {
            std::puts(e.message().toUtf8().constData());
        }
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
