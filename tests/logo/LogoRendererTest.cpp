#include "support/DesignFixture.h"

namespace zot::test {
namespace {

class LogoRendererTest : public DesignFixture {
  protected:
    // A background of width bw, and one 21-pixel character "a" for the
    // character mode's pitch.
    void writeCharacters(int width = 21) { writeSolid("chars/a.bmp", width, 10, kYellow); }
};

TEST_F(LogoRendererTest, CenterRunStartsFromTheMiddle) {
    writeSolid("bg.bmp", 300, 10, kBlue);
    writeMarked("c.bmp", 40, 10, kRed, kGreen);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 300);
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{10, 50, 90, 130, 170, 210, 250, 290}));
    EXPECT_EQ(columnsOf(kBlue), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(LogoRendererTest, CenterRunWithEvenFitCoversFromZero) {
    writeSolid("bg.bmp", 280, 10, kBlue);
    writeMarked("c.bmp", 40, 10, kRed, kGreen);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{0, 40, 80, 120, 160, 200, 240}));
    EXPECT_TRUE(columnsOf(kBlue).empty());
}

TEST_F(LogoRendererTest, CenterModeDrawsLeftAndRightPiecesLast) {
    writeSolid("bg.bmp", 300, 10, kBlue);
    writeSolid("c.bmp", 40, 10, kGreen);
    writeSolid("l.bmp", 5, 10, kRed);
    writeSolid("r.bmp", 7, 10, kYellow);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\nbackgroundExtraLeft=l.bmp\n"
                "backgroundExtraRight=r.bmp\nbackgroundExtraExpandFrom=center\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(columnsOf(kYellow), (std::vector<int>{293, 294, 295, 296, 297, 298, 299}));
}

TEST_F(LogoRendererTest, CharacterModeShiftsByHalfAPitchForEvenTexts) {
    writeSolid("bg.bmp", 300, 10, kBlue);
    writeMarked("c.bmp", 40, 10, kRed, kGreen);
    writeCharacters();
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=character\n"
                "imgFont\nname=chars\ndefault=aaa\nypos=100\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(CharacterPitch(*engine->design().ImgFonts[0]), 21);
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{50, 90, 130, 170, 210, 250, 290}));
    engine->setLabelText(1, QStringLiteral("aaaa"));
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{40, 80, 120, 160, 200, 240, 280}));
    engine->setLabelText(1, QString());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{40, 80, 120, 160, 200, 240, 280}));
}

TEST_F(LogoRendererTest, CharacterModeWithoutImageFontHasNoShift) {
    writeSolid("bg.bmp", 300, 10, kBlue);
    writeMarked("c.bmp", 40, 10, kRed, kGreen);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=character\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{50, 90, 130, 170, 210, 250, 290}));
}

TEST_F(LogoRendererTest, LeftRightRunsOutwardsAndBackgroundInTheMiddle) {
    writePicture("bg.bmp", 100, 10, [](int x, int) { return x == 0 ? 0xff000080 : 0xff0000ff; });
    writeMarked("l.bmp", 20, 10, kRed, 0xff800000);
    writeMarked("r.bmp", 30, 10, kGreen, 0xff008000);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraLeft=l.bmp\nbackgroundExtraRight=r.bmp\n"
                "backgroundExtraExpandFrom=leftright\nbackgroundExtraMarge=75\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 250);
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{20, 40, 60}));
    EXPECT_EQ(columnsOf(kGreen), (std::vector<int>{190, 220})); // 160 lies under the background
    EXPECT_EQ(columnsOf(0xff000080), (std::vector<int>{0, 75}));
    EXPECT_EQ(engine->logo().pixel(174, 0), 0xff0000ffu);
    EXPECT_EQ(engine->logo().pixel(175, 0), 0xff008000u); // the right copy at 160 shows past it
}

TEST_F(LogoRendererTest, LeftModeRepeatsFromOnePieceIn) {
    writeSolid("bg.bmp", 130, 10, kBlue);
    writeMarked("l.bmp", 40, 10, kRed, kGreen);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraLeft=l.bmp\n"
                "backgroundExtraExpandFrom=left\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{40, 80, 120}));
    EXPECT_EQ(columnsOf(kBlue).size(), 40u);
}

TEST_F(LogoRendererTest, RightModeWithLeftAndCentrePieces) {
    writeSolid("bg.bmp", 100, 10, kBlue);
    writeMarked("r.bmp", 30, 10, kRed, kGreen);
    writeSolid("l.bmp", 3, 10, kYellow);
    writeSolid("c.bmp", 10, 10, kBlack);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraRight=r.bmp\nbackgroundExtraLeft=l.bmp\n"
                "backgroundExtraCenter=c.bmp\nbackgroundExtraExpandFrom=right\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{30, 60, 90}));
    EXPECT_EQ(columnsOf(kYellow), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(columnsOf(kBlack), (std::vector<int>{45, 46, 47, 48, 49, 50, 51, 52, 53, 54}));
}

TEST_F(LogoRendererTest, ModeNoneKeepsTheBackgroundSizeAndIgnoresTheMargin) {
    writeSolid("bg.bmp", 20, 8, kBlue);
    writeCharacters(15);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraMarge=50\n"
                "imgFont\nname=chars\ndefault=aaaa\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 20);
    EXPECT_EQ(engine->logo().height(), 8);
    EXPECT_EQ(engine->logo().pixel(19, 0), kYellow); // text clipped at the edge
}

TEST_F(LogoRendererTest, WidthFollowsTheWidestTextPlusMargins) {
    writeSolid("bg.bmp", 50, 12, kBlue);
    writeSolid("c.bmp", 10, 12, kGreen);
    writeCharacters(10);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\nbackgroundExtraMarge=10\n"
                "imgFont\nname=chars\ndefault=a\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 70);
    engine->setLabelText(1, QStringLiteral("aaaaaaaa"));
    EXPECT_EQ(engine->logo().width(), 100);
    EXPECT_EQ(engine->MeasureLogoWidth(), 100);
    // New columns start white, then the run covers them.
    EXPECT_TRUE(columnsOf(kWhite, 11).empty());
}

TEST_F(LogoRendererTest, NegativeMarginNarrowsBelowTheText) {
    writeSolid("bg.bmp", 50, 12, kBlue);
    writeSolid("c.bmp", 10, 12, kGreen);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\nbackgroundExtraMarge=-10\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 30);
}

TEST_F(LogoRendererTest, CenteredImageFontFollowsTheWholeLogo) {
    writeSolid("bg.bmp", 40, 12, kBlue);
    writeSolid("c.bmp", 10, 12, kGreen);
    writeCharacters(10);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\nbackgroundExtraMarge=5\n"
                "imgFont\nname=chars\nxpos=center\ndefault=a\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->design().ImgFonts[0]->XPos, (50 - 10) / 2);
    engine->setLabelText(1, QStringLiteral("aaaaaa"));
    EXPECT_EQ(engine->logo().width(), 70);
    EXPECT_EQ(engine->design().ImgFonts[0]->XPos, 5);
    EXPECT_EQ(columnsOf(kYellow, 1).front(), 5);
    EXPECT_EQ(columnsOf(kYellow, 1).back(), 64);
}

TEST_F(LogoRendererTest, EachKeystrokeRendersOnceAndTheSameTextNotAtAll) {
    writeSolid("bg.bmp", 10, 10, kBlue);
    writeScript("backgroundImage=bg.bmp\nttfFont\nttfFontEnd\nimgFont\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->renderCount(), 1);
    EXPECT_EQ(editor.zoomRefits(), 2); // after the background, and after the parse
    engine->setLabelText(2, QStringLiteral("x"));
    engine->setLabelText(2, QStringLiteral("x"));
    EXPECT_EQ(engine->renderCount(), 2);
}

TEST_F(LogoRendererTest, NoBackgroundEverLoadedGivesAZeroHighLogo) {
    writeSolid("c.bmp", 10, 12, kGreen);
    writeCharacters(10);
    writeScript("backgroundExtraCenter=c.bmp\nbackgroundExtraExpandFrom=center\n"
                "imgFont\nname=chars\ndefault=aaa\nimgFontEnd\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().height(), 0);
    EXPECT_EQ(engine->logo().width(), 30);
}

TEST_F(LogoRendererTest, LogoKeepsAPalettedBackgroundsFormat) {
    const QList<QRgb> palette{kBlack, kWhite, kRed, kGreen};
    writePicture(
        "bg.bmp", 20, 6, [](int, int) { return 0xffff0000; }, 8, palette);
    writePicture(
        "c.bmp", 10, 6, [](int, int) { return 0xff00ff00; }, 4, palette);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\nbackgroundExtraMarge=10\n");
    ASSERT_FALSE(open());
    const Bitmap& logo = engine->logo();
    EXPECT_EQ(logo.bitsPerPixel(), 8);
    EXPECT_EQ(logo.width(), 40);
    EXPECT_EQ(logo.pixel(0, 0), kGreen);
    const auto again = decodeBmp(encodeBmp(logo));
    ASSERT_TRUE(again);
    EXPECT_EQ(again->bitsPerPixel(), 8);
    EXPECT_EQ(again->pixel(39, 5), kGreen);
}

TEST_F(LogoRendererTest, MissingOrEmptyPieceDrawsNoRunAndDoesNotDivideByZero) {
    writeSolid("bg.bmp", 30, 6, kBlue);
    writeSolid("l.bmp", 4, 6, kRed);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraLeft=l.bmp\n"
                "backgroundExtraCenter=nothing.bmp\nbackgroundExtraExpandFrom=center\n"
                "backgroundExtraMarge=5\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 40);
    EXPECT_EQ(columnsOf(kRed), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(columnsOf(kWhite).size(), 10u); // the widened columns stay white
}

TEST_F(LogoRendererTest, PiecesOfAnEarlierDesignAreNotUsedWhenMissing) {
    writeSolid("bg.bmp", 30, 6, kBlue);
    writeSolid("r.bmp", 4, 6, kRed);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraRight=r.bmp\n"
                "backgroundExtraExpandFrom=right\n");
    ASSERT_FALSE(open());
    ASSERT_FALSE(columnsOf(kRed).empty());
    writeScript("backgroundExtraExpandFrom=right\nbackgroundExtraMarge=2\n");
    ASSERT_FALSE(open());
    engine->RenderLogo(); // as the next keystroke would
    EXPECT_TRUE(columnsOf(kRed).empty());
    EXPECT_EQ(engine->logo().width(), 34);
}

struct HugeCase {
    const char* script;
    bool tooLarge;
};

class HugeValues : public DesignFixture, public ::testing::WithParamInterface<HugeCase> {};

TEST_P(HugeValues, NeverCrashOrAllocateWithoutBound) {
    writeSolid("bg.bmp", 30, 6, kBlue);
    writeSolid("c.bmp", 1, 6, kGreen);
    writeSolid("chars/a.bmp", 5, 6, kYellow);
    writeSolid("chars/ .bmp", 5, 6, kYellow);
    writeScript(QByteArray("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                           "backgroundExtraExpandFrom=center\n") +
                GetParam().script);
    const auto error = open();
    if (GetParam().tooLarge) {
        ASSERT_TRUE(error);
        EXPECT_TRUE(error->startsWith(QStringLiteral("Picture too large (")))
            << error->toStdString();
        EXPECT_TRUE(error->endsWith(QStringLiteral(" pixels)")));
    } else {
        EXPECT_FALSE(error) << error->toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, HugeValues,
    ::testing::Values(
        HugeCase{"backgroundExtraMarge=2147483647\n", true},
        HugeCase{"backgroundExtraMarge=-2147483648\n", false},
        HugeCase{"backgroundExtraMarge=16000\n", false},
        HugeCase{"imgFont\nname=chars\ncharspace=2147483647\ndefault=aa\nimgFontEnd\n", true},
        HugeCase{"imgFont\nname=chars\ncharspace=-2147483648\ndefault=aaa\nimgFontEnd\n", false},
        HugeCase{"imgFont\nname=chars\nspace=2147483647\ndefault=a a\nimgFontEnd\n", true},
        HugeCase{"imgFont\nname=chars\nwidth=2147483647\nimgFontEnd\n", true},
        HugeCase{"imgFont\nname=chars\nwidth=-5\nimgFontEnd\n", false},
        HugeCase{"imgFont\nname=chars\nwidth=100\nalign=fill\ndefault=aa\n"
                 "charspace=-2147483648\nimgFontEnd\n",
                 false},
        HugeCase{"imgFont\nname=chars\nxpos=-2147483648\nypos=2147483647\nimgFontEnd\n", false},
        HugeCase{"imgFont\nname=chars\nxpos=center\nwidth=30000\nalign=right\nimgFontEnd\n", false},
        HugeCase{"ttfFont\nsize=2147483647\nxpos=2147483647\ndefault=x\nimgFontEnd\nttfFontEnd\n",
                 false},
        HugeCase{"ttfFont\nsize=-2147483648\nypos=-2147483648\nalign=r\ndefault=\nttfFontEnd\n",
                 false}));

} // namespace
} // namespace zot::test
