// Designs as users download them: shared memory budget, Windows-made names,
// character names and characters outside the BMP.
#include "fonts/TTtfFont.h"
#include "imaging/ImageLoader.h"
#include "support/DesignFixture.h"

#include <QFontDatabase>
#include <QtEndian>

namespace zot::test {
namespace {

const QString kEmoji = QStringLiteral("\U0001F600");

// An RLE8 BMP of about 1 KiB that claims width x height (all black).
QByteArray rleBomb(qint32 width, qint32 height) {
    QByteArray b(14 + 40 + 1024 + 2, '\0');
    uchar* p = reinterpret_cast<uchar*>(b.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(14 + 40 + 1024, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(8, p + 28);
    qToLittleEndian<quint32>(1, p + 30);
    p[b.size() - 1] = 1; // end of bitmap
    return b;
}

class DownloadedDesign : public DesignFixture {
  protected:
    void writeBytes(const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(designPath + name).absolutePath());
        QFile f(designPath + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Paths and contents given as raw bytes, as an archive unpacks them.
    QByteArray rawDir() const { return QFile::encodeName(dir.path()); }
    void mkdirIn(const QByteArray& rel) { mkdirRaw(rawDir() + '/' + rel); }
    void writeIn(const QByteArray& rel, const QByteArray& content) {
        writeRaw(rawDir() + '/' + rel, content);
    }
    static QByteArray solidBmp(int width, int height, QRgb colour) {
        Bitmap b = Bitmap::create(width, height, 24);
        b.fill(colour);
        return encodeBmp(b);
    }
    int loadedImages(const TImgFont& font) const {
        int n = 0;
        for (int i = 1; i <= font.Count; ++i)
            n += !font.CharImages[i].isEmpty();
        return n;
    }
};

TEST_F(DownloadedDesign, AllPicturesShareOneBudgetRenewedAtEachOpen) {
    writeBytes("bg.bmp", rleBomb(1000, 1000)); // 1 000 000 bytes each
    for (int i = 0; i < 5; ++i)
        writeBytes(QStringLiteral("chars/%1.bmp").arg(i), rleBomb(1000, 1000));
    writeScript("backgroundImage=bg.bmp\nimgFont\nname=chars\nimgFontEnd\n"
                "imgFont\nname=chars\nimgFontEnd\n");
    engine->design().Pictures = PictureBudget(3'500'000);
    ASSERT_FALSE(open());
    const Design& d = engine->design();
    EXPECT_EQ(d.imgBackground.width(), 1000);
    ASSERT_EQ(d.ImgFonts.size(), 2u);
    EXPECT_EQ(d.ImgFonts[0]->Count, 5);
    EXPECT_EQ(loadedImages(*d.ImgFonts[0]), 2); // the third would cross the budget
    EXPECT_EQ(loadedImages(*d.ImgFonts[1]), 0);
    EXPECT_LE(d.Pictures.used(), 3'500'000);
    // Opening again starts from a full budget: the same pictures load.
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->design().imgBackground.width(), 1000);
    EXPECT_EQ(loadedImages(*engine->design().ImgFonts[0]), 2);
    EXPECT_EQ(engine->design().Pictures.used(), 3'000'000);
}

TEST_F(DownloadedDesign, APictureReplacedByALaterLineGivesBackItsShare) {
    for (int i = 0; i < 5; ++i)
        writeBytes(QStringLiteral("bg%1.bmp").arg(i), rleBomb(1000, 1000 + i));
    QByteArray script;
    for (int i = 0; i < 5; ++i)
        script += "backgroundImage=bg" + QByteArray::number(i) + ".bmp\n";
    writeScript(script);
    engine->design().Pictures = PictureBudget(2'500'000);
    ASSERT_FALSE(open());
    // Only the last is held, so it fits although all five together would not.
    EXPECT_EQ(engine->design().imgBackground.height(), 1004);
    EXPECT_EQ(engine->design().Pictures.used(), 1'004'000);

    // The background kept from the design before was not taken from this
    // design's budget, so replacing it gives nothing back.
    writeBytes("chars/a.bmp", rleBomb(1000, 1000));
    writeScript("imgFont\nname=chars\nimgFontEnd\nbackgroundImage=bg0.bmp\n");
    ASSERT_FALSE(open());
    EXPECT_EQ(engine->design().Pictures.used(), 2'000'000);
}

TEST_F(DownloadedDesign, CharacterNamesEndAtTheFirstDot) {
    writeSolid("chars/a", 5, 4, kRed);         // no dot: no name
    writeSolid("chars/b.tar.bmp", 6, 4, kRed); // "b"
    writeSolid("chars/.bmp", 7, 4, kRed);      // empty name
    writeScript("imgFont\nname=chars\nimgFontEnd\n");
    ASSERT_FALSE(open());
    const TImgFont& font = *engine->design().ImgFonts[0];
    ASSERT_EQ(font.Count, 3);
    QStringList names;
    for (int i = 1; i <= 3; ++i)
        names << font.CharNames[i];
    names.sort();
    EXPECT_EQ(names, (QStringList{QString(), QString(), QStringLiteral("b")}));
    EXPECT_EQ(IndexOfCharacter(font, QStringLiteral("a")), 0);
    EXPECT_EQ(MeasureText(font, QStringLiteral("a")), 0);
    EXPECT_EQ(MeasureText(font, QStringLiteral("b")), 6);
}

TEST_F(DownloadedDesign, WindowsMadeNamesDrawTheirCharactersAndFindTheirPictures) {
    // Folder "dè", pictures "hügel.bmp" and character folder "ü" holding only
    // "è.bmp", whose image is listed first and sets the line's height; the
    // script names them in Windows-1252 bytes.
    mkdirIn("d\xe8");
    writeIn("d\xe8/h\xfcgel.bmp", solidBmp(40, 12, kBlue));
    mkdirIn("d\xe8/\xfc");
    writeIn("d\xe8/\xfc/\xe8.bmp", solidBmp(6, 9, kRed));
    writeIn("d\xe8/script.zot",
            "backgroundImage=h\xfcgel.bmp\n"
            "imgFont\nname=\xfc\ndefault=\xe8\xe8\nxpos=2\nypos=1\nimgFontEnd\n");
    ASSERT_FALSE(open(QStringLiteral("dè")));
    const Design& d = engine->design();
    EXPECT_EQ(d.imgBackground.width(), 40);
    ASSERT_EQ(d.ImgFonts.size(), 1u);
    const TImgFont& font = *d.ImgFonts[0];
    ASSERT_EQ(font.Count, 1);
    EXPECT_EQ(font.CharNames[1], QStringLiteral("è"));
    EXPECT_EQ(font.CharImages[1].height(), 9);
    EXPECT_EQ(MeasureText(font, QStringLiteral("èè")), 12);
    EXPECT_EQ(engine->logo().pixel(2, 1), kRed);
    EXPECT_EQ(engine->logo().pixel(13, 1), kRed);
    EXPECT_EQ(engine->logo().pixel(14, 1), kBlue);
}

TEST_F(DownloadedDesign, AFontFileNamedOverAndOverIsAddedOnce) {
    // A Windows-1252 name: the file is read into memory, once.
    QFile source(QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"));
    if (!source.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "DejaVu Serif is not installed";
    writeIn("D/f\xfc.ttf", source.readAll());
    QByteArray script = "ttfFont\nname=DejaVu Serif\nsize=20\nttfFontEnd\n";
    for (int i = 0; i < 1000; ++i)
        script +=
            i % 2 ? "installTempFontResource=f\xfc.ttf\n" : "installTempFontResource=F\xdc.TTF\n";
    writeScript(script);
    ASSERT_FALSE(open());
    const Design& d = engine->design();
    EXPECT_EQ(d.mFonts.size(), 1000);
    EXPECT_EQ(d.mFontTable.filesNamed(), 1);
    ASSERT_EQ(d.mFontTable.ids().size(), 1);
    const int id = d.mFontTable.ids()[0];
    const auto family = d.mFontTable.familyFor(QStringLiteral("DejaVu Serif"));
    ASSERT_TRUE(family);
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).contains(*family));
    engine->ResetDesign();
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).isEmpty());
    EXPECT_EQ(d.mFontTable.filesNamed(), 0);
}

TEST_F(DownloadedDesign, AnEmojiIsOneCharacterOfAnImageFont) {
    writeSolid(QStringLiteral("chars/%1.bmp").arg(kEmoji), 7, 4, kRed);
    writeSolid("chars/a.bmp", 3, 4, kGreen);
    writeScript("imgFont\nname=chars\ncharspace=2\nimgFontEnd\n");
    ASSERT_FALSE(open());
    const TImgFont& font = *engine->design().ImgFonts[0];
    EXPECT_NE(IndexOfCharacter(font, kEmoji), 0);
    EXPECT_EQ(IndexOfCharacter(font, kEmoji.left(1)), 0);
    EXPECT_EQ(MeasureText(font, kEmoji), 7);
    // Three characters, two gaps: a, the emoji, A lower-cased to a.
    EXPECT_EQ(MeasureText(font, QStringLiteral("a") + kEmoji + QStringLiteral("A")), 3 + 7 + 3 + 4);
    TImgFont copy = font;
    const Bitmap line = ComposeText(copy, kEmoji + QStringLiteral("a"));
    EXPECT_EQ(line.width(), 7 + 2 + 3);
    EXPECT_EQ(line.pixel(6, 0), kRed);
    EXPECT_EQ(line.pixel(9, 0), kGreen);
}

TEST_F(DownloadedDesign, CharacterModeCountsAnEmojiAsOneForItsShift) {
    writeSolid("bg.bmp", 300, 10, kBlue);
    writeMarked("c.bmp", 40, 10, kRed, kGreen);
    writeSolid("chars/a.bmp", 21, 10, kYellow);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                "backgroundExtraExpandFrom=character\n"
                "imgFont\nname=chars\ndefault=aaa\nypos=100\nimgFontEnd\n");
    ASSERT_FALSE(open());
    const std::vector<int> odd{50, 90, 130, 170, 210, 250, 290};
    const std::vector<int> even{40, 80, 120, 160, 200, 240, 280};
    engine->setLabelText(1, kEmoji);
    EXPECT_EQ(columnsOf(kRed), odd);
    engine->setLabelText(1, kEmoji + kEmoji);
    EXPECT_EQ(columnsOf(kRed), even);
    engine->setLabelText(1, QStringLiteral("a") + kEmoji + QStringLiteral("a"));
    EXPECT_EQ(columnsOf(kRed), odd);
}

TEST(SpacedTextTest, PutsTheBlankAfterWholeCharacters) {
    TTtfFont font;
    font.Spaced = true;
    EXPECT_EQ(SpacedText(font, QStringLiteral("a") + kEmoji), QStringLiteral("a ") + kEmoji + u' ');
    EXPECT_EQ(SpacedText(font, QString()), QString());
    font.Spaced = false;
    EXPECT_EQ(SpacedText(font, kEmoji), kEmoji);
}

} // namespace
} // namespace zot::test
