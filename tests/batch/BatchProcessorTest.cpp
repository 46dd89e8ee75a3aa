#include "batch/BatchProcessor.h"
#include "platform/TextLineReader.h"
#include "support/DesignFixture.h"

#include <QThread>
#include <stdexcept>

namespace zot::test {
namespace {

// A design with two image-font lines: each character image is a solid
// colour, so a written logo shows which texts it was made from.
class BatchTest : public DesignFixture {
  protected:
    void SetUp() override {
        DesignFixture::SetUp();
        writeSolid("bg.bmp", 40, 20, kWhite);
        writeSolid("chars/a.bmp", 4, 10, kRed);
        writeSolid("chars/z.bmp", 4, 10, kGreen);
        writeSolid("chars/t.bmp", 4, 10, kBlue);
        writeSolid("chars/ .bmp", 2, 10, kYellow);
        writeScript("backgroundImage=bg.bmp\n"
                    "imgFont\nname=chars\ndefault=\nimgFontEnd\n"
                    "imgFont\nname=chars\nypos=10\ndefault=\nimgFontEnd\n");
        ASSERT_FALSE(open());
        ASSERT_TRUE(outDir.isValid());
        out = outDir.path() + u'/';
    }

    void writeBatch(const QByteArray& content) {
        batchPath = dir.path() + QStringLiteral("/batch.csv");
        QFile file(batchPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // The error box's text, or nothing; the batch's own result in finished.
    std::optional<QString> run() {
        try {
            finished = RunBatch(*engine, batchPath, outDir.path());
        } catch (const Error& e) {
            return e.message();
        }
        return std::nullopt;
    }

    // Colours along row y of a written logo, one per 4-pixel character cell.
    QString cells(const QString& file, int y) {
        auto bmp = decodeBmp([&] {
            QFile in(out + file);
            return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
        }());
        if (!bmp)
            return QStringLiteral("<unreadable>");
        QString s;
        for (int x = 0; x < bmp->width(); x += 4) {
            const QRgb c = bmp->pixel(x, y);
            s += c == kRed ? u'a' : c == kGreen ? u'z' : c == kBlue ? u't' : u'.';
        }
        return s;
    }

    QTemporaryDir outDir;
    QString out;
    QString batchPath;
    bool finished = false;
};

TEST_F(BatchTest, EachLineFillsTheInputsAndWritesItsFile) {
    writeBatch("aza;ttt;acme.bmp\nzz;;zeta.bmp\n");
    EXPECT_FALSE(run());
    EXPECT_TRUE(finished);
    EXPECT_EQ(cells("acme.bmp", 0), QStringLiteral("aza......."));
    EXPECT_EQ(cells("acme.bmp", 15), QStringLiteral("ttt......."));
    EXPECT_EQ(cells("zeta.bmp", 0), QStringLiteral("zz........"));
    EXPECT_EQ(cells("zeta.bmp", 15), QStringLiteral(".........."));
    EXPECT_EQ(editor.labelText(1), QStringLiteral("zz"));
    EXPECT_EQ(editor.labelText(2), QString());
    EXPECT_TRUE(editor.errors().isEmpty());
}

TEST_F(BatchTest, RestAfterTheOutputNameIsIgnored) {
    writeBatch("a;t;one.bmp;\na;t;two.bmp;x;y\n");
    EXPECT_FALSE(run());
    EXPECT_EQ(cells("one.bmp", 0), QStringLiteral("a........."));
    EXPECT_EQ(cells("two.bmp", 15), QStringLiteral("t........."));
    EXPECT_FALSE(QFile::exists(out + "x"));
}

TEST_F(BatchTest, FieldsKeepTheirSpaces) {
    writeBatch(" a ; t ;sp.bmp");
    EXPECT_FALSE(run());
    EXPECT_EQ(editor.labelText(1), QStringLiteral(" a "));
    EXPECT_EQ(editor.labelText(2), QStringLiteral(" t "));
    EXPECT_TRUE(QFile::exists(out + "sp.bmp"));
}

TEST_F(BatchTest, MissingSeparatorStopsWithTheRestOfTheLine) {
    writeBatch("a;t;1.bmp\nz;z;2.bmp\nzz;Tools\na;a;4.bmp\n");
    EXPECT_FALSE(run());
    EXPECT_FALSE(finished);
    EXPECT_TRUE(QFile::exists(out + "1.bmp"));
    EXPECT_TRUE(QFile::exists(out + "2.bmp"));
    EXPECT_FALSE(QFile::exists(out + "4.bmp"));
    EXPECT_EQ(editor.errors(), QStringList{"Missing ; at line 3 : Tools"});
    EXPECT_TRUE(editor.errorsVisible());
    EXPECT_EQ(editor.labelText(1), QStringLiteral("zz"));
    EXPECT_EQ(editor.labelText(2), QStringLiteral("z")); // kept from line 2
}

TEST_F(BatchTest, WholeLineIsQuotedWhenTheFirstFieldHasNoSeparator) {
    writeBatch("ACME\n");
    EXPECT_FALSE(run());
    EXPECT_EQ(editor.errors(), QStringList{"Missing ; at line 1 : ACME"});
}

TEST_F(BatchTest, EmptyOutputNameCannotBeCreated) {
    writeBatch("a;t;\nz;z;later.bmp\n");
    EXPECT_EQ(run(), QStringLiteral("Cannot create file ") + out);
    EXPECT_FALSE(QFile::exists(out + "later.bmp"));
    EXPECT_EQ(editor.labelText(1), QStringLiteral("a"));
}

TEST_F(BatchTest, OutputNamesMayPointIntoExistingSubFolders) {
    QDir().mkpath(out + "sub");
    QDir().mkpath(out + "Other");
    writeBatch("a;t;sub\\x.png\na;t;other\\y.bmp\n");
    // Names are used as written: "other" is not "Other".
    EXPECT_EQ(run(), QStringLiteral("Cannot create file ") + out + QStringLiteral("other/y.bmp"));
    // Written as BMP whatever the extension.
    QFile written(out + "sub/x.png");
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().startsWith("BM"));
    EXPECT_TRUE(QDir(out + "Other").isEmpty());
}

TEST_F(BatchTest, OutputNamesAreNeverCaseFolded) {
    QFile other(out + "acme.bmp");
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("keep me");
    other.close();
    writeBatch("a;t;ACME.bmp\n");
    EXPECT_FALSE(run());
    EXPECT_EQ(cells("ACME.bmp", 0), QStringLiteral("a........."));
    QFile kept(out + "acme.bmp");
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
}

TEST_F(BatchTest, HeaderLikeFirstLineIsALogoToo) {
    writeBatch("Name;Slogan;File\r\na;t;b.bmp\r\n");
    EXPECT_FALSE(run());
    EXPECT_TRUE(QFile::exists(out + "File"));
    EXPECT_TRUE(QFile::exists(out + "b.bmp"));
}

TEST_F(BatchTest, EmptyFileDoesNothing) {
    writeBatch("");
    EXPECT_FALSE(run());
    EXPECT_TRUE(finished);
    EXPECT_TRUE(editor.errors().isEmpty());
    EXPECT_EQ(engine->renderCount(), 1);
}

TEST_F(BatchTest, TwoLineBreaksAtTheEndMakeAnEmptyLastLine) {
    writeBatch("a;t;1.bmp\n\n");
    EXPECT_FALSE(run());
    EXPECT_TRUE(QFile::exists(out + "1.bmp"));
    EXPECT_EQ(editor.errors(), QStringList{"Missing ; at line 2 : "});
}

TEST_F(BatchTest, UnreadableBatchFileIsAnErrorBox) {
    batchPath = dir.path() + QStringLiteral("/absent.csv");
    EXPECT_EQ(run(), QStringLiteral("Cannot open file ") + batchPath);
}

TEST_F(BatchTest, ALineRendersOnceWhenAnyFieldChangesAndNotAtAllOtherwise) {
    writeBatch("a;t;1.bmp\na;t;2.bmp\na;z;3.bmp\n");
    const int before = engine->renderCount();
    EXPECT_FALSE(run());
    EXPECT_EQ(engine->renderCount() - before, 2);
    EXPECT_EQ(cells("2.bmp", 15), QStringLiteral("t........."));
    EXPECT_EQ(cells("3.bmp", 15), QStringLiteral("z........."));
}

TEST_F(BatchTest, ExistingOutputFilesAreReplaced) {
    QFile old(out + "same.bmp");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    writeBatch("a;t;same.bmp\n");
    EXPECT_FALSE(run());
    EXPECT_EQ(cells("same.bmp", 0), QStringLiteral("a........."));
    EXPECT_LT(QFileInfo(out + "same.bmp").size(), 100000);
}

TEST_F(BatchTest, AFailingProgressDisplayEndsTheBatchAtItsLineOnAnyNumberOfJobs) {
    QByteArray lines;
    constexpr int kLines = 2000;
    for (int i = 1; i <= kLines; ++i)
        lines += "a;t;f" + QByteArray::number(i) + ".bmp\n";
    writeBatch(lines);
    for (const int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        BatchOptions options;
        options.jobs = jobs;
        // Always on this thread; a call may count a few lines at once.
        const Qt::HANDLE caller = QThread::currentThreadId();
        options.progress = [caller](qint64 done, qint64) {
            EXPECT_EQ(QThread::currentThreadId(), caller);
            if (done >= 40)
                throw std::runtime_error("display gone");
            return true;
        };
        EXPECT_THROW(RunBatch(*engine, batchPath, outDir.path(), options), std::runtime_error);
        // The files of the lines done when it failed, and no other.
        const qsizetype made = QDir(outDir.path()).entryList(QDir::Files).size();
        EXPECT_GE(made, 40);
        EXPECT_LT(made, kLines);
        for (int i = 1; i <= kLines; ++i)
            EXPECT_EQ(QFile::exists(out + QStringLiteral("f%1.bmp").arg(i)), i <= made) << i;
        // The engine shows the last line written.
        EXPECT_EQ(engine->labelText(1), QStringLiteral("a"));
        QFile last(out + QStringLiteral("f%1.bmp").arg(made));
        ASSERT_TRUE(last.open(QIODevice::ReadOnly));
        EXPECT_EQ(last.readAll(), encodeBmp(engine->logo()));
        for (const QString& name : QDir(outDir.path()).entryList(QDir::Files))
            QFile::remove(out + name);
    }
}

TEST(TextLineReader, StreamsLinesWithTheFileRules) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/t.txt";
    auto linesOf = [&](const QByteArray& bytes) {
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        f.close();
        TextLineReader reader(path);
        QStringList lines;
        while (auto line = reader.next())
            lines << *line;
        EXPECT_EQ(reader.lineCount(), lines.size()) << bytes.toStdString();
        return lines;
    };
    EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\n"), QStringList{"a"});
    EXPECT_EQ(linesOf("a\n\n"), (QStringList{"a", ""}));
    EXPECT_EQ(linesOf("\r\n"), QStringList{""});
    EXPECT_EQ(linesOf(""), QStringList{});
    EXPECT_EQ(linesOf("caf\xc3\xa9\n"), QStringList{QStringLiteral(u"café")});
    // One invalid byte anywhere makes the whole file Windows-1252.
    EXPECT_EQ(linesOf("caf\xc3\xa9\nna\xefve\n"),
              (QStringList{QStringLiteral(u"cafÃ©"), QStringLiteral(u"naïve")}));
    // Lines and CRLF pairs across the reader's 64 KiB chunks.
    QByteArray big(65535, 'x');
    big += "\r\nyy\r";
    big += QByteArray(70000, 'z');
    const QStringList lines = linesOf(big);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].size(), 65535);
    EXPECT_EQ(lines[1], QStringLiteral("yy"));
    EXPECT_EQ(lines[2].size(), 70000);
}

} // namespace
} // namespace zot::test
