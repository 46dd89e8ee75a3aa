// Wallpaper and clipboard, against a private settings file and an offscreen
// clipboard: nothing of the user's desktop is touched.
#include "imaging/Bitmap.h"
#include "platform/Clipboard.h"
#include "platform/Error.h"
#include "platform/Wallpaper.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace zot {
namespace {

QTemporaryDir* gConfigHome = nullptr;

QString keyfileText() {
    QFile file(gConfigHome->path() + QStringLiteral("/glib-2.0/settings/keyfile"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool schemaInstalled() {
    return QFile::exists(
        QStringLiteral("/usr/share/glib-2.0/schemas/org.gnome.desktop.background.gschema.xml"));
}

TEST(Wallpaper, WritesCentredPictureOnWhiteAndChangesTheUriEveryTime) {
    if (!schemaInstalled())
        GTEST_SKIP() << "desktop schemas not installed";
    const QString file = gConfigHome->path() + QStringLiteral("/@WS!BACK.BMP");
    setDesktopWallpaper(file);
    const QString first = keyfileText();
    EXPECT_TRUE(first.contains(QStringLiteral("[org/gnome/desktop/background]")));
    EXPECT_TRUE(first.contains(QStringLiteral("picture-uri='") + wallpaperUri(file, false) + "'"))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("picture-uri-dark='") + wallpaperUri(file, false)));
    EXPECT_TRUE(first.contains(QStringLiteral("picture-options='centered'")));
    EXPECT_TRUE(first.contains(QStringLiteral("primary-color='#ffffff'")));
    // The second use must look like a change to the desktop, the third too.
    setDesktopWallpaper(file);
    EXPECT_TRUE(keyfileText().contains(QStringLiteral("picture-uri='") + wallpaperUri(file, true)));
    setDesktopWallpaper(file);
    EXPECT_TRUE(
        keyfileText().contains(QStringLiteral("picture-uri='") + wallpaperUri(file, false)));
}

TEST(Wallpaper, BothUriSpellingsNameTheSameFile) {
    const QString file = QStringLiteral("/tmp/some dir/@WS!BACK.BMP");
    const QUrl plain(wallpaperUri(file, false));
    const QUrl escaped(wallpaperUri(file, true));
    EXPECT_NE(wallpaperUri(file, false), wallpaperUri(file, true));
    EXPECT_EQ(plain.toLocalFile(), file);
    EXPECT_EQ(escaped.toLocalFile(), file);
}

TEST(Wallpaper, MissingSchemaIsReportedAndWritesNothing) {
    QTemporaryDir emptySchemas;
    const QString before = keyfileText();
    try {
        setDesktopWallpaper(QStringLiteral("/tmp/x.bmp"), emptySchemas.path());
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'picture-uri'"));
    }
    EXPECT_EQ(keyfileText(), before);
}

TEST(Clipboard, HoldsTheFullSizeLogoAsAnImage) {
    Bitmap logo = Bitmap::create(31, 7, 8, {0xff000000, 0xffff0000, 0xffffffff});
    logo.fill(0xffff0000);
    logo.setPixel(0, 0, 0xffffffff);
    copyToClipboard(logo.toImage());
    const QImage pasted = QGuiApplication::clipboard()->image();
    ASSERT_EQ(pasted.size(), QSize(31, 7));
    EXPECT_EQ(pasted.pixel(0, 0) | 0xff000000, 0xffffffffu);
    EXPECT_EQ(pasted.pixel(30, 6) | 0xff000000, 0xffff0000u);
}

} // namespace
} // namespace zot

int main(int argc, char** argv) {
    // Settings go to a private key file before GLib reads the environment.
    QTemporaryDir configHome;
    zot::gConfigHome = &configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
