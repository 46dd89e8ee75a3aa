// A line laid out once and drawn from its glyph runs against the same text
// drawn with QPainter::drawText and measured with QFontMetrics, as every
// line was before: random texts in several fonts, sizes and styles, every
// pixel and every width.
#include "fonts/TTtfFont.h"
#include "imaging/Bitmap.h"
#include "platform/SystemColors.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <random>

namespace zot::test {
namespace {

// Kerning pairs, ligatures, stacked and lone marks, right-to-left scripts,
// characters only fallback fonts hold, blanks, and characters a one-line
// layout treats otherwise (tabs, separators, the metrics' terminator).
const QString kPieces[] = {
    QStringLiteral("A"),
    QStringLiteral("V"),
    QStringLiteral("To"),
    QStringLiteral("fi"),
    QStringLiteral("ffl"),
    QStringLiteral("g"),
    QStringLiteral("j"),
    QStringLiteral("W"),
    QStringLiteral("1"),
    QStringLiteral(" "),
    QStringLiteral("  "),
    QStringLiteral("\u00c5"),
    QStringLiteral("e\u0301\u0302\u0303"),
    QStringLiteral("\u0301"),
    QStringLiteral("\u05e9\u05dc\u05d5\u05dd"),
    QStringLiteral("\u0627\u0644\u0639\u0631\u0628"),
    QStringLiteral("\u6f22\u5b57"),
    QStringLiteral("\U0001F600"),
    QStringLiteral("\u0915\u094d\u0937"),
    QStringLiteral("\u222b"),
    QStringLiteral("_"),
    QStringLiteral("\t"),
    QStringLiteral("\u2028"),
    QStringLiteral("\u009c"),
    QStringLiteral("\u00ad"),
    QStringLiteral("x\u200by"),
};

TEST(TextLine, DrawsAndMeasuresEveryTextAsDrawTextDoes) {
    static const char* const families[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
    std::mt19937 random(20261209);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    int differing = 0;
    for (int n = 0; n < 1500; ++n) {
        TTtfFont font;
        font.Name = QString::fromLatin1(families[pick(0, 2)]);
        // Cached glyphs up to 64 pixels, outlines beyond; now and then a cell height.
        font.Height = pick(1, 8) == 1 ? pick(6, 90) : -pick(5, 110);
        font.Bold = pick(0, 3) == 0;
        font.Italic = pick(0, 3) == 0;
        font.Underline = pick(0, 5) == 0;
        font.StrikeOut = pick(0, 5) == 0;
        font.Spaced = pick(0, 4) == 0;
        font.Color = pick(0, 0xffffff);
        font.XPos = pick(-30, 120);
        font.YPos = pick(-20, 60);
        QString text;
        for (int k = pick(0, 7); k > 0; --k)
            text += kPieces[pick(0, int(std::size(kPieces)) - 1)];
        SCOPED_TRACE("case " + std::to_string(n) + ": " + text.toStdString() + " in " +
                     font.Name.toStdString() + " " + std::to_string(font.Height) + " styles " +
                     std::to_string(font.Bold) + std::to_string(font.Italic) +
                     std::to_string(font.Underline) + std::to_string(font.StrikeOut) +
                     std::to_string(font.Spaced) + " at " + std::to_string(font.XPos) + "," +
                     std::to_string(font.YPos));

        const QString spaced = SpacedText(font, text);
        ASSERT_EQ(MeasureText(font, text), font.metrics().horizontalAdvance(spaced));

        Bitmap laidOut = Bitmap::create(360, 180, 24);
        laidOut.fill(0xffffffff);
        Bitmap drawn = laidOut;
        PaintText(font, text, laidOut);
        // As lines were drawn: nothing for a text wholly outside the logo.
        const QFontMetrics& fm = font.metrics();
        const int w = fm.horizontalAdvance(spaced);
        if (!spaced.isEmpty() && font.XPos < drawn.width() && font.XPos + w + fm.maxWidth() >= 0 &&
            font.YPos < drawn.height() && font.YPos + fm.height() >= 0) {
            drawn.paint([&](QPainter& p) {
                p.setFont(font.qfont());
                p.setPen(QColor::fromRgb(colorFromWindowsValue(font.Color)));
                p.drawText(QPointF(font.XPos, font.YPos + fm.ascent()), spaced);
            });
        }

        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x)
                if (laidOut.pixel(x, y) != drawn.pixel(x, y)) {
                    ++differing;
                    ADD_FAILURE() << "pixel " << x << "," << y;
                    y = drawn.height();
                    break;
                }
        if (differing > 5)
            return;
    }
}

} // namespace
} // namespace zot::test
