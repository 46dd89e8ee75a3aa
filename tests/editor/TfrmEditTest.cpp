#include "editor/TfrmEdit.h"
#include "support/WindowFixture.h"
#include "widgets/TabcToolButton.h"
#include "widgets/TabcURLLabel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <memory>

namespace zot::test {
namespace {

const QByteArray kTwoLines = "name=Two Lines\nbackgroundImage=bg.bmp\n" +
                             ttfSection("Top", "Alpha") + ttfSection("Bottom", "Beta");

class TfrmEditTest : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        makeDesign(QStringLiteral("Two"), kTwoLines, 301, 101);
    }

    TfrmEdit& editor() {
        if (!editor_) {
            editor_ = std::make_unique<TfrmEdit>(programDir.path());
            editor_->resize(800, 600);
            editor_->show();
        }
        return *editor_;
    }

    // Opens through the same path as a catalogue click: failures go to the box.
    void open(const QString& name) {
        runGuarded([&] { editor().OpenDesign(name); });
    }

    std::vector<QWidget*> outputControls() {
        TfrmEdit& e = editor();
        return {e.abcTBSave, e.abcTBCopy, e.abcTBWallpaper, e.cbSize, e.bbBatch};
    }

    std::unique_ptr<TfrmEdit> editor_;
};

TEST_F(TfrmEditTest, OpeningRendersOnceAndFillsTheInputsWithoutRenderingEach) {
    TfrmEdit& e = editor();
    const int before = e.engine().renderCount();
    open(QStringLiteral("Two"));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_EQ(e.engine().renderCount() - before, 1);
    ASSERT_EQ(e.LabelCount, 2);
    EXPECT_EQ(e.labelText(1), QStringLiteral("Alpha"));
    EXPECT_EQ(e.labelText(2), QStringLiteral("Beta"));
    EXPECT_EQ(e.Labels[0]->text(), QStringLiteral("Top"));
    EXPECT_EQ(e.Labels[1]->text(), QStringLiteral("Bottom"));
    EXPECT_EQ(e.caption(), QStringLiteral("Two Lines"));
    EXPECT_EQ(e.windowTitle(), QStringLiteral("Two Lines"));
}

TEST_F(TfrmEditTest, EachKeystrokeRendersOnce) {
    TfrmEdit& e = editor();
    open(QStringLiteral("Two"));
    const int before = e.engine().renderCount();
    EXPECT_EQ(e.Edits[1]->cursorPosition(), 0); // a long default shows from its start
    QTest::keyClick(e.Edits[1], Qt::Key_End);   // moving the cursor changes nothing
    EXPECT_EQ(e.engine().renderCount(), before);
    QTest::keyClicks(e.Edits[1], QStringLiteral("xyz"));
    EXPECT_EQ(e.engine().renderCount() - before, 3);
    EXPECT_EQ(e.labelText(2), QStringLiteral("Betaxyz"));
    QTest::keyClick(e.Edits[1], Qt::Key_Backspace);
    EXPECT_EQ(e.engine().renderCount() - before, 4);
}

TEST_F(TfrmEditTest, TextsSetOnTheEngineRenderOnceAndShowInTheEditBoxes) {
    TfrmEdit& e = editor();
    open(QStringLiteral("Two"));
    LogoEngine& engine = e.engine();
    const int before = engine.renderCount();
    engine.setLabelText(1, QStringLiteral("Alpha"));
    EXPECT_EQ(engine.renderCount(), before);
    engine.setLabelText(1, QStringLiteral("Gamma"));
    EXPECT_EQ(engine.renderCount(), before + 1); // not once more for the edit box
    EXPECT_EQ(e.Edits[0]->text(), QStringLiteral("Gamma"));
    engine.setLabelText(3, QStringLiteral("none")); // no such input
    engine.setLabelText(0, QStringLiteral("none"));
    EXPECT_EQ(engine.renderCount(), before + 1);
    EXPECT_EQ(e.labelText(3), QString());
    // Typing in the middle keeps the cursor where it is.
    e.Edits[0]->setCursorPosition(2);
    QTest::keyClicks(e.Edits[0], QStringLiteral("x"));
    EXPECT_EQ(engine.labelText(1), QStringLiteral("Gaxmma"));
    EXPECT_EQ(e.Edits[0]->cursorPosition(), 3);
}

TEST_F(TfrmEditTest, RowsStandAtTheRealHeightsOfCaptionAndEditBox) {
    QByteArray script = "backgroundImage=bg.bmp\n";
    for (int i = 1; i <= 4; ++i)
        script += ttfSection("Caption " + QByteArray::number(i), "text");
    makeDesign(QStringLiteral("Four"), script, 50, 20);
    TfrmEdit& e = editor();
    // A bigger font makes both controls taller: the pitch must follow.
    QFont big = e.font();
    big.setPixelSize(24);
    e.pInputs->setFont(big);
    open(QStringLiteral("Four"));
    ASSERT_EQ(e.LabelCount, 4);
    const int captionHeight = e.Labels[0]->height();
    const int editHeight = e.Edits[0]->height();
    EXPECT_GE(captionHeight, 24);
    EXPECT_EQ(e.rowPitch(), captionHeight + editHeight + 3);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(e.Labels[size_t(i)]->pos(), QPoint(3, i * e.rowPitch() + 1));
        EXPECT_EQ(e.Edits[size_t(i)]->pos(), QPoint(3, i * e.rowPitch() + captionHeight));
        EXPECT_EQ(e.Labels[size_t(i)]->height(), captionHeight);
        EXPECT_EQ(e.Edits[size_t(i)]->height(), editHeight);
        // The box never overlaps the next caption.
        EXPECT_LT(e.Edits[size_t(i)]->geometry().bottom(), (i + 1) * e.rowPitch() + 1);
    }
}

TEST_F(TfrmEditTest, ASecondDesignReplacesTheInputsAndNumbersFromOne) {
    makeDesign(QStringLiteral("One"), "backgroundImage=bg.bmp\n" + ttfSection("Only", "Solo"), 40,
               20);
    TfrmEdit& e = editor();
    open(QStringLiteral("Two"));
    open(QStringLiteral("One"));
    ASSERT_EQ(e.LabelCount, 1);
    EXPECT_EQ(e.labelText(1), QStringLiteral("Solo"));
    EXPECT_EQ(e.labelText(2), QString());
    EXPECT_EQ(e.pInputs->findChildren<QLineEdit*>().size(), 1);
    EXPECT_EQ(e.pInputs->findChildren<QLabel*>().size(), 1);
    EXPECT_EQ(e.Edits[0]->pos().y(), e.Labels[0]->height());
    // The caption of a script without name stays.
    EXPECT_EQ(e.caption(), QStringLiteral("Two Lines"));
}

TEST_F(TfrmEditTest, ErrorListHidesOnOpenButKeepsItsLines) {
    makeDesign(QStringLiteral("Bad1"), "bogus=1\n");
    makeDesign(QStringLiteral("Bad2"), "\nwrong\n");
    TfrmEdit& e = editor();
    EXPECT_TRUE(e.mErrors->isHidden());
    open(QStringLiteral("Bad1"));
    EXPECT_FALSE(e.mErrors->isHidden());
    open(QStringLiteral("Two"));
    EXPECT_TRUE(e.mErrors->isHidden());
    EXPECT_EQ(e.mErrors->toPlainText(), QStringLiteral("Unknown command on line 1 : bogus=1"));
    open(QStringLiteral("Bad2"));
    EXPECT_FALSE(e.mErrors->isHidden());
    EXPECT_EQ(e.mErrors->toPlainText(), QStringLiteral("Unknown command on line 1 : bogus=1\n"
                                                       "Unknown command on line 2 : wrong"));
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(TfrmEditTest, OutputControlsAreEnabledExactlyWhileADesignIsOpen) {
    TfrmEdit& e = editor();
    for (QWidget* control : outputControls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    open(QStringLiteral("Two"));
    for (QWidget* control : outputControls())
        EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    e.ResetDesign();
    for (QWidget* control : outputControls())
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    EXPECT_EQ(e.LabelCount, 0);
    EXPECT_TRUE(e.pInputs->findChildren<QLineEdit*>().isEmpty());
}

TEST_F(TfrmEditTest, AScriptThatStopsAtABadValueLeavesControlsEnabled) {
    makeDesign(QStringLiteral("Stops"),
               "backgroundImage=bg.bmp\n" + ttfSection("A", "a") + "backgroundExtraMarge=12px\n" +
                   ttfSection("B", "b"),
               30, 10);
    TfrmEdit& e = editor();
    const int before = e.engine().renderCount();
    open(QStringLiteral("Stops"));
    EXPECT_EQ(errors.texts, QStringList{QStringLiteral("'12px' is not a valid integer value.")});
    EXPECT_EQ(e.LabelCount, 1);
    EXPECT_EQ(e.engine().renderCount(), before);
    EXPECT_TRUE(e.cbSize->isEnabled());
}

TEST_F(TfrmEditTest, BatchButtonStaysAboveTheNoticeLabelsWhenResized) {
    TfrmEdit& e = editor();
    for (const QSize size : {QSize(800, 600), QSize(500, 250), QSize(900, 1000)}) {
        SCOPED_TRACE(size.height());
        e.resize(size);
        QCoreApplication::processEvents();
        const QRect area = e.pDynamic->contentsRect();
        EXPECT_EQ(e.abcURLLabel1->geometry().bottom(), area.bottom());
        EXPECT_EQ(e.Label2->geometry().bottom() + 1, e.abcURLLabel1->y());
        EXPECT_EQ(e.Label1->geometry().bottom() + 1, e.Label2->y());
        EXPECT_EQ(e.bbBatch->geometry().bottom() + 1, e.Label1->y());
        EXPECT_EQ(e.bbBatch->geometry(), QRect(8, e.bbBatch->y(), 113, 17));
        EXPECT_LT(e.sbInputs->geometry().bottom(), e.bbBatch->y());
    }
}

TEST_F(TfrmEditTest, ManyInputsScrollAboveTheBatchButton) {
    QByteArray script = "backgroundImage=bg.bmp\n";
    for (int i = 1; i <= 20; ++i)
        script += ttfSection("Line " + QByteArray::number(i), QByteArray::number(i));
    makeDesign(QStringLiteral("Tall"), script, 30, 10);
    TfrmEdit& e = editor();
    e.resize(600, 400);
    open(QStringLiteral("Tall"));
    QCoreApplication::processEvents();
    ASSERT_EQ(e.LabelCount, 20);
    EXPECT_EQ(e.pInputs->height(), 20 * e.rowPitch());
    QScrollBar* bar = e.sbInputs->verticalScrollBar();
    EXPECT_EQ(bar->maximum(), e.pInputs->height() - e.sbInputs->viewport()->height());
    // The last box can be brought into view, and it fits inside the panel.
    e.sbInputs->ensureWidgetVisible(e.Edits[19]);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_LE(e.Edits[19]->geometry().right(), e.sbInputs->viewport()->width() - 1);
}

TEST_F(TfrmEditTest, TheLinkOpensTheMakersAddress) {
    QList<QUrl> opened;
    const auto previous = TabcURLLabel::setOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    TfrmEdit& e = editor();
    QTest::mouseClick(e.abcURLLabel1, Qt::RightButton);
    QTest::mouseClick(e.abcURLLabel1, Qt::LeftButton);
    TabcURLLabel::setOpener(previous);
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QString::fromLatin1(TfrmEdit::kMakerAddress))});
    EXPECT_TRUE(e.abcURLLabel1->isVisible());
}

TEST_F(TfrmEditTest, ToolbarButtonsHaveTheirOwnDisabledGlyph) {
    TfrmEdit& e = editor();
    for (TabcToolButton* button : {e.abcTBSave, e.abcTBCopy, e.abcTBWallpaper}) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->size(), QSize(23, 22));
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
        const QImage on = button->icon().pixmap(16, 16, QIcon::Normal).toImage();
        const QImage off = button->icon().pixmap(16, 16, QIcon::Disabled).toImage();
        EXPECT_EQ(on.size(), QSize(16, 16));
        EXPECT_NE(on, off);
    }
    EXPECT_EQ(e.abcTBSave->toolTip(), QStringLiteral("Save to file (Ctrl+S)"));
    EXPECT_EQ(e.abcTBCopy->toolTip(), QStringLiteral("Copy 2 clipboard (Ctrl+Shift+C)"));
    EXPECT_EQ(e.abcTBWallpaper->toolTip(), QStringLiteral("Set as wallpaper (Ctrl+Shift+W)"));
}

// Zoom ----------------------------------------------------------------------

struct ZoomCase {
    const char* name;
    int width;
    int height;
    const char* text;
    QSize expected;
    const char* error; // nullptr: no error box
};

void PrintTo(const ZoomCase& c, std::ostream* os) {
    *os << c.name;
}

class ZoomTest : public TfrmEditTest, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(ZoomTest, RefitsTheViewWithoutRendering) {
    const ZoomCase& c = GetParam();
    makeDesign(QStringLiteral("Z"), "backgroundImage=bg.bmp\n" + ttfSection("L", "x"), c.width,
               c.height);
    TfrmEdit& e = editor();
    open(QStringLiteral("Z"));
    ASSERT_TRUE(errors.texts.isEmpty());
    const QSize atFifty = e.imgEdit->size();
    const int renders = e.engine().renderCount();
    e.cbSize->setEditText(QString::fromUtf8(c.text));
    EXPECT_EQ(e.engine().renderCount(), renders);
    if (c.error) {
        EXPECT_EQ(errors.texts, QStringList{QString::fromUtf8(c.error)});
        EXPECT_EQ(e.imgEdit->size(), atFifty);
    } else {
        EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
        EXPECT_EQ(e.imgEdit->size(), c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ZoomTest,
    ::testing::Values(
        ZoomCase{"HalfTiesToEven", 301, 101, "50%", {150, 50}, nullptr},
        ZoomCase{"HalfTieUp", 303, 101, "50%", {152, 50}, nullptr},
        ZoomCase{"Double", 301, 101, "200%", {602, 202}, nullptr},
        ZoomCase{"RealSize", 301, 101, "100%", {301, 101}, nullptr},
        ZoomCase{"TenPercent", 301, 101, "10%", {30, 10}, nullptr},
        ZoomCase{"QuarterTies", 15, 25, "10%", {2, 2}, nullptr},
        ZoomCase{"NoPercentSign", 301, 101, "75", {21, 7}, nullptr},
        ZoomCase{"Hexadecimal", 301, 101, "$64%", {301, 101}, nullptr},
        ZoomCase{"Zero", 301, 101, "0%", {0, 0}, nullptr},
        ZoomCase{"Negative", 301, 101, "-50%", {0, 0}, nullptr},
        ZoomCase{"Huge", 301, 101, "2147483647%", {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX}, nullptr},
        ZoomCase{"Letters", 301, 101, "abc%", {}, "'abc' is not a valid integer value."},
        ZoomCase{"Empty", 301, 101, "", {}, "'' is not a valid integer value."},
        ZoomCase{"LonePercent", 301, 101, "%", {}, "'' is not a valid integer value."},
        ZoomCase{"Spaces", 301, 101, "5 0%", {}, "'5 0' is not a valid integer value."}),
    [](const ::testing::TestParamInfo<ZoomCase>& p) { return std::string(p.param.name); });

TEST_F(TfrmEditTest, TypingAPercentageKeyByKey) {
    makeDesign(QStringLiteral("Z"), "backgroundImage=bg.bmp\n", 301, 101);
    TfrmEdit& e = editor();
    open(QStringLiteral("Z"));
    std::vector<QSize> sizes;
    QObject::connect(e.cbSize, &QComboBox::currentTextChanged,
                     [&] { sizes.push_back(e.imgEdit->size()); });
    e.cbSize->lineEdit()->clear();
    QTest::keyClicks(e.cbSize->lineEdit(), QStringLiteral("150%"));
    const QSize before(150, 50); // 50% until a text converts
    EXPECT_EQ(sizes, (std::vector<QSize>{before, before, {3, 1}, {45, 15}, {452, 152}}));
    EXPECT_EQ(errors.texts, (QStringList{QStringLiteral("'' is not a valid integer value."),
                                         QStringLiteral("'' is not a valid integer value.")}));
}

TEST_F(TfrmEditTest, ChosenZoomStaysForTheNextDesign) {
    makeDesign(QStringLiteral("Small"), "backgroundImage=bg.bmp\n", 40, 30);
    TfrmEdit& e = editor();
    open(QStringLiteral("Two"));
    e.cbSize->setCurrentIndex(4); // 200%
    EXPECT_EQ(e.imgEdit->size(), QSize(602, 202));
    open(QStringLiteral("Small"));
    EXPECT_EQ(e.cbSize->currentText(), QStringLiteral("200%"));
    EXPECT_EQ(e.imgEdit->size(), QSize(80, 60));
}

TEST_F(TfrmEditTest, TheViewShowsTheWholeLogoStretched) {
    makeDesign(QStringLiteral("Red"), "backgroundImage=bg.bmp\n", 0, 0);
    writeBmp(designPath(QStringLiteral("Red")) + QStringLiteral("/bg.bmp"), 10, 4,
             [](int x, int) { return x < 5 ? qRgb(255, 0, 0) : qRgb(0, 0, 255); });
    TfrmEdit& e = editor();
    open(QStringLiteral("Red"));
    e.cbSize->setEditText(QStringLiteral("200%"));
    const QImage shot = e.imgEdit->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(20, 8));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(9, 7), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(10, 0), qRgb(0, 0, 255));
    EXPECT_EQ(shot.pixel(19, 7), qRgb(0, 0, 255));
}

} // namespace
} // namespace zot::test
