// Opening the open design again keeps what the user typed, and the engine
// knows which files an opening read.
#include "support/DesignFixture.h"

namespace zot::test {
namespace {

using namespace Qt::StringLiterals;

class ReopenDesignTest : public DesignFixture {};

QByteArray ttf(const QByteArray& label, const QByteArray& defaultText) {
    return "ttfFont\nname=DejaVu Sans\nsize=10\nlabel=" + label + "\ndefault=" + defaultText +
           "\nttfFontEnd\n";
}

TEST_F(ReopenDesignTest, InputsAreMatchedByNumber) {
    writeSolid(u"bg.bmp"_s, 40, 20, kBlue);
    writeScript("backgroundImage=bg.bmp\n" + ttf("A", "one") + ttf("B", "two") + ttf("C", "three"));
    ASSERT_EQ(open(), std::nullopt);
    engine->setLabelText(1, u"typed"_s);
    engine->setLabelText(3, u"three"_s); // typed, but what the default says: a default
    writeScript("backgroundImage=bg.bmp\n" + ttf("A", "uno") + ttf("B", "dos"));
    const int renders = engine->renderCount();
    engine->ReopenDesign();
    ASSERT_EQ(engine->LabelCount(), 2);
    EXPECT_EQ(engine->labelText(1), u"typed");
    EXPECT_EQ(engine->labelText(2), u"dos");
    EXPECT_EQ(engine->labelDefault(1), u"uno");
    // One rendering, with the kept text already in place.
    EXPECT_EQ(engine->renderCount(), renders + 1);
    // More inputs than before: the new ones show their defaults.
    writeScript("backgroundImage=bg.bmp\n" + ttf("A", "uno") + ttf("B", "dos") + ttf("C", "tres") +
                ttf("D", "cuatro"));
    engine->ReopenDesign();
    EXPECT_EQ((QStringList{engine->labelText(1), engine->labelText(2), engine->labelText(3),
                           engine->labelText(4)}),
              (QStringList{u"typed"_s, u"dos"_s, u"tres"_s, u"cuatro"_s}));
    // And a plain opening afterwards keeps nothing.
    ASSERT_EQ(open(), std::nullopt);
    EXPECT_EQ(engine->labelText(1), u"uno");
}

TEST_F(ReopenDesignTest, WithoutAnOpenDesignThereIsNothingToReopen) {
    writeScript("name=x\n");
    engine->ReopenDesign();
    EXPECT_FALSE(engine->hasDesign());
    EXPECT_EQ(engine->renderCount(), 0);
    ASSERT_EQ(open(), std::nullopt);
    EXPECT_TRUE(engine->hasDesign());
    engine->ResetDesign();
    EXPECT_FALSE(engine->hasDesign());
    engine->ReopenDesign();
    EXPECT_FALSE(engine->hasDesign());
}

TEST_F(ReopenDesignTest, FilesReadAreTheScriptPicturesFontsAndCharacterFolders) {
    writeSolid(u"bg.bmp"_s, 40, 20, kBlue);
    writeSolid(u"Pieces/Centre.bmp"_s, 4, 20, kRed);
    writeSolid(u"chars/a.bmp"_s, 4, 4, kBlack);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraCenter=pieces\\centre.bmp\n"
                "backgroundExtraExpandFrom=center\nbackgroundExtraLeft=missing.bmp\n"
                "installTempFontResource=font.ttf\n"
                "imgFont\nname=chars\nlabel=L\ndefault=a\nimgFontEnd\n");
    ASSERT_EQ(open(), std::nullopt);
    const QStringList expected{designPath + u"script.zot"_s,        designPath + u"bg.bmp"_s,
                               designPath + u"Pieces/Centre.bmp"_s, // as found, any case
                               designPath + u"missing.bmp"_s,       // a missing one too
                               designPath + u"font.ttf"_s,          designPath + u"chars"_s};
    EXPECT_EQ(engine->filesRead(), expected);
}

TEST_F(ReopenDesignTest, AScriptStoppedByABadNumberStillNamesWhatItRead) {
    writeSolid(u"bg.bmp"_s, 40, 20, kBlue);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraMarge=wide\n");
    EXPECT_NE(open(), std::nullopt);
    EXPECT_EQ(engine->filesRead(),
              (QStringList{designPath + u"script.zot"_s, designPath + u"bg.bmp"_s}));
    EXPECT_TRUE(engine->hasDesign());
}

} // namespace
} // namespace zot::test
