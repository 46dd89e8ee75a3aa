// Keystrokes drawn in part (only where texts changed) against whole
// renderings, on random designs and random edits: every pixel, the logo's
// format and what the fonts keep must agree after every edit.
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace zot::test {
namespace {

// An editor whose zoom refit can be made to fail, as a bad zoom text does.
class Observer : public HeadlessEditor {
  public:
    bool failRefit = false;
    void logoResized() override {
        HeadlessEditor::logoResized();
        if (failRefit)
            throw Error(QStringLiteral("'x' is not a valid integer value"));
    }
    bool refitCanFail() const override { return failRefit; }
};

class RandomDesign {
  public:
    RandomDesign(const QString& folder, std::mt19937& random) : folder_(folder), random_(random) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    void picture(const QString& name, int width, int height, int bpp) {
        static const QRgb colours[] = {0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00,
                                       0xff0000ff, 0xff808020, 0xff2080c0};
        Bitmap bitmap = Bitmap::create(
            width, height, bpp,
            bpp <= 8 ? QList<QRgb>(std::begin(colours), std::begin(colours) + (bpp == 1 ? 2 : 7))
                     : QList<QRgb>{});
        // Stripes and noise, so that a pixel drawn from the wrong place shows.
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.setPixel(x, y,
                                chance(20) ? colours[pick(0, 6)] : colours[(x / 3 + y / 2) % 7]);
        QDir().mkpath(QFileInfo(folder_ + name).absolutePath());
        writeBmpFile(bitmap, folder_ + name);
    }

    QByteArray make() {
        static const int depths[] = {1, 4, 8, 16, 24, 32};
        const int bpp = depths[pick(0, 5)];
        QByteArray script = "backgroundImage=bg.bmp\n";
        picture("bg.bmp", pick(20, 160), pick(10, 70), bpp);
        // Mostly a background that keeps its size, the case drawn in part.
        static const char* const modes[] = {"center", "leftright", "left", "right", "character"};
        if (chance(35)) {
            script += QByteArray("backgroundExtraExpandFrom=") + modes[pick(0, 4)] + "\n";
            for (const char* piece : {"Left", "Center", "Right"}) {
                const QByteArray name = QByteArray(piece).toLower() + ".bmp";
                picture(QString::fromLatin1(name), pick(1, 14), pick(5, 70), chance(50) ? bpp : 24);
                script += QByteArray("backgroundExtra") + piece + "=" + name + "\n";
            }
            script += "backgroundExtraMarge=" + QByteArray::number(pick(-4, 8)) + "\n";
        }
        const int fonts = pick(1, 4);
        for (int f = 0; f < fonts; ++f)
            script += chance(40) ? imageFont(f) : trueTypeFont();
        return script;
    }

  private:
    QByteArray imageFont(int f) {
        const QString chars = QStringLiteral("chars%1/").arg(f);
        const int height = pick(3, 16);
        for (const char* c : {"a", "b", "c", " ", "1"}) {
            if (chance(85))
                picture(chars + QString::fromLatin1(c) + ".bmp", pick(0, 9), height,
                        chance(70) ? 24 : 8);
        }
        QByteArray section = "imgFont\nname=chars" + QByteArray::number(f) + "\n";
        static const char* const aligns[] = {"", "center", "left", "right", "fill", "fill"};
        const QByteArray align = aligns[pick(0, 5)];
        if (!align.isEmpty())
            section += "align=" + align + "\n";
        if (align == "fill" || chance(30))
            section += "width=" + QByteArray::number(pick(0, 60)) + "\n";
        section += "charspace=" + QByteArray::number(pick(-2, 4)) + "\n";
        section += "space=" + QByteArray::number(pick(0, 3)) + "\n";
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-10, 120)) + "\n";
        section += "ypos=" + QByteArray::number(pick(-4, 50)) + "\n";
        if (chance(50))
            section += "transparent\n";
        section += "default=ab\nimgFontEnd\n";
        return section;
    }

    QByteArray trueTypeFont() {
        static const char* const names[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
        // Now and then a size drawn from outlines rather than cached glyphs.
        QByteArray section = QByteArray("ttfFont\nname=") + names[pick(0, 2)] + "\nsize=" +
                             QByteArray::number(chance(10) ? pick(50, 70) : pick(4, 22)) + "\n";
        // Lettering: effects reaching past the letters (and past the logo),
        // a gradient, tracking, and sizes that fit a width.
        if (chance(40)) {
            static const char* const effects[] = {"outline", "shadowX",  "shadowY", "shadowBlur",
                                                  "glow",    "tracking", "fitWidth"};
            static const int low[] = {0, -14, -14, 0, 0, -4, 0};
            static const int high[] = {6, 14, 14, 9, 12, 9, 140};
            for (size_t k = 0; k < std::size(effects); ++k) {
                if (chance(45))
                    section += QByteArray(effects[k]) + "=" +
                               QByteArray::number(pick(low[k], high[k])) + "\n";
            }
            for (const char* colour : {"outlineColor", "shadowColor", "glowColor", "gradient"}) {
                if (chance(30))
                    section +=
                        QByteArray(colour) + "=" + QByteArray::number(pick(0, 0xffffff)) + "\n";
            }
            if (chance(30))
                section += "minSize=" + QByteArray::number(pick(1, 12)) + "\n";
        }
        static const char* const aligns[] = {"left", "center", "right", "justify"};
        section += QByteArray("align=") + aligns[pick(0, chance(90) ? 2 : 3)] + "\n";
        for (const char* style : {"bold", "italic", "underline", "strikeout", "spaced"}) {
            if (chance(25))
                section += QByteArray(style) + "\n";
        }
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-20, 140)) + "\n";
        // A system colour now and then (negative values).
        const qint64 colour = chance(15) ? qint64(0x80000000) + pick(0, 30) : pick(0, 0xffffff);
        section += "ypos=" + QByteArray::number(pick(-10, 50)) +
                   "\ncolor=" + QByteArray::number(qint32(quint32(colour))) +
                   "\ndefault=Ab\nttfFontEnd\n";
        return section;
    }

    QString folder_;
    std::mt19937& random_;
};

// Characters that reach outside their cell: accents stacked high, descenders,
// overhanging italics, other scripts drawn by fallback fonts.
QString randomPiece(RandomDesign& design) {
    static const QString pieces[] = {QStringLiteral("a"),
                                     QStringLiteral("b"),
                                     QStringLiteral("c"),
                                     QStringLiteral(" "),
                                     QStringLiteral("1"),
                                     QStringLiteral("W"),
                                     QStringLiteral("j"),
                                     QStringLiteral("f"),
                                     QStringLiteral("g"),
                                     QStringLiteral("\u00c5"),
                                     QStringLiteral("e\u0301\u0301\u0301\u0302\u0303"),
                                     QStringLiteral("\u05e9"),
                                     QStringLiteral("\u0627\u0644"),
                                     QStringLiteral("\u6f22"),
                                     QStringLiteral("_"),
                                     QStringLiteral("\u222b")};
    return pieces[design.pick(0, int(std::size(pieces)) - 1)];
}

// An edit as a user or a batch line makes it: a key typed or deleted at the
// end or in the middle, or the whole text replaced.
QString edited(RandomDesign& design, QString text) {
    switch (design.pick(0, 5)) {
    case 0:
    case 1:
        return text + randomPiece(design);
    case 2:
        if (!text.isEmpty())
            text.chop(1);
        return text;
    case 3: {
        // Not between a letter and its marks: the platform draws a mark on
        // some letters differently from one drawing to the next.
        qsizetype at = design.pick(0, int(text.size()));
        while (at < text.size() && text.at(at).isMark())
            ++at;
        return text.insert(at, randomPiece(design));
    }
    case 4: {
        QString fresh;
        for (int n = design.pick(0, 8); n > 0; --n)
            fresh += randomPiece(design);
        return fresh;
    }
    default:
        return design.chance(50) ? QString() : text;
    }
}

// Why two logos differ, or empty when they are the same.
std::string difference(const Bitmap& a, const Bitmap& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return "size " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " vs " +
               std::to_string(b.width()) + "x" + std::to_string(b.height());
    if (a.bitsPerPixel() != b.bitsPerPixel() || a.palette() != b.palette())
        return "format";
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel " + std::to_string(x) + "," + std::to_string(y);
    if (!(a.storage() == b.storage()))
        return "stored values";
    return {};
}

std::string fontsDifference(const LogoEngine& a, const LogoEngine& b) {
    for (size_t i = 0; i < a.design().ImgFonts.size(); ++i) {
        const TImgFont& fa = *a.design().ImgFonts[i];
        const TImgFont& fb = *b.design().ImgFonts[i];
        if (fa.CharSpace != fb.CharSpace || fa.XPos != fb.XPos)
            return "image font " + std::to_string(i + 1);
    }
    for (size_t i = 0; i < a.design().TtfFonts.size(); ++i) {
        if (a.design().TtfFonts[i]->XPos != b.design().TtfFonts[i]->XPos)
            return "TrueType font " + std::to_string(i + 1);
    }
    return {};
}

TEST(IncrementalRender, RandomEditsDrawWhatWholeRenderingsDraw) {
    constexpr int kDesigns = 100;
    constexpr int kEdits = 80;
    std::mt19937 random(20261209);
    int drawnInPart = 0;
    int edits = 0;
    for (int d = 0; d < kDesigns; ++d) {
        SCOPED_TRACE("design " + std::to_string(d));
        QTemporaryDir program;
        ASSERT_TRUE(program.isValid());
        const QString folder = program.path() + QStringLiteral("/D/");
        RandomDesign design(folder, random);
        const QByteArray script = design.make();
        {
            QFile file(folder + "script.zot");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(script);
        }
        SCOPED_TRACE(script.toStdString());

        Observer wholeObserver, partObserver;
        LogoEngine whole(wholeObserver, program.path());
        LogoEngine part(partObserver, program.path());
        whole.setIncremental(false);
        whole.OpenDesign(QStringLiteral("D"));
        part.OpenDesign(QStringLiteral("D"));
        ASSERT_EQ(difference(whole.logo(), part.logo()), "");
        const int inputs = whole.LabelCount();
        ASSERT_GT(inputs, 0);

        for (int e = 0; e < kEdits; ++e) {
            // Now and then a rendering ends early: the next must mend it.
            const bool fail = design.chance(4);
            wholeObserver.failRefit = partObserver.failRefit = fail;
            if (design.chance(10)) {
                // A batch line: several fields at once.
                QStringList fields;
                for (int i = 1; i <= inputs; ++i)
                    fields.append(edited(design, whole.labelText(i)));
                bool wholeThrew = false, partThrew = false;
                try {
                    whole.setLabelTexts(fields);
                } catch (const Error&) {
                    wholeThrew = true;
                }
                try {
                    part.setLabelTexts(fields);
                } catch (const Error&) {
                    partThrew = true;
                }
                ASSERT_EQ(wholeThrew, partThrew);
            } else {
                const int i = design.pick(1, inputs);
                const QString text = edited(design, whole.labelText(i));
                bool wholeThrew = false, partThrew = false;
                try {
                    whole.setLabelText(i, text);
                } catch (const Error&) {
                    wholeThrew = true;
                }
                try {
                    part.setLabelText(i, text);
                } catch (const Error&) {
                    partThrew = true;
                }
                ASSERT_EQ(wholeThrew, partThrew);
            }
            ++edits;
            const QRect all(0, 0, part.logo().width(), part.logo().height());
            if (!fail && !part.changedArea().contains(all))
                ++drawnInPart;
            ASSERT_EQ(difference(whole.logo(), part.logo()), "")
                << "edit " << e << ", texts: " << part.renderState().texts.join(u'|').toStdString();
            ASSERT_EQ(fontsDifference(whole, part), "") << "edit " << e;
        }
    }
    // The comparison means something only if most keystrokes were drawn in part.
    EXPECT_GT(drawnInPart, edits / 2);
}

// What the keystroke changed is all that is drawn again, and all the window
// is told to show again.
TEST(IncrementalRender, ChangedAreaIsTheChangedTextsPlace) {
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    const QString folder = program.path() + QStringLiteral("/D/");
    QDir().mkpath(folder);
    Bitmap bg = Bitmap::create(400, 300, 8);
    bg.fill(0xff0000ff);
    writeBmpFile(bg, folder + "bg.bmp");
    QFile file(folder + "script.zot");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("backgroundImage=bg.bmp\n"
               "ttfFont\nname=DejaVu Sans\nsize=12\nxpos=10\nypos=20\ndefault=top\nttfFontEnd\n"
               "ttfFont\nname=DejaVu Sans\nsize=12\nxpos=10\nypos=250\ndefault=low\nttfFontEnd\n");
    file.close();
    Observer observer;
    LogoEngine engine(observer, program.path());
    engine.OpenDesign(QStringLiteral("D"));
    EXPECT_EQ(engine.changedArea(), QRect(0, 0, 400, 300));

    engine.setLabelText(2, QStringLiteral("lower"));
    const QRect area = engine.changedArea();
    EXPECT_FALSE(area.isEmpty());
    EXPECT_GT(area.top(), 200); // the first line's place is left alone
    EXPECT_LT(area.width() * area.height(), 400 * 300 / 4);

    // A failed refit leaves the background alone; the next key draws it all.
    observer.failRefit = true;
    EXPECT_THROW(engine.setLabelText(1, QStringLiteral("x")), Error);
    EXPECT_EQ(engine.changedArea(), QRect(0, 0, 400, 300));
    observer.failRefit = false;
    engine.setLabelText(1, QStringLiteral("xy"));
    EXPECT_EQ(engine.changedArea(), QRect(0, 0, 400, 300));
}

} // namespace
} // namespace zot::test
