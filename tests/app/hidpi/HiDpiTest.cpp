// The windows on a screen of scale 2 (the offscreen platform with
// QT_SCALE_FACTOR=2): the logo view counts device pixels, the glyphs have
// pictures of their own for the finer screen, and the layout stays logical.
#include "app/AppIcon.h"
#include "app/TfrmZOT.h"
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"
#include "widgets/TabcToolButton.h"

#include <QApplication>
#include <QComboBox>
#include <QSet>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace zot::test {
namespace {

// A background with a different colour in every pixel, so that any
// stretching or smoothing shows.
void writeCheckedBackground(const QString& path, int width, int height) {
    writeBmp(path, width, height, [](int x, int y) { return qRgb(x * 5 % 256, y * 9 % 256, 77); });
}

class HiDpiTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        makeDesign(u"Even"_s, "name=Even\nbackgroundImage=bg.bmp\n");
        writeCheckedBackground(designPath(u"Even"_s) + u"/bg.bmp"_s, 40, 20);
        makeDesign(u"Odd"_s, "name=Odd\nbackgroundImage=bg.bmp\n", 301, 101);
        window = std::make_unique<TfrmZOT>(programDir.path());
        window->show();
    }
    TfrmEdit& editor() { return *window->frmEdit; }
    void open(const QString& name) {
        runGuarded([&] { editor().OpenDesign(name); });
        ASSERT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    }

    std::unique_ptr<TfrmZOT> window;
};

TEST_F(HiDpiTest, TheScreenReallyHasScaleTwo) {
    EXPECT_EQ(window->devicePixelRatioF(), 2.0);
}

TEST_F(HiDpiTest, HundredPercentIsOneLogoPixelPerDevicePixel) {
    open(u"Even"_s);
    editor().cbSize->setEditText(u"100%"_s);
    TLogoView* view = editor().imgEdit;
    EXPECT_EQ(view->deviceSize(), QSize(40, 20));
    EXPECT_EQ(view->size(), QSize(20, 10));
    // What the screen gets: the logo itself, pixel for pixel, not blurred.
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage logo = editor().engine().logo().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(40, 20));
    EXPECT_EQ(shown, logo);
}

TEST_F(HiDpiTest, OtherPercentagesFollowOnDevicePixels) {
    struct Case {
        const char* design;
        const char* zoom;
        QSize device;
        QSize logical;
    };
    for (const Case& c :
         {Case{"Even", "50%", {20, 10}, {10, 5}}, Case{"Even", "200%", {80, 40}, {40, 20}},
          Case{"Even", "25%", {10, 5}, {5, 3}}, // half a pixel is still shown
          Case{"Odd", "50%", {150, 50}, {75, 25}}, Case{"Odd", "100%", {301, 101}, {151, 51}}}) {
        SCOPED_TRACE(std::string(c.design) + " " + c.zoom);
        open(QLatin1String(c.design));
        editor().cbSize->setEditText(QLatin1String(c.zoom));
        EXPECT_EQ(editor().imgEdit->deviceSize(), c.device);
        EXPECT_EQ(editor().imgEdit->size(), c.logical);
    }
}

TEST_F(HiDpiTest, FiftyPercentShowsEveryOtherLogoPixelUnblurred) {
    open(u"Even"_s);
    editor().cbSize->setEditText(u"50%"_s);
    const QImage shown = editor().imgEdit->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(20, 10));
    const QImage logo = editor().engine().logo().toImage().convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> logoColours;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x)
            logoColours.insert(logo.pixel(x, y));
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_TRUE(logoColours.contains(shown.pixel(x, y))) << x << "," << y;
}

// Every pixel of a picture at scale 2 belongs to a 2 x 2 block of one colour:
// a picture of its own, not a smoothed enlargement.
void expectSharpDouble(const QPixmap& pixmap, QSize logical) {
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    ASSERT_EQ(pixmap.size(), logical * 2);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            ASSERT_TRUE(image.pixel(x + 1, y) == c && image.pixel(x, y + 1) == c &&
                        image.pixel(x + 1, y + 1) == c)
                << x << "," << y;
        }
}

TEST_F(HiDpiTest, GlyphsAndArrowsHavePicturesForTheFinerScreen) {
    for (TabcToolButton* button :
         {editor().abcTBSave, editor().abcTBCopy, editor().abcTBWallpaper}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->size(), QSize(23, 22)); // the layout stays in logical pixels
        EXPECT_EQ(button->iconSize(), QSize(16, 16));
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
            expectSharpDouble(button->icon().pixmap(QSize(16, 16), 2.0, mode), {16, 16});
        EXPECT_NE(button->icon().pixmap(QSize(16, 16), 2.0, QIcon::Normal).toImage(),
                  button->icon().pixmap(QSize(16, 16), 2.0, QIcon::Disabled).toImage());
    }
    for (QToolButton* arrow : {window->sbLeftMenu, window->sbRightMenu}) {
        SCOPED_TRACE(arrow->objectName().toStdString());
        EXPECT_EQ(arrow->size(), QSize(12, 28));
        expectSharpDouble(arrow->icon().pixmap(QSize(6, 19), 2.0, QIcon::Normal), {6, 19});
    }
    EXPECT_EQ(editor().cbSize->geometry().width(), 51);
}

TEST(ApplicationIcon, IsDrawnAtTheDeviceSizeOfEveryScale) {
    const QIcon icon = applicationIcon();
    for (const int side : {16, 24, 32, 48}) {
        SCOPED_TRACE(side);
        const QPixmap fine = icon.pixmap(QSize(side, side), 2.0);
        EXPECT_EQ(fine.size(), QSize(2 * side, 2 * side));
        EXPECT_EQ(fine.devicePixelRatio(), 2.0);
        // The same drawing as at twice the size on a plain screen, so not an
        // enlargement of the small one.
        EXPECT_EQ(fine.toImage(), icon.pixmap(QSize(2 * side, 2 * side), 1.0).toImage());
        EXPECT_NE(icon.pixmap(QSize(side, side), 1.0, QIcon::Disabled).toImage(),
                  icon.pixmap(QSize(side, side), 1.0, QIcon::Normal).toImage());
    }
}

} // namespace
} // namespace zot::test

int main(int argc, char** argv) {
    QTemporaryDir configHome;
    if (!configHome.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    qputenv("GSETTINGS_BACKEND", "keyfile");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
