// A design's own fonts draw its lines, whatever fonts the machine has and
// wherever the design lies.
#include "platform/SfntNames.h"
#include "support/DesignFixture.h"

#include <QFontDatabase>

namespace zot::test {
namespace {

const QString kDejaVu = QStringLiteral("/usr/share/fonts/truetype/dejavu/");

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class DesignFonts : public DesignFixture {
  protected:
    void SetUp() override {
        DesignFixture::SetUp();
        serifBold = fileBytes(kDejaVu + QStringLiteral("DejaVuSerif-Bold.ttf"));
        if (serifBold.isEmpty() || fileBytes(kDejaVu + QStringLiteral("DejaVuSans.ttf")).isEmpty())
            GTEST_SKIP() << "the DejaVu fonts are not installed";
        // DejaVu Serif Bold's outlines under the name of the installed DejaVu Sans.
        const auto renamed = renameSfntFamilies(serifBold, {QStringLiteral("DejaVu Sans")});
        ASSERT_TRUE(renamed);
        namesake = *renamed;
    }

    // Opens a design of one line in folder, drawing "Wg" in typeface name,
    // with the font file given (if any), and returns its logo.
    Bitmap render(const QString& folder, const QByteArray& name, const QByteArray& fontFile,
                  const QByteArray& extra = {}) {
        const QString path = dir.path() + u'/' + folder + u'/';
        QDir().mkpath(path);
        Bitmap bg = Bitmap::create(160, 60, 24);
        bg.fill(kWhite);
        writeBmpFile(bg, path + QStringLiteral("bg.bmp"));
        QByteArray script = "backgroundImage = bg.bmp\n";
        if (!fontFile.isEmpty()) {
            QFile font(path + QStringLiteral("font.ttf"));
            EXPECT_TRUE(font.open(QIODevice::WriteOnly));
            font.write(fontFile);
            script += "installTempFontResource = font.ttf\n";
        }
        script += "ttfFont\nname = " + name + "\nsize = 30\ncolor = 0\ndefault = Wg\n" + extra +
                  "ttfFontEnd\n";
        QFile s(path + QStringLiteral("script.zot"));
        EXPECT_TRUE(s.open(QIODevice::WriteOnly));
        s.write(script);
        s.close();
        EXPECT_FALSE(open(folder));
        return engine->logo();
    }

    QByteArray serifBold;
    QByteArray namesake;
};

TEST_F(DesignFonts, ANamesakeOfAnInstalledFontDrawsFromEveryFolder) {
    // What the design's font must give: the same outlines under their own name.
    const Bitmap own = render(QStringLiteral("reference"), "DejaVu Serif", serifBold, "bold\n");
    const Bitmap system = render(QStringLiteral("system"), "DejaVu Sans", {});
    ASSERT_FALSE(own.isEmpty());
    ASSERT_NE(encodeBmp(own), encodeBmp(system));
    // Folder names sort before and after the others, and the script's name is
    // compared as fontconfig compares family names.
    const std::pair<const char*, QByteArray> cases[] = {
        {"0", "DejaVu Sans"},
        {"zzz", "DejaVu Sans"},
        {"Design With Blanks", "dejavu sans"},
        {"\xc3\xa9t\xc3\xa9", "DEJAVUSANS"},
        {"a.b", "DejaVu Sans"},
        {"-x", "DejaVu  Sans"},
    };
    for (const auto& [folder, name] : cases) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(encodeBmp(render(QString::fromUtf8(folder), name, namesake)), encodeBmp(own));
        // The next design no longer sees it.
        EXPECT_EQ(encodeBmp(render(QStringLiteral("system"), "DejaVu Sans", {})),
                  encodeBmp(system));
    }
}

TEST_F(DesignFonts, ItsFaceIsRegisteredUnderANameOfItsOwnAndWithdrawnAtReset) {
    render(QStringLiteral("D"), "DejaVu Sans", namesake);
    const Design& d = engine->design();
    const auto family = d.mFontTable.familyFor(QStringLiteral("dejavu sans"));
    ASSERT_TRUE(family);
    EXPECT_NE(*family, QStringLiteral("DejaVu Sans"));
    ASSERT_EQ(d.mFontTable.ids().size(), 1);
    const int id = d.mFontTable.ids()[0];
    EXPECT_EQ(QFontDatabase::applicationFontFamilies(id), QStringList{*family});
    const DesignFace* face = d.mFontTable.faceFor(QStringLiteral("DejaVu Sans"), false, true);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->face.weight, 700);
    EXPECT_EQ(face->face.styleName, QStringLiteral("Bold"));
    EXPECT_FALSE(d.mFontTable.familyFor(QStringLiteral("DejaVu Serif")));
    engine->ResetDesign();
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).isEmpty());
    EXPECT_FALSE(d.mFontTable.familyFor(QStringLiteral("DejaVu Sans")));
}

} // namespace
} // namespace zot::test
