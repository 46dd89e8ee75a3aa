// The view paints only what a keystroke changed; what the window shows after
// many keys must still be the whole logo, at every zoom and in every format.
#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTest>
#include <QTextEdit>
#include <memory>

namespace zot::test {
namespace {

struct ViewCase {
    int bpp;
    const char* zoom;
};

class LogoViewPaintTest : public WindowFixture, public ::testing::WithParamInterface<ViewCase> {};

// Records the parts of the view that are painted.
class PaintRecorder : public QObject {
  public:
    QRegion painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return QObject::eventFilter(watched, event);
    }
};

// The whole logo drawn at the view's size in one go.
QImage expectedView(TfrmEdit& window) {
    QWidget* view = window.imgEdit;
    const QImage logo = window.engine().logo().toImage().convertToFormat(QImage::Format_RGB32);
    QImage whole(view->size(), QImage::Format_RGB32);
    whole.fill(Qt::black);
    {
        QPainter painter(&whole);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(view->size())), logo);
    }
    return whole;
}

QImage shownView(TfrmEdit& window) {
    QImage shot(window.imgEdit->size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    window.imgEdit->render(&shot);
    return shot;
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
    window.reAbout->hide();  // as a click in the catalogue does
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.cbSize->setEditText(QString::fromLatin1(c.zoom));
    window.OpenDesign(design);
    QApplication::processEvents();

    PaintRecorder recorder;
    window.imgEdit->installEventFilter(&recorder);
    int partial = 0;
    const QStringList keys = {QStringLiteral("Titles"), QStringLiteral("Titles!"),
                              QStringLiteral("T"), QStringLiteral("Wide wide title")};
    for (const QString& text : keys) {
        window.Edits[0]->setText(text);
        const QRect changed = window.engine().changedArea();
        if (!changed.contains(QRect(QPoint(0, 0), QSize(700, 260))))
            ++partial;
        QApplication::processEvents();
        ASSERT_EQ(shownView(window), expectedView(window)) << text.toStdString();
    }
    EXPECT_EQ(partial, int(keys.size()));

    // The small print changes: what is painted is its place, not the view.
    QApplication::processEvents();
    recorder.painted = QRegion();
    window.Edits[1]->setText(QStringLiteral("smaller print"));
    QApplication::processEvents();
    const QRect visible = window.imgEdit->visibleRegion().boundingRect();
    EXPECT_LT(recorder.painted.boundingRect().height(), visible.height() / 2 + 2);
    EXPECT_EQ(shownView(window), expectedView(window));
}

INSTANTIATE_TEST_SUITE_P(FormatsAndZooms, LogoViewPaintTest,
                         ::testing::Values(ViewCase{24, "100%"}, ViewCase{24, "10%"},
                                           ViewCase{24, "50%"}, ViewCase{24, "200%"},
                                           ViewCase{8, "100%"}, ViewCase{8, "25%"},
                                           ViewCase{8, "200%"}, ViewCase{16, "100%"},
                                           ViewCase{4, "50%"}));

} // namespace
} // namespace zot::test
