// The batch's fast paths (one rendering per line, several jobs) against the
// plain one (every changed field renders), on random designs and lines.
#include "batch/BatchProcessor.h"
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/TextLineReader.h"
#include "support/RandomDesign.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace Qt::StringLiterals;

namespace zot::test {
namespace {

struct Outcome {
    QStringList texts;
    std::vector<qint32> charSpaces;
    std::vector<qint32> xpos;
    QByteArray logo;
    bool operator==(const Outcome&) const = default;
};

Outcome outcomeOf(const LogoEngine& engine) {
    Outcome outcome;
    for (int i = 1; i <= engine.LabelCount(); ++i)
        outcome.texts.append(engine.labelText(i));
    for (const auto& font : engine.design().ImgFonts) {
        outcome.charSpaces.push_back(font->CharSpace);
        outcome.xpos.push_back(font->XPos);
    }
    for (const auto& font : engine.design().TtfFonts)
        outcome.xpos.push_back(font->XPos);
    outcome.logo = encodeBmp(engine.logo());
    return outcome;
}

// The plain batch: every field set on its own, each change rendering.
void plainBatch(LogoEngine& engine, const QString& batchFile, const QString& folder) {
    TextLineReader lines(batchFile);
    while (std::optional<QString> line = lines.next()) {
        const BatchLine parsed = parseBatchLine(*line, engine.LabelCount());
        for (qsizetype k = 0; k < parsed.fields.size(); ++k)
            engine.setLabelText(int(k + 1), parsed.fields[k]);
        writeBmpFile(engine.logo(), folder + u'/' + parsed.outputName);
    }
}

TEST(BatchDifferential, FastPathsWriteWhatThePlainPathWrites) {
    constexpr int kDesigns = 25;
    constexpr int kLinesPerDesign = 400; // 10,000 lines in all
    std::mt19937 random(20261208);
    int compared = 0;
    int plainRenders = 0;
    int fastRenders = 0;
    for (int d = 0; d < kDesigns; ++d) {
        SCOPED_TRACE("design " + std::to_string(d));
        QTemporaryDir program(scratchTemplate());
        ASSERT_TRUE(program.isValid());
        const QString folder = program.path() + QStringLiteral("/D/");
        RandomDesign design(folder, random);
        writeBytes(folder + "script.zot", design.make());

        HeadlessEditor plainEditor, fastEditor, threadedEditor;
        LogoEngine plain(plainEditor, program.path());
        LogoEngine fast(fastEditor, program.path());
        LogoEngine threaded(threadedEditor, program.path());
        // Designs missing a piece are batched too (their first logo is drawn
        // by the batch).
        for (LogoEngine* engine : {&plain, &fast, &threaded})
            engine->OpenDesign(QStringLiteral("D"));
        const int inputs = plain.LabelCount();

        // Lines that repeat fields often, so unchanged fields and lines occur.
        QByteArray batch;
        QStringList previous(inputs);
        for (int l = 0; l < kLinesPerDesign; ++l) {
            for (int i = 0; i < inputs; ++i) {
                if (design.chance(60))
                    previous[i] = randomText(design);
                batch += previous[i].toUtf8() + ';';
            }
            // Some names come back: the later line's file must win.
            batch += "f" + QByteArray::number(design.pick(0, kLinesPerDesign / 2)) + ".bmp\n";
        }
        const QString batchFile = program.path() + QStringLiteral("/batch.txt");
        writeBytes(batchFile, batch);

        QTemporaryDir plainOut(scratchTemplate()), fastOut(scratchTemplate()),
            threadedOut(scratchTemplate());
        plainBatch(plain, batchFile, plainOut.path());
        ASSERT_TRUE(RunBatch(fast, batchFile, fastOut.path(), {}));
        BatchOptions two;
        two.jobs = 2;
        ASSERT_TRUE(RunBatch(threaded, batchFile, threadedOut.path(), two));

        const QStringList files = QDir(plainOut.path()).entryList(QDir::Files);
        EXPECT_EQ(QDir(fastOut.path()).entryList(QDir::Files), files);
        EXPECT_EQ(QDir(threadedOut.path()).entryList(QDir::Files), files);
        for (const QString& name : files) {
            const QByteArray expected = readAll(plainOut.filePath(name));
            EXPECT_EQ(readAll(fastOut.filePath(name)), expected) << name.toStdString();
            EXPECT_EQ(readAll(threadedOut.filePath(name)), expected) << name.toStdString();
            ++compared;
        }
        EXPECT_TRUE(outcomeOf(fast) == outcomeOf(plain));
        EXPECT_TRUE(outcomeOf(threaded) == outcomeOf(plain));
        plainRenders += plain.renderCount();
        fastRenders += fast.renderCount();
    }
    EXPECT_GT(compared, kDesigns * kLinesPerDesign / 4);
    EXPECT_LT(fastRenders, plainRenders);
}

// The sample designs that ship their own fonts, batched on several jobs:
// each job draws with fonts made on its own thread (one made on the planning
// thread crashed in FreeType), and writes what one job writes.
TEST(BatchDifferential, DesignsWithTheirOwnFontsBatchOnSeveralJobs) {
    // The sample designs are copied next to the test programs.
    const QString samples = QCoreApplication::applicationDirPath();
    const struct {
        QString design;
        QByteArray fields; // all but the file name
    } cases[] = {
        {u"Gold"_s, "ACME;Fine goods since %1"},
        {u"World Greetings"_s, "Hello %1;\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7 %1;"
                               "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d %1;\xe4\xbd\xa0\xe5\xa5\xbd %1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.design.toStdString());
        QTemporaryDir scratch(scratchTemplate());
        ASSERT_TRUE(scratch.isValid());
        QByteArray batch;
        for (int l = 0; l < 120; ++l)
            batch += QByteArray(c.fields).replace("%1", QByteArray::number(l)) + ";f" +
                     QByteArray::number(l) + ".bmp\n";
        const QString batchFile = scratch.filePath(u"batch.txt"_s);
        writeBytes(batchFile, batch);
        QStringList outputs;
        for (int jobs : {1, 2, 3}) {
            HeadlessEditor editor;
            LogoEngine engine(editor, samples);
            engine.OpenDesign(c.design);
            ASSERT_TRUE(engine.design().TtfFontCount() > 0);
            const QString out = scratch.filePath(QString::number(jobs));
            ASSERT_TRUE(QDir().mkpath(out));
            BatchOptions options;
            options.jobs = jobs;
            ASSERT_TRUE(RunBatch(engine, batchFile, out, options));
            outputs.append(out);
        }
        for (int l = 0; l < 120; ++l) {
            const QString name = u"/f%1.bmp"_s.arg(l);
            const QByteArray one = readAll(outputs[0] + name);
            ASSERT_FALSE(one.isEmpty());
            EXPECT_EQ(readAll(outputs[1] + name), one) << name.toStdString();
            EXPECT_EQ(readAll(outputs[2] + name), one) << name.toStdString();
        }
    }
}

// The planning runs ahead of the files; a batch that stops half way must
// still leave the engine at the line it stopped at, fonts included, so that
// the next text typed draws the same logo.
TEST(BatchDifferential, StopsLeaveTheEngineAtTheLineTheyEndAt) {
    constexpr int kDesigns = 16;
    constexpr int kLines = 200;
    std::mt19937 random(20261209);
    enum class Stop { UncreatableFile, NameLeavingFolder, MissingSemicolon, Cancel };
    for (int d = 0; d < kDesigns; ++d) {
        const Stop stop = Stop(d % 4);
        SCOPED_TRACE("design " + std::to_string(d) + ", stop " + std::to_string(int(stop)));
        QTemporaryDir program(scratchTemplate());
        ASSERT_TRUE(program.isValid());
        const QString folder = program.path() + QStringLiteral("/D/");
        RandomDesign design(folder, random);
        writeBytes(folder + "script.zot", design.make());
        HeadlessEditor probeEditor;
        LogoEngine probe(probeEditor, program.path());
        probe.OpenDesign(QStringLiteral("D"));
        const int inputs = probe.LabelCount();
        const int stopLine = design.pick(2, kLines / 2);

        QByteArray batch;
        for (int l = 1; l <= kLines; ++l) {
            QByteArray fields;
            for (int i = 0; i < inputs; ++i)
                fields += (design.chance(50) ? randomText(design).toUtf8() : QByteArray("x")) + ';';
            QByteArray name = "f" + QByteArray::number(l) + ".bmp";
            if (l == stopLine && stop == Stop::UncreatableFile)
                name = "missing/" + name;
            else if (l == stopLine && stop == Stop::NameLeavingFolder)
                name = "../" + name;
            else if (l == stopLine && stop == Stop::MissingSemicolon && inputs > 0)
                fields.chop(1);
            batch += fields + name + '\n';
        }
        const QString batchFile = program.path() + QStringLiteral("/batch.txt");
        writeBytes(batchFile, batch);

        struct Run {
            QString message;
            QStringList files;
            Outcome outcome;
            Outcome afterTyping;
        };
        // Cancelled once cancelAt lines are done (0: never).
        const auto run = [&](int jobs, qint64 cancelAt, const QString& file) {
            HeadlessEditor editor;
            LogoEngine engine(editor, program.path());
            engine.OpenDesign(QStringLiteral("D"));
            QTemporaryDir out(scratchTemplate());
            BatchOptions options;
            options.jobs = jobs;
            if (cancelAt > 0)
                options.progress = [cancelAt](qint64 done, qint64) { return done < cancelAt; };
            Run result;
            try {
                RunBatch(engine, file, out.path(), options);
            } catch (const Error& error) {
                result.message =
                    QString(error.message()).replace(out.path(), QStringLiteral("OUT"));
            }
            result.files = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
            for (const QString& name : result.files)
                EXPECT_EQ(readAll(out.filePath(name)).left(2), "BM") << name.toStdString();
            result.outcome = outcomeOf(engine);
            if (inputs > 0)
                engine.setLabelText(1, engine.labelText(1) + QStringLiteral("q"));
            result.afterTyping = outcomeOf(engine);
            return result;
        };
        // A batch cancelled after some lines ends as the batch of only those.
        const auto firstLines = [&](qsizetype count) {
            const QString file = program.path() + QStringLiteral("/first.txt");
            QList<QByteArray> kept = batch.split('\n').mid(0, count);
            writeBytes(file, kept.join('\n') + '\n');
            return run(1, 0, file);
        };
        const Run one = run(1, 0, batchFile);
        const qint64 cancelAt = stop == Stop::Cancel ? stopLine : 0;
        for (int jobs : {1, 2, 4}) {
            if (jobs == 1 && stop != Stop::Cancel)
                continue;
            SCOPED_TRACE(std::to_string(jobs) + " jobs");
            const Run several = run(jobs, cancelAt, batchFile);
            // Lines may be finished while a cancel is on its way.
            const Run expected = stop == Stop::Cancel ? firstLines(several.files.size()) : one;
            // (A short batch may even be through before it is heard of.)
            if (stop == Stop::Cancel) {
                EXPECT_GE(several.files.size(), stopLine);
            }
            EXPECT_EQ(several.message, expected.message);
            EXPECT_EQ(several.files, expected.files);
            EXPECT_TRUE(several.outcome == expected.outcome);
            EXPECT_TRUE(several.afterTyping == expected.afterTyping);
        }
    }
}

// A design whose first image font grows past the largest picture allowed
// when its text gets long: the failing rendering is the one in between.
class FailingBatch : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = program.path() + QStringLiteral("/D/");
        QDir().mkpath(folder + "wide");
        writeBmpFile(Bitmap::create(20, 10, 24), folder + "bg.bmp");
        writeBmpFile(Bitmap::create(20, 10, 24), folder + "c.bmp");
        writeBmpFile(Bitmap::create(9000, 2, 24), folder + "wide/w.bmp");
        writeBmpFile(Bitmap::create(2, 2, 24), folder + "wide/x.bmp");
        writeBytes(folder + "script.zot", "backgroundImage=bg.bmp\nbackgroundExtraCenter=c.bmp\n"
                                          "backgroundExtraExpandFrom=center\n"
                                          "imgFont\nname=wide\ndefault=x\nimgFontEnd\n"
                                          "imgFont\nname=wide\ndefault=x\nimgFontEnd\n");
        writeBytes(program.path() + "/batch.txt", "x;x;one.bmp\nwwwww;w;two.bmp\nx;x;three.bmp\n");
    }

    // Runs the batch on a fresh engine; the error it ended with.
    QString run(const std::function<void(LogoEngine&, const QString&, const QString&)>& batch,
                Outcome& outcome) {
        HeadlessEditor editor;
        LogoEngine engine(editor, program.path());
        engine.OpenDesign(QStringLiteral("D"));
        QTemporaryDir out;
        QString message;
        try {
            batch(engine, program.path() + "/batch.txt", out.path());
        } catch (const Error& error) {
            message = error.message();
        }
        EXPECT_TRUE(QFile::exists(out.filePath("one.bmp")));
        EXPECT_FALSE(QFile::exists(out.filePath("two.bmp")));
        EXPECT_FALSE(QFile::exists(out.filePath("three.bmp")));
        outcome = outcomeOf(engine);
        return message;
    }

    QTemporaryDir program;
    QString folder;
};

TEST_F(FailingBatch, StopsWhereTheFieldsOneByOneWould) {
    Outcome plain, fast, threaded;
    const QString expected = run(plainBatch, plain);
    EXPECT_TRUE(expected.startsWith(QStringLiteral("Picture too large"))) << expected.toStdString();
    EXPECT_EQ(plain.texts, (QStringList{"wwwww", "x"})); // the second field was never set
    EXPECT_EQ(
        run([](LogoEngine& e, const QString& b, const QString& o) { RunBatch(e, b, o, {}); }, fast),
        expected);
    EXPECT_TRUE(fast == plain);
    EXPECT_EQ(run(
                  [](LogoEngine& e, const QString& b, const QString& o) {
                      BatchOptions two;
                      two.jobs = 2;
                      RunBatch(e, b, o, two);
                  },
                  threaded),
              expected);
    EXPECT_EQ(threaded.texts, plain.texts);
}

} // namespace
} // namespace zot::test
