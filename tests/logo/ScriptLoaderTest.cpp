#include "support/DesignFixture.h"

#include <QFontDatabase>

namespace zot::test {
namespace {

class ScriptLoaderTest : public DesignFixture {};

TEST_F(ScriptLoaderTest, UnknownCommandQuotesLineNumberAndRawLine) {
    writeScript("   \n# comment\n= x\n  Bogus = 1 # why\nimgFontEnd\nImgFont\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(), (QStringList{"Unknown command on line 4 :   Bogus = 1 # why",
                                            "Unknown command on line 5 : imgFontEnd",
                                            "Unknown command on line 6 : ImgFont"}));
    EXPECT_TRUE(editor.errorsVisible());
}

TEST_F(ScriptLoaderTest, ExpandKeywordsAreCaseSensitive) {
    writeSolid("bg.bmp", 10, 5, kBlue);
    writeScript("backgroundImage=bg.bmp\nbackgroundExtraExpandFrom = Center\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(),
              QStringList{"Unknown value on line 2 : backgroundExtraExpandFrom = Center"});
    EXPECT_EQ(engine->design().ExpandFrom, ExpandMode::None);
    EXPECT_EQ(engine->renderCount(), 1); // mode none passes the end check
}

struct EndCheckCase {
    const char* script;
    const char* message; // nullptr: renders
};

class EndOfScriptCheck : public DesignFixture,
                         public ::testing::WithParamInterface<EndCheckCase> {};

TEST_P(EndOfScriptCheck, ReportsTheOneMissingPieceOrRenders) {
    writeSolid("p.bmp", 4, 4, kGreen);
    writeScript(GetParam().script);
    EXPECT_FALSE(open());
    if (GetParam().message) {
        EXPECT_EQ(editor.errors(), QStringList{QString::fromUtf8(GetParam().message)});
        EXPECT_EQ(engine->renderCount(), 0);
    } else {
        EXPECT_TRUE(editor.errors().isEmpty()) << editor.errors().join('\n').toStdString();
        EXPECT_EQ(engine->renderCount(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EndOfScriptCheck,
    ::testing::Values(
        EndCheckCase{"backgroundExtraExpandFrom=center\n",
                     "Background expand is set to center without specifying a "
                     "backgroundExtraCenter image."},
        EndCheckCase{"backgroundExtraExpandFrom=character\n",
                     "Background expand is set to character without specifying a "
                     "backgroundExtraCenter image."},
        EndCheckCase{"backgroundExtraExpandFrom=left\n",
                     "Background expand is set to Left without specifying a "
                     "backgroundExtraLeft image."},
        EndCheckCase{"backgroundExtraExpandFrom=right\n",
                     "Background expand is set to Right without specifying a "
                     "backgroundExtraRight image."},
        EndCheckCase{"backgroundExtraExpandFrom=leftright\n",
                     "Background expand is set to Right without specifying a "
                     "backgroundExtraRight image."},
        EndCheckCase{"backgroundExtraExpandFrom=leftright\nbackgroundExtraRight=p.bmp\n",
                     "Background expand is set to Left without specifying a "
                     "backgroundExtraLeft image."},
        EndCheckCase{"backgroundExtraExpandFrom=character\nbackgroundExtraCenter=p.bmp\n", nullptr},
        // The flag counts even when the picture cannot be loaded.
        EndCheckCase{"backgroundExtraExpandFrom=left\nbackgroundExtraLeft=missing.bmp\n", nullptr},
        EndCheckCase{"backgroundExtraLeft=p.bmp\nbackgroundExtraRight=p.bmp\n"
                     "backgroundExtraExpandFrom=leftright\n",
                     nullptr}));

TEST_F(ScriptLoaderTest, BadNumberStopsLoadingWithoutCheckOrRender) {
    writeScript("name=First\nttfFont\nlabel=A\nttfFontEnd\nbackgroundExtraMarge = 12px\n"
                "name=Second\nbackgroundExtraExpandFrom=center\n");
    EXPECT_EQ(open(), QStringLiteral("'12px' is not a valid integer value"));
    EXPECT_EQ(editor.caption(), QStringLiteral("First"));
    EXPECT_EQ(editor.labelCount(), 1);
    EXPECT_TRUE(editor.errors().isEmpty());
    EXPECT_EQ(engine->renderCount(), 0);
    EXPECT_EQ(engine->design().LineNumber, 5);
}

TEST_F(ScriptLoaderTest, EmptyNumberIsAConversionError) {
    writeScript("backgroundExtraMarge=\n");
    EXPECT_EQ(open(), QStringLiteral("'' is not a valid integer value"));
}

TEST_F(ScriptLoaderTest, LaterSettingsOverrideEarlierOnes) {
    writeSolid("a.bmp", 30, 10, kRed);
    writeSolid("b.bmp", 50, 20, kGreen);
    writeScript("name=One\nname=\nbackgroundImage=a.bmp\nbackgroundImage=b.bmp\n"
                "backgroundExtraMarge=$10\nbackgroundExtraMarge=-3\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.caption(), QString());
    EXPECT_EQ(engine->design().imgBackground.width(), 50);
    EXPECT_EQ(editor.viewWidth(), 50);
    EXPECT_EQ(editor.viewHeight(), 20);
    EXPECT_EQ(engine->design().ExtraMarge, -3);
    EXPECT_EQ(engine->logo().pixel(0, 0), kGreen);
}

TEST_F(ScriptLoaderTest, ScriptWithoutBackgroundKeepsThePreviousPicture) {
    writeSolid("a.bmp", 30, 10, kRed);
    writeScript("backgroundImage=a.bmp\n");
    ASSERT_FALSE(open());
    QDir().mkpath(dir.path() + "/E");
    QFile script(dir.path() + "/E/script.zot");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("name=E\n");
    script.close();
    EXPECT_FALSE(open(QStringLiteral("E")));
    EXPECT_EQ(engine->logo().width(), 30);
    EXPECT_EQ(engine->logo().pixel(5, 5), kRed);
}

TEST_F(ScriptLoaderTest, MissingScriptLeavesTheEditorResetAndEnabled) {
    writeScript("ttfFont\nttfFontEnd\n");
    ASSERT_FALSE(open());
    ASSERT_EQ(editor.labelCount(), 1);
    const auto error = open(QStringLiteral("Nowhere"));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("Cannot open file ")));
    EXPECT_TRUE(error->endsWith(QStringLiteral("Nowhere/script.zot")));
    EXPECT_EQ(editor.labelCount(), 0);
    EXPECT_TRUE(editor.outputEnabled());
}

TEST_F(ScriptLoaderTest, MissingTtfFontEndGivesOneMessageAndStillAnInput) {
    writeScript("ttfFont\nlabel=Slogan\n\n# trailing comment\n   \n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(), QStringList{"Missing \"ttfFontEnd\" at end of file!"});
    EXPECT_EQ(editor.labelCount(), 1);
    EXPECT_EQ(editor.labelCaption(1), QStringLiteral("Slogan"));
    EXPECT_EQ(editor.labelText(1), QStringLiteral("www.zotmaker.example"));
}

TEST_F(ScriptLoaderTest, MissingImgFontEndSpellsTheKeywordWithACapital) {
    writeScript("imgFont\nname=chars\n# nothing more\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(), QStringList{"Missing \"ImgFontEnd\" at end of file!"});
    EXPECT_EQ(editor.labelCount(), 1);
}

TEST_F(ScriptLoaderTest, SectionsReportForeignCommandsAndNumberInputsInScriptOrder) {
    writeScript("imgFont\nlabel=Image\nbackgroundImage=x.bmp\nttfFontEnd\nimgFontEnd\n"
                "ttfFont\nlabel=True\nimgFontEnd\ncenter\nttfFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(), (QStringList{"Unknown command on line 3 : backgroundImage=x.bmp",
                                            "Unknown command on line 4 : ttfFontEnd",
                                            "Unknown command on line 8 : imgFontEnd",
                                            "Unknown command on line 9 : center"}));
    ASSERT_EQ(editor.labelCount(), 2);
    EXPECT_EQ(editor.labelCaption(1), QStringLiteral("Image"));
    EXPECT_EQ(engine->design().ImgFonts[0]->LabelIndex, 1);
    EXPECT_EQ(engine->design().TtfFonts[0]->LabelIndex, 2);
}

TEST_F(ScriptLoaderTest, FillWithoutWidthGetsNoInput) {
    writeScript("imgFont\nalign=fill\nimgFontEnd\nttfFont\nttfFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.errors(),
              QStringList{"Error: Enter value for width when using fill for align."});
    ASSERT_EQ(engine->design().ImgFontCount(), 1);
    EXPECT_EQ(engine->design().ImgFonts[0]->LabelIndex, 0);
    EXPECT_EQ(editor.labelCount(), 1);
    EXPECT_EQ(engine->design().TtfFonts[0]->LabelIndex, 1);
}

TEST_F(ScriptLoaderTest, ATwentySixthFontIsReadToItsEndDroppedAndReported) {
    QByteArray script;
    for (int i = 1; i <= 26; ++i)
        script += "ttfFont\nlabel=L" + QByteArray::number(i) + "\nttfFontEnd\n";
    script += "name=After\n";
    writeScript(script);
    EXPECT_FALSE(open());
    EXPECT_EQ(engine->design().TtfFontCount(), 25);
    EXPECT_EQ(editor.labelCount(), 25);
    EXPECT_EQ(editor.labelCaption(25), QStringLiteral("L25"));
    EXPECT_EQ(editor.errors(),
              QStringList{"A design holds at most 25 fonts: the font section ending on line "
                          "78 is ignored."});
    EXPECT_EQ(editor.caption(), QStringLiteral("After")); // reading went on
}

TEST_F(ScriptLoaderTest, TwentySixInputsAcrossBothKindsAreCappedToo) {
    QByteArray script;
    for (int i = 0; i < 13; ++i)
        script += "ttfFont\nttfFontEnd\nimgFont\nimgFontEnd\n";
    writeScript(script);
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.labelCount(), 25);
    EXPECT_EQ(engine->design().TtfFontCount() + engine->design().ImgFontCount(), 25);
    EXPECT_EQ(editor.errors().size(), 1);
}

TEST_F(ScriptLoaderTest, ReopeningStartsInputsAgainAndKeepsTheErrorList) {
    writeScript("bogus\nttfFont\nttfFontEnd\nttfFont\nttfFontEnd\n");
    ASSERT_FALSE(open());
    ASSERT_EQ(editor.labelCount(), 2);
    writeScript("imgFont\nimgFontEnd\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.labelCount(), 1);
    EXPECT_EQ(engine->design().TtfFontCount(), 0);
    EXPECT_EQ(engine->design().ImgFonts[0]->LabelIndex, 1);
    EXPECT_FALSE(editor.errorsVisible()); // hidden, not cleared
    EXPECT_EQ(editor.errors().size(), 1);
    EXPECT_EQ(engine->renderCount(), 2); // one per opening
}

TEST_F(ScriptLoaderTest, InstalledFontIsUsableWhetherInstalledBeforeOrAfterItsSection) {
    const QString source = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf");
    if (!QFile::exists(source))
        GTEST_SKIP() << "DejaVu fonts not installed";
    QDir().mkpath(designPath + "fonts");
    ASSERT_TRUE(QFile::copy(source, designPath + "fonts/Serif.ttf"));
    writeScript("ttfFont\nname=DejaVu Serif\nbold\nttfFontEnd\n"
                "installTempFontResource=fonts\\Serif.ttf\n");
    EXPECT_FALSE(open());
    ASSERT_EQ(engine->design().mFonts, QStringList{"fonts\\Serif.ttf"});
    ASSERT_EQ(engine->design().mFontTable.ids().size(), 1);
    const int id = engine->design().mFontTable.ids()[0];
    // The line that came first draws with it too.
    const auto family = engine->design().mFontTable.familyFor(QStringLiteral("DejaVu Serif"));
    ASSERT_TRUE(family);
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).contains(*family));
    EXPECT_EQ(engine->design().TtfFonts[0]->DesignFamily, *family);
    engine->ResetDesign();
    EXPECT_TRUE(engine->design().mFonts.isEmpty());
    EXPECT_TRUE(QFontDatabase::applicationFontFamilies(id).isEmpty()); // withdrawn
}

TEST_F(ScriptLoaderTest, FileNamesResolveBackslashesAndCase) {
    writeSolid("Pics/Back.BMP", 12, 6, kYellow);
    writeScript("backgroundImage = pics\\back.bmp\n");
    EXPECT_FALSE(open());
    EXPECT_EQ(engine->logo().width(), 12);
    EXPECT_EQ(engine->logo().pixel(0, 0), kYellow);
}

TEST_F(ScriptLoaderTest, UndecodableOrAlienScriptsStillParse) {
    // Windows-1252 bytes and CR line breaks.
    writeScript("name = Caf\xe9\rbogus\r");
    EXPECT_FALSE(open());
    EXPECT_EQ(editor.caption(), QStringLiteral(u"Café"));
    EXPECT_EQ(editor.errors(), QStringList{"Unknown command on line 2 : bogus"});
}

} // namespace
} // namespace zot::test
