// A design opened from a folder other than the program folder (the user's own
// designs) finds its script and every file it names there.
#include "support/DesignFixture.h"

namespace zot::test {
namespace {

class DesignParentTest : public DesignFixture {
  protected:
    void SetUp() override {
        DesignFixture::SetUp();
        ASSERT_TRUE(userDir.isValid());
        // The same folder name in both places, told apart by caption and colour.
        writeScript("name=Shipped\nbackgroundImage=bg.bmp\n");
        writeSolid(QStringLiteral("bg.bmp"), 4, 2, kRed);
        const QString user = userDir.path() + QStringLiteral("/D/");
        QDir().mkpath(user + QStringLiteral("Pictures"));
        QFile script(user + QStringLiteral("script.zot"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("name=Mine\nbackgroundImage=pictures\\BG.bmp\n");
        script.close();
        Bitmap bitmap = Bitmap::create(6, 3, 24);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x)
                bitmap.setPixel(x, y, kBlue);
        writeBmpFile(bitmap, user + QStringLiteral("Pictures/bg.bmp"));
    }

    std::optional<QString> openFrom(const QString& parent) {
        try {
            engine->OpenDesign(QStringLiteral("D"), parent);
        } catch (const Error& error) {
            return error.message();
        }
        return std::nullopt;
    }

    QTemporaryDir userDir;
};

TEST_F(DesignParentTest, OpensFromTheFolderItWasFoundIn) {
    EXPECT_EQ(openFrom(userDir.path()), std::nullopt);
    EXPECT_EQ(editor.caption(), QStringLiteral("Mine"));
    // Names in the script are looked up in that folder too, ignoring case.
    EXPECT_EQ(engine->logo().width(), 6);
    EXPECT_EQ(engine->logo().pixel(0, 0), kBlue);
    EXPECT_EQ(engine->designFolderPath(), userDir.path() + QStringLiteral("/D/"));
    EXPECT_TRUE(editor.errors().isEmpty()) << editor.errors().join(u'|').toStdString();
}

TEST_F(DesignParentTest, WithoutAParentTheProgramFolderCountsAgain) {
    ASSERT_EQ(openFrom(userDir.path()), std::nullopt);
    EXPECT_EQ(open(), std::nullopt);
    EXPECT_EQ(editor.caption(), QStringLiteral("Shipped"));
    EXPECT_EQ(engine->logo().width(), 4);
    EXPECT_EQ(engine->logo().pixel(0, 0), kRed);
    EXPECT_EQ(openFrom(QString()), std::nullopt);
    EXPECT_EQ(editor.caption(), QStringLiteral("Shipped"));
}

TEST_F(DesignParentTest, AMissingScriptInTheOtherFolderIsTheUsualError) {
    QTemporaryDir empty;
    const std::optional<QString> failure = openFrom(empty.path());
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith(QStringLiteral("Cannot open file ") + empty.path()))
        << failure->toStdString();
}

} // namespace
} // namespace zot::test
