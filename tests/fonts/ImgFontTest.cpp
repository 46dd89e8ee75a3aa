#include "fonts/TImgFont.h"
#include "support/DesignFixture.h"

namespace zot::test {
namespace {

constexpr QRgb kInk = 0xffff0000;
constexpr QRgb kPaper = 0xffffffff;

// A font built in memory: character name -> image width.
TImgFont makeFont(std::initializer_list<std::pair<const char*, int>> chars, int height = 4) {
    TImgFont font;
    for (const auto& [name, width] : chars) {
        ++font.Count;
        font.CharNames[font.Count] = QString::fromUtf8(name);
        Bitmap image = Bitmap::create(width, height, 24);
        image.fill(kInk);
        font.CharImages[font.Count] = image;
    }
    return font;
}

// Columns of row y of a picture that hold colour c.
std::vector<int> inkColumns(const Bitmap& picture, QRgb c = kInk, int y = 0) {
    std::vector<int> xs;
    for (int x = 0; x < picture.width(); ++x)
        if (picture.pixel(x, y) == c)
            xs.push_back(x);
    return xs;
}

std::vector<int> range(int from, int to) {
    std::vector<int> xs;
    for (int x = from; x < to; ++x)
        xs.push_back(x);
    return xs;
}

TEST(ImgFontLookup, LowerCasesTheTextAndSearchesFromTheLastImage) {
    TImgFont font = makeFont({{"a", 3}, {"A", 5}, {"a", 7}, {"", 9}, {"thumbnail", 2}});
    EXPECT_EQ(IndexOfCharacter(font, QStringLiteral("a")), 3);
    EXPECT_EQ(IndexOfCharacter(font, QStringLiteral("A")), 2); // exact, case included
    EXPECT_EQ(MeasureText(font, QStringLiteral("A")), 7);
    EXPECT_EQ(MeasureText(font, QStringLiteral("t")), 0);
    EXPECT_EQ(IndexOfCharacter(font, QString()), 0);
    TImgFont upperOnly = makeFont({{"A", 5}});
    EXPECT_EQ(MeasureText(upperOnly, QStringLiteral("a")), 0);
    EXPECT_EQ(MeasureText(upperOnly, QStringLiteral("A")), 0);
}

TEST(ImgFontMeasure, CountsCharSpaceBetweenPositionsAndSpaceAfterBlanks) {
    TImgFont font = makeFont({{"a", 10}, {"b", 20}, {"1", 5}});
    font.CharSpace = 2;
    font.Space = 7;
    // "Ab 1": 10 + 20 + 5, three gaps of 2, one blank of 7; the blank has no image.
    EXPECT_EQ(MeasureText(font, QStringLiteral("Ab 1")), 35 + 6 + 7);
    font.Width = 100; // a fixed width drops CharSpace from the measure
    EXPECT_EQ(MeasureText(font, QStringLiteral("Ab 1")), 35 + 7);
    EXPECT_EQ(MeasureText(font, QString()), 0);
}

TEST(ImgFontCompose, RightAlignmentInAFixedWidth) {
    TImgFont font = makeFont({{"a", 40}, {"b", 50}, {"c", 60}});
    font.Width = 200;
    font.Align = u'R';
    font.CharSpace = 5;
    const Bitmap picture = ComposeText(font, QStringLiteral("abc"));
    EXPECT_EQ(picture.width(), 200);
    EXPECT_EQ(picture.height(), 4);
    const auto ink = inkColumns(picture);
    ASSERT_FALSE(ink.empty());
    EXPECT_EQ(ink.front(), 40); // total 150 + 2 * 5 = 160
    EXPECT_EQ(ink.back(), 199);
}

TEST(ImgFontCompose, FillSpreadsCharactersAcrossTheWidthAndKeepsTheSpacing) {
    TImgFont font = makeFont({{"a", 30}, {"b", 40}, {"c", 50}});
    font.Width = 200;
    font.Align = u'F';
    const Bitmap picture = ComposeText(font, QStringLiteral("abc"));
    EXPECT_EQ(font.CharSpace, 40);
    EXPECT_EQ(CharacterPitch(font), 70);
    const auto ink = inkColumns(picture);
    EXPECT_EQ(ink.front(), 0);
    EXPECT_EQ(ink.back(), 199);
    EXPECT_EQ(ink.size(), 120u);
    // One character: centred, and CharSpace stays as computed last.
    const Bitmap single = ComposeText(font, QStringLiteral("c"));
    EXPECT_EQ(inkColumns(single).front(), 75);
    EXPECT_EQ(font.CharSpace, 40);
}

TEST(ImgFontCompose, FillRoundsHalvesToEven) {
    TImgFont font = makeFont({{"a", 10}});
    font.Width = 25;
    font.Align = u'F';
    ComposeText(font, QStringLiteral("aa")); // (25 - 20) / 1 = 5
    EXPECT_EQ(font.CharSpace, 5);
    font.Width = 35;
    ComposeText(font, QStringLiteral("aaa")); // 5 / 2 = 2.5 -> 2
    EXPECT_EQ(font.CharSpace, 2);
    font.Width = 37;
    ComposeText(font, QStringLiteral("aaa")); // 7 / 2 = 3.5 -> 4
    EXPECT_EQ(font.CharSpace, 4);
    font.Width = 25;
    ComposeText(font, QStringLiteral("aaa")); // -5 / 2 = -2.5 -> -2
    EXPECT_EQ(font.CharSpace, -2);
    font.Width = 15;
    const Bitmap single = ComposeText(font, QStringLiteral("a")); // (15 - 10) / 2 = 2.5 -> 2
    EXPECT_EQ(inkColumns(single).front(), 2);
}

TEST(ImgFontCompose, AlignedFreeWidthCountsCharSpaceTwice) {
    TImgFont font = makeFont({{"a", 10}});
    font.CharSpace = 3;
    font.Align = u'C';
    const Bitmap picture = ComposeText(font, QStringLiteral("aaa"));
    EXPECT_EQ(picture.width(), 30 + 6 + 6);
    const auto ink = inkColumns(picture);
    EXPECT_EQ(ink.back(), 35);
    EXPECT_EQ(picture.pixel(41, 0), 0xff000000u); // the extra columns stay black
    font.Align = QChar(0);
    EXPECT_EQ(ComposeText(font, QStringLiteral("aaa")).width(), 36);
}

TEST(ImgFontCompose, CentredInAFixedWidthTruncatesTowardZero) {
    TImgFont font = makeFont({{"a", 10}});
    font.Width = 15;
    font.Align = u'C';
    EXPECT_EQ(inkColumns(ComposeText(font, QStringLiteral("a"))).front(), 2);
    font.Width = 5; // (5 - 10) / 2 = -2
    const Bitmap narrow = ComposeText(font, QStringLiteral("a"));
    EXPECT_EQ(inkColumns(narrow), range(0, 5));
}

TEST(ImgFontCompose, UnknownCharactersStillTakeCharSpace) {
    TImgFont font = makeFont({{"a", 4}});
    font.CharSpace = 2;
    const Bitmap picture = ComposeText(font, QStringLiteral("a?a"));
    EXPECT_EQ(picture.width(), 4 + 2 + 2 + 4);
    EXPECT_EQ(inkColumns(picture), (std::vector<int>{0, 1, 2, 3, 8, 9, 10, 11}));
}

TEST(ImgFontCompose, EmptyTextAndMissingImagesGiveSensiblePictures) {
    TImgFont font = makeFont({{"a", 4}}, 9);
    EXPECT_EQ(ComposeText(font, QString()).width(), 0);
    EXPECT_EQ(ComposeText(font, QString()).height(), 9);
    font.Width = 12;
    EXPECT_EQ(ComposeText(font, QString()).width(), 12);
    font.Width = -7; // below -1: nothing wide
    EXPECT_EQ(ComposeText(font, QStringLiteral("aaa")).width(), 0);
    TImgFont empty;
    EXPECT_EQ(ComposeText(empty, QStringLiteral("abc")).height(), 0);
    EXPECT_EQ(CharacterPitch(empty), 0);
    empty.CharSpace = 6;
    EXPECT_EQ(CharacterPitch(empty), 6);
}

TEST(ImgFontCompose, HeightIsTheFirstImagesAndTallerImagesAreCut) {
    TImgFont font = makeFont({{"a", 4}}, 3);
    Bitmap tall = Bitmap::create(4, 10, 24);
    tall.fill(0xff00ff00);
    ++font.Count;
    font.CharNames[font.Count] = QStringLiteral("b");
    font.CharImages[font.Count] = tall;
    const Bitmap picture = ComposeText(font, QStringLiteral("ba"));
    EXPECT_EQ(picture.height(), 3);
    EXPECT_EQ(picture.pixel(0, 2), 0xff00ff00u);
}

TEST(ImgFontCompose, TransparencyLeavesOutEachImagesBottomLeftColour) {
    TImgFont font;
    font.Transparent = true;
    Bitmap glyph = Bitmap::create(3, 2, 24);
    glyph.fill(kPaper);
    glyph.setPixel(1, 0, kInk); // bottom-left (0, 1) is paper
    glyph.setTransparent(true);
    font.Count = 1;
    font.CharNames[1] = QStringLiteral("x");
    font.CharImages[1] = glyph;
    const Bitmap picture = ComposeText(font, QStringLiteral("xx"));
    EXPECT_TRUE(picture.transparent());
    EXPECT_EQ(picture.pixel(0, 0), 0xff000000u); // paper left out: the black start shows
    EXPECT_EQ(picture.pixel(1, 0), kInk);
    EXPECT_EQ(picture.pixel(4, 0), kInk);
    EXPECT_EQ(picture.transparentColor(), 0xff000000u);
    // Drawn onto a logo, the black ground is left out as well.
    Bitmap logo = Bitmap::create(6, 2, 24);
    logo.fill(0xff0000ff);
    logo.draw(picture, 0, 0);
    EXPECT_EQ(logo.pixel(0, 0), 0xff0000ffu);
    EXPECT_EQ(logo.pixel(4, 0), kInk);
}

TEST(ImgFontCompose, OneBitImagesSeeThroughWhite) {
    Bitmap glyph = Bitmap::create(2, 2, 1, {0xff000000, 0xffffffff});
    glyph.fill(0xff000000);
    glyph.setPixel(1, 0, 0xffffffff); // bottom-left is black, yet white is see-through
    glyph.setTransparent(true);
    EXPECT_EQ(glyph.transparentColor(), 0xffffffffu);
    Bitmap target = Bitmap::create(2, 2, 24);
    target.fill(0xff0000ff);
    target.draw(glyph, 0, 0);
    EXPECT_EQ(target.pixel(1, 0), 0xff0000ffu);
    EXPECT_EQ(target.pixel(0, 1), 0xff000000u);
}

class ImgFontFolder : public DesignFixture {};

TEST_F(ImgFontFolder, LoadsEveryFileHiddenOnesIncludedButNoFolders) {
    writeSolid("chars/a.bmp", 3, 5, kRed);
    writeSolid("chars/.hidden.bmp", 3, 5, kRed);
    writeSolid("chars/b.png.bmp", 3, 5, kRed);
    QDir().mkpath(designPath + "chars/c.bmp");
    QFile junk(designPath + "chars/x.txt");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a picture");
    junk.close();
    TImgFont font;
    font.FolderName = QStringLiteral("chars");
    LoadCharacters(font, designPath);
    EXPECT_EQ(font.Count, 4);
    QStringList names;
    for (int i = 1; i <= font.Count; ++i)
        names << font.CharNames[i];
    names.sort();
    EXPECT_EQ(names, (QStringList{"", "a", "b", "x"}));
    EXPECT_EQ(MeasureText(font, QStringLiteral("abx")), 6); // x.txt is an empty picture
}

TEST_F(ImgFontFolder, AHundredAndFirstFileIsIgnoredWithOneMessage) {
    for (int i = 0; i < 102; ++i)
        writeSolid(QStringLiteral("many/%1.bmp").arg(i), 1, 1, kRed);
    TImgFont font;
    font.FolderName = QStringLiteral("many");
    QStringList reports;
    LoadCharacters(font, designPath, [&](const QString& line) { reports << line; });
    EXPECT_EQ(font.Count, 100);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QStringLiteral("many"))) << reports[0].toStdString();
}

TEST_F(ImgFontFolder, MissingFolderGivesNoImagesAndNoMessage) {
    writeScript("imgFont\nname=nowhere\ndefault=abc\nimgFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_TRUE(editor.errors().isEmpty());
    EXPECT_EQ(engine->design().ImgFonts[0]->Count, 0);
}

TEST_F(ImgFontFolder, SectionSettingsFollowTheScript) {
    writeScript("imgFont\nname=chars\nalign=right\nalign=\ntransparent=no\nlabel='Big'\n"
                "space=$A\ncharspace=-1\nwidth=80\nxpos=center\nxpos=7\nypos=3\n"
                "default=\"Hi\"\nimgFontEnd\n");
    EXPECT_FALSE(open());
    const TImgFont& font = *engine->design().ImgFonts[0];
    EXPECT_EQ(font.FolderName, QStringLiteral("chars"));
    EXPECT_EQ(font.Align, QChar(0));
    EXPECT_TRUE(font.Transparent);
    EXPECT_TRUE(font.Centered);        // stays set
    EXPECT_EQ(font.XPos, (0 - 0) / 2); // recentred by the first rendering
    EXPECT_EQ(font.YPos, 3);
    EXPECT_EQ(font.Space, 10);
    EXPECT_EQ(font.CharSpace, -1);
    EXPECT_EQ(font.Width, 80);
    EXPECT_EQ(editor.labelCaption(1), QStringLiteral("Big"));
    EXPECT_EQ(editor.labelText(1), QStringLiteral("Hi"));
}

TEST_F(ImgFontFolder, CenterAloneIsACommandAndCapitalCenterANumber) {
    writeScript("imgFont\ncenter\nxpos=Center\nimgFontEnd\n");
    EXPECT_EQ(open(), QStringLiteral("'Center' is not a valid integer value"));
    EXPECT_EQ(editor.errors(), QStringList{"Unknown command on line 2 : center"});
    EXPECT_EQ(engine->design().ImgFonts[0]->LabelIndex, 0);
}

TEST_F(ImgFontFolder, UnreadableFirstImageHidesTheWholeText) {
    TImgFont font;
    font.Count = 2;
    font.CharNames[1] = QStringLiteral("z"); // an unreadable file: empty picture
    font.CharNames[2] = QStringLiteral("a");
    font.CharImages[2] = Bitmap::create(5, 5, 24);
    const Bitmap picture = ComposeText(font, QStringLiteral("a"));
    EXPECT_EQ(picture.height(), 0);
    EXPECT_EQ(picture.width(), 5);
}

} // namespace
} // namespace zot::test
