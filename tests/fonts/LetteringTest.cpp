// The lettering commands of a ttfFont section: how they are read, what each
// effect draws and where, that effects never move the letters, and how
// tracking and fitWidth change what a line measures.
#include "fonts/TTtfFont.h"
#include "support/DesignFixture.h"

#include <QImage>

namespace zot::test {
namespace {

class Lettering : public DesignFixture {
  protected:
    // A white 300 x 100 logo with one line of DejaVu Sans Bold at size 30,
    // black, its cell's top-left at (60, 20), with the lines given added.
    std::optional<QString> openLine(const QByteArray& extra, const QByteArray& text = "HIH",
                                    const QByteArray& background = "bg.bmp") {
        if (background == "bg.bmp")
            writeSolid("bg.bmp", 300, 100, kWhite);
        writeScript("backgroundImage=" + background +
                    "\nttfFont\nname=DejaVu Sans\nbold\nsize=30\ncolor=$000000\nxpos=60\n"
                    "ypos=20\ndefault=" +
                    text + "\n" + extra + "ttfFontEnd\n");
        return open();
    }
    const TTtfFont& font() const { return *engine->design().TtfFonts[0]; }
    // The box of every pixel of the logo other than white.
    QRect inked() const {
        QRect box;
        const Bitmap& logo = engine->logo();
        for (int y = 0; y < logo.height(); ++y)
            for (int x = 0; x < logo.width(); ++x)
                if (logo.pixel(x, y) != kWhite)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
};

TEST_F(Lettering, CommandsAreReadExactlyAndClamped) {
    struct Case {
        const char* line;
        std::function<qint64(const TTtfFont&)> value;
        qint64 expected;
    };
    const Case cases[] = {
        {"outline=7", [](const TTtfFont& f) { return f.Outline; }, 7},
        {"outline=-3", [](const TTtfFont& f) { return f.Outline; }, 0},
        {"outline=65", [](const TTtfFont& f) { return f.Outline; }, 64},
        {"outlineColor=$0000FF", [](const TTtfFont& f) { return f.OutlineColor; }, 0xff},
        {"shadowX=-2000", [](const TTtfFont& f) { return f.ShadowX; }, -1024},
        {"shadowY=1025", [](const TTtfFont& f) { return f.ShadowY; }, 1024},
        {"shadowBlur=100", [](const TTtfFont& f) { return f.ShadowBlur; }, 64},
        {"shadowColor=$FF0000", [](const TTtfFont& f) { return f.ShadowColor; }, 0xff0000},
        {"glow=-1", [](const TTtfFont& f) { return f.Glow; }, 0},
        {"glow=64", [](const TTtfFont& f) { return f.Glow; }, 64},
        {"glowColor=$00FF00", [](const TTtfFont& f) { return f.GlowColor; }, 0xff00},
        {"gradient=$000000", [](const TTtfFont& f) { return f.GradientColor.value_or(-1); }, 0},
        {"tracking=-100", [](const TTtfFont& f) { return f.Tracking; }, -64},
        {"tracking=5000", [](const TTtfFont& f) { return f.Tracking; }, 1024},
        {"fitWidth=70000", [](const TTtfFont& f) { return f.FitWidth; }, 65535},
        {"fitWidth=-5", [](const TTtfFont& f) { return f.FitWidth; }, 0},
        {"minSize=0", [](const TTtfFont& f) { return f.MinSize; }, 1},
        {"minSize=$10", [](const TTtfFont& f) { return f.MinSize; }, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ASSERT_FALSE(openLine(QByteArray(c.line) + "\n"));
        EXPECT_TRUE(editor.errors().isEmpty());
        EXPECT_EQ(c.value(font()), c.expected);
    }
    // Defaults: black outline and shadow, white glow, no gradient, size 6 at least.
    ASSERT_FALSE(openLine(""));
    EXPECT_EQ(font().OutlineColor, 0);
    EXPECT_EQ(font().ShadowColor, 0);
    EXPECT_EQ(font().GlowColor, 0xffffff);
    EXPECT_FALSE(font().GradientColor);
    EXPECT_EQ(font().MinSize, 6);
    // Compared exactly, and numbers as "size" reads them.
    ASSERT_FALSE(openLine("Outline=3\n"));
    EXPECT_EQ(editor.errors().size(), 1);
    EXPECT_EQ(openLine("glow=big\n"), QStringLiteral("'big' is not a valid integer value"));
    EXPECT_EQ(openLine("gradient=\n"), QStringLiteral("'' is not a valid integer value"));
}

TEST_F(Lettering, ZeroAndColoursAloneDrawAsWithout) {
    ASSERT_FALSE(openLine(""));
    const Bitmap plain = engine->logo();
    ASSERT_FALSE(openLine("outline=0\nshadowX=0\nshadowY=0\nshadowBlur=0\nglow=0\ntracking=0\n"
                          "fitWidth=0\nminSize=3\noutlineColor=$0000FF\nshadowColor=$00FF00\n"
                          "glowColor=$FF0000\n"));
    EXPECT_TRUE(engine->logo().storage() == plain.storage());
}

// Each effect adds ink around the letters by its reach, leaves the letters'
// own pixels and the line's width alone.
TEST_F(Lettering, EffectsReachAroundTheLettersWithoutMovingThem) {
    ASSERT_FALSE(openLine(""));
    const Bitmap plain = engine->logo();
    const QRect letters = inked();
    const qint32 width = MeasureText(font(), QStringLiteral("HIH"));
    ASSERT_FALSE(letters.isEmpty());
    struct Case {
        const char* lines;
        QMargins reach; // how far the ink may grow: left, top, right, bottom
        QMargins least; // how far it must
    };
    const Case cases[] = {
        {"outline=3\n", {4, 4, 4, 4}, {2, 2, 2, 2}},
        {"shadowX=6\nshadowY=4\n", {0, 0, 7, 5}, {0, 0, 5, 3}},
        {"shadowX=-5\n", {6, 0, 0, 0}, {4, 0, 0, 0}},
        {"shadowY=3\nshadowBlur=6\n", {7, 7, 7, 10}, {1, 0, 1, 3}},
        {"glow=9\nglowColor=$FF0000\n", {10, 10, 10, 10}, {3, 3, 3, 3}},
        {"outline=2\nglow=6\nglowColor=$808080\n", {9, 9, 9, 9}, {3, 3, 3, 3}},
        {"gradient=$0000FF\n", {0, 0, 0, 0}, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        ASSERT_FALSE(openLine(c.lines));
        EXPECT_EQ(MeasureText(font(), QStringLiteral("HIH")), width);
        const QRect now = inked();
        EXPECT_TRUE(letters.marginsAdded(c.reach).contains(now))
            << now.x() << "," << now.y() << " " << now.width() << "x" << now.height();
        EXPECT_TRUE(now.contains(letters.marginsAdded(c.least)));
        // The fill comes last: where the plain letters are solid, they still are.
        const bool gradient = QByteArray(c.lines).startsWith("gradient");
        for (int y = letters.top(); y <= letters.bottom(); ++y)
            for (int x = letters.left(); x <= letters.right(); ++x)
                if (plain.pixel(x, y) == kBlack && !gradient) {
                    ASSERT_EQ(engine->logo().pixel(x, y), kBlack) << x << "," << y;
                }
    }
}

TEST_F(Lettering, GlowShadowOutlineAndFillAreDrawnInThatOrder) {
    // A full block: solid letters, so each layer shows where the next ends.
    ASSERT_FALSE(openLine("outline=4\noutlineColor=$0000FF\nshadowX=6\nshadowY=6\n"
                          "shadowColor=$00FF00\nglow=12\nglowColor=$FF0000\n",
                          "\xe2\x96\x88"));
    const Bitmap& logo = engine->logo();
    ASSERT_FALSE(openLine("", "\xe2\x96\x88"));
    const QRect block = inked();
    ASSERT_FALSE(openLine("outline=4\noutlineColor=$0000FF\nshadowX=6\nshadowY=6\n"
                          "shadowColor=$00FF00\nglow=12\nglowColor=$FF0000\n",
                          "\xe2\x96\x88"));
    const QPoint mid = block.center();
    EXPECT_EQ(logo.pixel(mid.x(), mid.y()), kBlack);                      // fill
    EXPECT_EQ(logo.pixel(block.left() - 2, mid.y()), kRed);               // outline
    EXPECT_EQ(logo.pixel(block.right() + 7, block.bottom() + 7), kGreen); // shadow
    const QRgb glow = logo.pixel(block.left() - 9, mid.y());              // glow, fading
    EXPECT_TRUE(qBlue(glow) == 0xff && qRed(glow) < 0xff) << std::hex << glow;
}

TEST_F(Lettering, GradientRunsFromColourAtTheCellsTopToItsBottom) {
    ASSERT_FALSE(openLine("gradient=$FF0000\n", "\xe2\x96\x88"));
    const QRect block = inked();
    ASSERT_GT(block.height(), 20);
    const Bitmap& logo = engine->logo();
    const QRgb top = logo.pixel(block.center().x(), block.top() + 1);
    const QRgb bottom = logo.pixel(block.center().x(), block.bottom() - 1);
    // Black towards blue, more blue further down, no red or green.
    EXPECT_LT(qBlue(top), qBlue(bottom));
    EXPECT_GT(qBlue(bottom), 0xb0);
    EXPECT_EQ(qRed(top) | qGreen(top) | qRed(bottom) | qGreen(bottom), 0);
}

TEST_F(Lettering, EffectsOverClearPixelsArePartlyClearWithoutDarkFringes) {
    QImage clear(300, 100, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(designPath + "bg.png", "png"));
    ASSERT_FALSE(openLine("color=$FFFFFF\nglow=10\nglowColor=$00C0FF\nshadowX=5\nshadowY=5\n"
                          "shadowBlur=4\nshadowColor=$FF0000\n",
                          "HIH", "bg.png"));
    const QImage& alpha = engine->alphaLogo();
    ASSERT_FALSE(alpha.isNull());
    int partly = 0;
    for (int y = 0; y < alpha.height(); ++y)
        for (int x = 0; x < alpha.width(); ++x) {
            const QRgb p = alpha.pixel(x, y);
            if (qAlpha(p) == 0 || qAlpha(p) == 255)
                continue;
            ++partly;
            // Straight colours of glow, shadow or the white letters, or
            // mixes of them: never darker than the darkest of them.
            const QRgb c = qUnpremultiply(p);
            EXPECT_GE(qRed(c) + qGreen(c) + qBlue(c), 0xff - 8) << x << "," << y;
        }
    EXPECT_GT(partly, 200);
}

TEST_F(Lettering, TrackingAddsAfterEveryCharacterButTheLast) {
    ASSERT_FALSE(openLine(""));
    const qint32 plain = MeasureText(font(), QStringLiteral("HIHO"));
    const qint32 plainSpaced = MeasureText(font(), QStringLiteral("H I "));
    for (int t : {5, -3, 40}) {
        SCOPED_TRACE(t);
        ASSERT_FALSE(openLine("tracking=" + QByteArray::number(t) + "\n"));
        EXPECT_EQ(MeasureText(font(), QStringLiteral("HIHO")), plain + 3 * t);
        EXPECT_EQ(MeasureText(font(), QStringLiteral("H")),
                  MeasureText(font(), QStringLiteral("H")) + 0 * t);
        EXPECT_EQ(MeasureText(font(), QString()), 0);
        // spaced: "H I " is four characters, its trailing blank included.
        ASSERT_FALSE(openLine("tracking=" + QByteArray::number(t) + "\nspaced\n"));
        EXPECT_EQ(MeasureText(font(), QStringLiteral("HI")), plainSpaced + 3 * t);
    }
}

// The size fitWidth settles on is the largest, stepping down a point at a
// time from "size", whose width fits, or minSize.
TEST_F(Lettering, FitWidthStepsTheSizeDownUntilTheLineFits) {
    struct Case {
        int size;
        int fitWidth;
        int minSize;
        const char* text;
    };
    const Case cases[] = {
        {30, 200, 6, "HIH"},
        {30, 120, 6, "Powered by Zotmaker"},
        {30, 80, 6, "Powered by Zotmaker 2026"},
        {30, 60, 12, "Powered by Zotmaker 2026"},
        {-40, 150, 6, "ACME Tools"},
        {200, 300, 6, "SUMMER SALE - everything must go"},
        {2000, 100, 6, "A much too long title"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " size " + std::to_string(c.size));
        writeSolid("bg.bmp", 300, 100, kWhite);
        writeScript("backgroundImage=bg.bmp\nttfFont\nname=DejaVu Sans\nsize=" +
                    QByteArray::number(c.size) + "\nfitWidth=" + QByteArray::number(c.fitWidth) +
                    "\nminSize=" + QByteArray::number(c.minSize) + "\ndefault=" + c.text +
                    "\nttfFontEnd\n");
        ASSERT_FALSE(open());
        const QString text = QString::fromLatin1(c.text);
        // Stepping down as a user would, one size a line.
        int expected = std::abs(c.size);
        qint32 expectedWidth = 0;
        int expectedPixels = 0;
        for (;; --expected) {
            TTtfFont step;
            step.Name = QStringLiteral("DejaVu Sans");
            step.Height = int(-std::lround((c.size < 0 ? -expected : expected) * 96 / 72.0));
            expectedWidth = MeasureText(step, text);
            expectedPixels = step.qfont().pixelSize();
            if (expectedWidth <= c.fitWidth || expected <= c.minSize)
                break;
        }
        EXPECT_EQ(MeasureText(font(), text), expectedWidth);
        EXPECT_EQ(font().line(text).font.pixelSize(), expectedPixels);
        if (expected > c.minSize) {
            EXPECT_LE(MeasureText(font(), text), c.fitWidth);
        }
    }
}

// A fitted size counts wherever the size does: the logo widens to the
// fitted width, and a centred line is centred by it.
TEST_F(Lettering, AFittedLineWidensAndCentresByItsFittedWidth) {
    writeSolid("bg.bmp", 100, 60, kWhite);
    writeSolid("c.bmp", 4, 60, kWhite);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=center\n"
                "ttfFont\nname=DejaVu Sans\nsize=40\nfitWidth=250\nxpos=center\nalign=center\n"
                "default=A rather long line of text\nttfFontEnd\n");
    ASSERT_FALSE(open());
    const qint32 w = MeasureText(font(), QStringLiteral("A rather long line of text"));
    EXPECT_LE(w, 250);
    EXPECT_GT(w, 200);
    EXPECT_EQ(engine->logo().width(), w);
    const QRect ink = inked();
    EXPECT_NEAR(ink.center().x(), w / 2, 3);
}

} // namespace
} // namespace zot::test
