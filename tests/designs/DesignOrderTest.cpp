// The catalogue lists designs by name as a person sorts them, the same on
// every machine, whatever order the file system lists its folders in.
#include "designs/DesignFolders.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zot {
namespace {

using namespace Qt::StringLiterals;

TEST(DesignOrder, NamesSortAsAPersonSortsThem) {
    const QStringList sorted = {
        u"0 first"_s,  u"A"_s,        u"a"_s,    u"Apple"_s,      u"Apple 02"_s, u"apple 2"_s,
        u"apple 10"_s, u"Banana"_s,   u"Logo"_s, u"Logo 2"_s,     u"Logo 2a"_s,  u"logo 9"_s,
        u"Logo 10"_s,  u"Logo 100"_s, u"Zeta"_s, u"\u00c9mile"_s,
    };
    // Case counts only to break a tie of otherwise equal names ("A" before
    // "a", "Apple 02" before "apple 2"); accented letters go by their code
    // points, as no locale's collation takes part.
    for (qsizetype i = 0; i < sorted.size(); ++i)
        for (qsizetype j = 0; j < sorted.size(); ++j)
            EXPECT_EQ(designNameLess(sorted[i], sorted[j]), i < j)
                << sorted[i].toStdString() << " / " << sorted[j].toStdString();
}

TEST(DesignOrder, TheScanTakesTheFirstInNameOrderWhateverTheListing) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList names;
    for (int i = 1; i <= 30; ++i)
        names << QStringLiteral("Design %1").arg(i);
    names << u".hidden"_s;
    QStringList made = names;
    std::shuffle(made.begin(), made.end(), *QRandomGenerator::global());
    for (const QString& name : made) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(name));
        QFile script(dir.filePath(name + u"/script.zot"_s));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"Design 0 without a script"_s));
    const std::vector<DesignFolderEntry> scanned = scanDesignFolders(dir.path());
    ASSERT_EQ(scanned.size(), size_t(kMaxDesigns));
    for (int i = 0; i < kMaxDesigns; ++i)
        EXPECT_EQ(scanned[size_t(i)].name, names[i]);
}

} // namespace
} // namespace zot
