#include "platform/SfntNames.h"

#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace zot {
namespace {

QByteArray fontFile(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(SfntNames, FacesAreReadAndRenamedKeepingTheirStyle) {
    struct Case {
        const char* path;
        QList<std::tuple<QString, QString, int, bool>> faces; // family, style, weight, italic
    };
    const Case cases[] = {
        {"/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
         {{"DejaVu Serif", "Bold", 700, false}}},
        {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf",
         {{"DejaVu Sans", "Oblique", 400, true}}},
        // A collection: each face keeps its own family.
        {"/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
         {{"WenQuanYi Micro Hei", "Regular", 400, false},
          {"WenQuanYi Micro Hei Mono", "Regular", 400, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const QByteArray data = fontFile(c.path);
        if (data.isEmpty())
            continue; // that package is not installed
        const auto faces = readSfntFaces(data);
        ASSERT_TRUE(faces);
        ASSERT_EQ(faces->size(), c.faces.size());
        QStringList names;
        for (qsizetype i = 0; i < faces->size(); ++i) {
            const auto& [family, style, weight, italic] = c.faces[i];
            EXPECT_EQ(faces->at(i).family, family);
            EXPECT_TRUE(faces->at(i).familyNames.contains(family));
            EXPECT_EQ(faces->at(i).styleName, style);
            EXPECT_EQ(faces->at(i).weight, weight);
            EXPECT_EQ(faces->at(i).italic, italic);
            names << QStringLiteral("Zot Renamed %1").arg(i);
        }
        const auto renamed = renameSfntFamilies(data, names);
        ASSERT_TRUE(renamed);
        const auto again = readSfntFaces(*renamed);
        ASSERT_TRUE(again);
        for (qsizetype i = 0; i < again->size(); ++i) {
            EXPECT_EQ(again->at(i).familyNames, QStringList{names[i]});
            EXPECT_EQ(again->at(i).styleName, faces->at(i).styleName);
            EXPECT_EQ(again->at(i).weight, faces->at(i).weight);
        }
    }
}

TEST(SfntNames, DamagedFilesAreRefusedOrRenamedWhole) {
    const QByteArray data = fontFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    if (data.isEmpty())
        GTEST_SKIP() << "DejaVu Sans is not installed";
    QRandomGenerator random(7);
    const auto check = [](const QByteArray& damaged) {
        const auto faces = readSfntFaces(damaged);
        const auto renamed = renameSfntFamilies(
            damaged, QStringList(faces ? faces->size() : 1, QStringLiteral("Zot")));
        ASSERT_EQ(bool(faces), bool(renamed));
        if (renamed) {
            const auto again = readSfntFaces(*renamed);
            ASSERT_TRUE(again);
            for (const SfntFace& face : *again)
                EXPECT_EQ(face.familyNames, QStringList{QStringLiteral("Zot")});
        }
    };
    // Cut anywhere in the header, the directory and the name table, and at
    // random further on; then bytes of the directory and names changed.
    for (int n = 0; n < 2048; ++n)
        check(data.left(n));
    for (int i = 0; i < 300; ++i)
        check(data.left(random.bounded(qsizetype(data.size()))));
    for (int i = 0; i < 3000; ++i) {
        QByteArray damaged = data;
        for (int k = 0; k < 4; ++k)
            damaged[random.bounded(12 + 16 * 20)] = char(random.bounded(256));
        check(damaged);
    }
    EXPECT_FALSE(readSfntFaces(QByteArray("wOFF") + QByteArray(100, '\0')));
}

TEST(SfntNames, FamilyKeysIgnoreCaseAndBlanksAsFontconfigDoes) {
    EXPECT_EQ(familyKey(QStringLiteral("DejaVu Sans")), familyKey(QStringLiteral("dejavusans")));
    EXPECT_EQ(familyKey(QStringLiteral(" DEJAVU  SANS ")),
              familyKey(QStringLiteral("DejaVu Sans")));
    EXPECT_NE(familyKey(QStringLiteral("DejaVu Sans")),
              familyKey(QStringLiteral("DejaVu Sans Mono")));
}

} // namespace
} // namespace zot
