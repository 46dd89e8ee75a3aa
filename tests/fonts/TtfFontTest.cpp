#include "fonts/TTtfFont.h"
#include "support/DesignFixture.h"

#include <QFontMetrics>

namespace zot::test {
namespace {

constexpr QRgb kPaper = 0xffffffff;

struct Box {
    int left = std::numeric_limits<int>::max();
    int right = -1;
    int top = std::numeric_limits<int>::max();
    int bottom = -1;
    bool empty() const { return right < 0; }
};

// Bounding box of every pixel that is not the paper colour.
Box inkBox(const Bitmap& b) {
    Box box;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != kPaper) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

Bitmap paper(int width = 400, int height = 80) {
    Bitmap b = Bitmap::create(width, height, 24);
    b.fill(kPaper);
    return b;
}

TTtfFont sansFont(QChar align = u'L', int xpos = 200) {
    TTtfFont font;
    font.Name = QStringLiteral("DejaVu Sans");
    font.Height = -24;
    font.Color = 0x000000;
    font.Align = align;
    font.XPos = xpos;
    font.YPos = 10;
    return font;
}

class TtfAlignment : public ::testing::TestWithParam<char> {};

TEST_P(TtfAlignment, TextSitsAtTheAnchorByItsAlignment) {
    TTtfFont font = sansFont(QChar(GetParam()));
    const QString text = QStringLiteral("HIH");
    const int w = MeasureText(font, text);
    ASSERT_GT(w, 20);
    Bitmap logo = paper();
    PaintText(font, text, logo);
    const Box box = inkBox(logo);
    ASSERT_FALSE(box.empty());
    const int start = GetParam() == 'L' ? 200 : GetParam() == 'C' ? 200 - w / 2 : 200 - w;
    // The glyphs lie inside the advance box, within their side bearings.
    EXPECT_GE(box.left, start);
    EXPECT_LE(box.left, start + 4);
    EXPECT_LE(box.right, start + w);
    EXPECT_GE(box.right, start + w - 5);
    // The top of the text cell is YPos: capitals start a little below it.
    EXPECT_GT(box.top, 10);
    EXPECT_LT(box.top, 10 + font.metrics().ascent());
}

INSTANTIATE_TEST_SUITE_P(Letters, TtfAlignment, ::testing::Values('L', 'C', 'R'));

TEST(TtfFont, OtherAlignmentLettersMeasureButDrawNothing) {
    TTtfFont font = sansFont(u'J');
    Bitmap logo = paper();
    EXPECT_GT(MeasureText(font, QStringLiteral("justify")), 0);
    PaintText(font, QStringLiteral("justify"), logo);
    EXPECT_TRUE(inkBox(logo).empty());
    font.Align = QChar(0); // "align =" with nothing after it
    PaintText(font, QStringLiteral("justify"), logo);
    EXPECT_TRUE(inkBox(logo).empty());
}

TEST(TtfFont, SpacedTextPutsABlankAfterEveryCharacter) {
    TTtfFont font = sansFont(u'R');
    font.Spaced = true;
    EXPECT_EQ(SpacedText(font, QStringLiteral("abc")), QStringLiteral("a b c "));
    EXPECT_EQ(SpacedText(font, QString()), QString());
    const QFontMetrics& fm = font.metrics();
    EXPECT_EQ(MeasureText(font, QStringLiteral("HH")),
              fm.horizontalAdvance(QStringLiteral("H H ")));
    Bitmap logo = paper();
    PaintText(font, QStringLiteral("HH"), logo);
    // Right-aligned, the ink ends one blank before the anchor.
    EXPECT_LE(inkBox(logo).right, 200 - fm.horizontalAdvance(u' '));
    font.Spaced = false;
    EXPECT_EQ(SpacedText(font, QStringLiteral("abc")), QStringLiteral("abc"));
}

TEST(TtfFont, CentredAnchorFollowsTheLogoWidth) {
    TTtfFont font = sansFont(u'L', 40);
    font.Centered = true;
    Bitmap logo = paper(301);
    PaintText(font, QStringLiteral("I"), logo);
    EXPECT_EQ(font.XPos, 150);
    const Box box = inkBox(logo);
    EXPECT_GE(box.left, 150);
    EXPECT_LE(box.left, 155);
}

TEST(TtfFont, EmptyTextMeasuresZeroAndDrawsNothing) {
    TTtfFont font = sansFont();
    Bitmap logo = paper();
    EXPECT_EQ(MeasureText(font, QString()), 0);
    PaintText(font, QString(), logo);
    EXPECT_TRUE(inkBox(logo).empty());
}

TEST(TtfFont, ColourIsBlueGreenRedAndNegativeValuesAreSystemColours) {
    TTtfFont font = sansFont();
    font.Height = -40;
    font.Color = 0x0000ff; // red in the lowest byte
    Bitmap logo = paper();
    PaintText(font, QStringLiteral("\u2588"), logo); // a full block: solid colour inside
    const Box box = inkBox(logo);
    ASSERT_FALSE(box.empty());
    EXPECT_EQ(logo.pixel((box.left + box.right) / 2, (box.top + box.bottom) / 2), 0xffff0000u);
    font.Color = qint32(0x80000008); // window text
    font.invalidate();
    Bitmap logo2 = paper();
    PaintText(font, QStringLiteral("\u2588"), logo2);
    EXPECT_EQ(logo2.pixel((box.left + box.right) / 2, (box.top + box.bottom) / 2), 0xff000000u);
}

TEST(TtfFont, TextOutsideTheLogoIsClipped) {
    TTtfFont font = sansFont(u'L', 390);
    Bitmap logo = paper(400, 30);
    PaintText(font, QStringLiteral("WWWW"), logo);
    EXPECT_EQ(inkBox(logo).right, 399);
    font.XPos = -100000;
    font.YPos = 100000;
    Bitmap untouched = paper(400, 30);
    PaintText(font, QStringLiteral("WWWW"), untouched);
    EXPECT_TRUE(inkBox(untouched).empty());
}

TEST(TtfFont, PaintsOnPalettedLogosWithTheirOwnColours) {
    TTtfFont font = sansFont();
    font.Height = -30;
    font.Color = 0x0000f0;
    const QList<QRgb> palette{0xffffffff, 0xff000000, 0xffff0000};
    Bitmap logo = Bitmap::create(400, 60, 8, palette);
    logo.fill(0xffffffff);
    PaintText(font, QStringLiteral("\u2588"), logo);
    EXPECT_EQ(logo.bitsPerPixel(), 8);
    bool sawRed = false;
    for (int y = 0; y < logo.height(); ++y)
        for (int x = 0; x < logo.width(); ++x) {
            const QRgb c = logo.pixel(x, y);
            EXPECT_TRUE(palette.contains(c));
            sawRed = sawRed || c == 0xffff0000;
        }
    EXPECT_TRUE(sawRed);
}

class TtfSection : public DesignFixture {};

TEST_F(TtfSection, ATypefaceNameIsCutAtWholeCharacters) {
    // 30 letters, then an emoji as the 31st character: kept whole, not halved.
    writeScript("ttfFont\nname=ABCDEFGHIJKLMNOPQRSTUVWXYZabcd\xf0\x9f\x98\x80xyz\nttfFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(engine->design().TtfFonts[0]->Name,
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcd\U0001F600"));
}

TEST_F(TtfSection, SettingsSwitchesAndSizeFollowTheScript) {
    writeScript("ttfFont\nname = ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij\nname=\ncolor=$0000C0\n"
                "align=center\nlabel=Title\nsize=12\nbold=no\nitalic\nunderline\nstrikeout\n"
                "xpos=center\nxpos=40\nypos=-3\nspaced\ndefault='ACME'\nttfFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_TRUE(editor.errors().isEmpty());
    const TTtfFont& font = *engine->design().TtfFonts[0];
    EXPECT_EQ(font.Name, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcde")); // 31 characters
    EXPECT_EQ(font.Color, 0xC0);
    EXPECT_EQ(font.Align, QChar(u'C'));
    EXPECT_EQ(font.Height, -16); // 12 pt at 96 pixels per inch
    EXPECT_TRUE(font.Bold && font.Italic && font.Underline && font.StrikeOut && font.Spaced);
    EXPECT_TRUE(font.Centered);
    EXPECT_EQ(font.XPos, 0); // overwritten by the first drawing: half of a 0-wide logo
    EXPECT_EQ(font.YPos, -3);
    EXPECT_EQ(editor.labelCaption(1), QStringLiteral("Title"));
    EXPECT_EQ(editor.labelText(1), QStringLiteral("ACME"));
    EXPECT_TRUE(font.qfont().bold());
    EXPECT_EQ(font.qfont().pixelSize(), 16);
}

TEST_F(TtfSection, NegativeSizeAsksForACellHeight) {
    writeScript("ttfFont\nname=DejaVu Sans\nsize=-30\nttfFontEnd\n");
    EXPECT_FALSE(open());
    const TTtfFont& font = *engine->design().TtfFonts[0];
    EXPECT_EQ(font.Height, 40);
    EXPECT_NEAR(font.metrics().height(), 40, 1);
}

TEST_F(TtfSection, DefaultsWithoutLabelOrDefaultLines) {
    writeScript("ttfFont\nttfFontEnd\n");
    EXPECT_FALSE(open());
    const TTtfFont& font = *engine->design().TtfFonts[0];
    EXPECT_EQ(font.Align, QChar(u'L'));
    EXPECT_EQ(font.Height, -11);
    EXPECT_EQ(editor.labelCaption(1), QString());
    EXPECT_EQ(editor.labelText(1), QStringLiteral("www.zotmaker.example"));
}

TEST_F(TtfSection, ConversionErrorLeavesTheEntryWithoutAnInput) {
    writeScript("ttfFont\nxpos=Center\nttfFontEnd\n");
    EXPECT_EQ(open(), QStringLiteral("'Center' is not a valid integer value"));
    ASSERT_EQ(engine->design().TtfFontCount(), 1);
    EXPECT_EQ(engine->design().TtfFonts[0]->LabelIndex, 0);
    EXPECT_EQ(editor.labelCount(), 0);
}

TEST_F(TtfSection, TrueTypeTextLiesUnderImageFontText) {
    writeSolid("bg.bmp", 120, 40, kPaper);
    writeSolid("chars/i.bmp", 60, 40, 0xff00ff00);
    writeScript("backgroundImage=bg.bmp\n"
                "imgFont\nname=chars\ndefault=i\nimgFontEnd\n"
                "ttfFont\nname=DejaVu Sans\nsize=20\ndefault=\u2588\u2588\u2588\ncolor=$FF0000\n"
                "ttfFontEnd\n");
    EXPECT_FALSE(open());
    const Bitmap& logo = engine->logo();
    bool blueLeft = false;
    for (int x = 0; x < 60; ++x)
        blueLeft = blueLeft || logo.pixel(x, 20) == 0xff0000ff;
    bool blueRight = false;
    for (int x = 60; x < 120; ++x)
        blueRight = blueRight || logo.pixel(x, 20) == 0xff0000ff;
    EXPECT_FALSE(blueLeft); // covered by the image font drawn after it
    EXPECT_TRUE(blueRight);
}

} // namespace
} // namespace zot::test
