// The view paints only what a keystroke changed; what the window shows after
// many keys must still be the whole logo, at every zoom and in every format.
#include "editor/window/TfrmEdit.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <memory>

namespace zot::test {
namespace {

struct ViewCase {
    int bpp;
    const char* zoom;
};

class LogoViewPaintTest : public WindowFixture, public ::testing::WithParamInterface<ViewCase> {};

// What the window's backing store holds of the view: the paints as they
// happened, not a fresh paint of the whole view.
QImage shownOnScreen(TfrmEdit& window) {
    QWidget* view = window.imgEdit;
    const QRect visible = view->visibleRegion().boundingRect();
    const QPoint at = view->mapTo(&window, visible.topLeft());
    return window.screen()
        ->grabWindow(window.winId(), at.x(), at.y(), visible.width(), visible.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The whole logo drawn at the view's size in one go, cut to what shows.
QImage expectedView(TfrmEdit& window) {
    QWidget* view = window.imgEdit;
    const QImage logo = window.engine().logo().toImage().convertToFormat(QImage::Format_RGB32);
    QImage whole(view->size(), QImage::Format_RGB32);
    whole.fill(Qt::black);
    {
        QPainter painter(&whole);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(view->size())), logo);
    }
    return whole.copy(view->visibleRegion().boundingRect());
}

TEST_P(LogoViewPaintTest, KeystrokesLeaveTheWholeLogoShown) {
    const ViewCase c = GetParam();
    const QString design = QStringLiteral("Wall");
    // Stripes, so that a part painted from the wrong place shows.
    writeBmp(
        designPath(design) + QStringLiteral("/bg.bmp"), 700, 260,
        [](int x, int y) {
            return (x / 7 + y / 5) % 3 == 0   ? qRgb(255, 255, 255)
                   : (x / 7 + y / 5) % 3 == 1 ? qRgb(0, 0, 128)
                                              : qRgb(0, 128, 0);
        },
        c.bpp);
    writeFile(designPath(design) + QStringLiteral("/script.zot"),
              "backgroundImage=bg.bmp\n"
              "ttfFont\nname=DejaVu Sans\nsize=30\nxpos=center\nalign=center\nypos=20\n"
              "color=$0000FF\ndefault=Title\nttfFontEnd\n"
              "ttfFont\nname=DejaVu Serif\nsize=12\nxpos=40\nypos=200\ncolor=$00FFFF\n"
              "default=small print\nttfFontEnd\n");

    TfrmEdit window(programDir.path());
    window.resize(640, 420); // the logo at 100% and 200% does not fit
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.cbSize->setEditText(QString::fromLatin1(c.zoom));
    window.OpenDesign(design);
    QApplication::processEvents();

    int partial = 0;
    const QStringList keys = {QStringLiteral("Titles"), QStringLiteral("Titles!"),
                              QStringLiteral("T"), QStringLiteral("Wide wide title")};
    for (const QString& text : keys) {
        window.Edits[0]->setText(text);
        const QRect changed = window.engine().changedArea();
        if (!changed.contains(QRect(QPoint(0, 0), QSize(700, 260))))
            ++partial;
        QApplication::processEvents();
        ASSERT_EQ(shownOnScreen(window), expectedView(window)) << text.toStdString();
    }
    window.Edits[1]->setText(QStringLiteral("smaller print"));
    QApplication::processEvents();
    EXPECT_EQ(shownOnScreen(window), expectedView(window));
    EXPECT_EQ(partial, int(keys.size()));

    // Scrolled to the far corner, where the second line lies.
    window.ScrollBox1->ensureVisible(window.imgEdit->width(), window.imgEdit->height());
    QApplication::processEvents();
    window.Edits[1]->setText(QStringLiteral("small"));
    QApplication::processEvents();
    EXPECT_EQ(shownOnScreen(window), expectedView(window));
}

INSTANTIATE_TEST_SUITE_P(FormatsAndZooms, LogoViewPaintTest,
                         ::testing::Values(ViewCase{24, "100%"}, ViewCase{24, "10%"},
                                           ViewCase{24, "50%"}, ViewCase{24, "200%"},
                                           ViewCase{8, "100%"}, ViewCase{8, "25%"},
                                           ViewCase{8, "200%"}, ViewCase{16, "100%"},
                                           ViewCase{4, "50%"}));

} // namespace
} // namespace zot::test
