// Parts of a batch (--shard) and reruns (--skip-existing) against one run of
// the whole batch, on random designs: image fonts aligned fill and character
// mode carry state from line to line, so any part that skips planning a line
// shows here.
#include "batch/BatchShard.h"
#include "batch/BatchProcessor.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/TextLineReader.h"
#include "support/RandomDesign.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>

namespace zot::test {
namespace {

struct ShardCase {
    const char* text;
    std::optional<BatchShard> parsed;
};

class ShardArgument : public ::testing::TestWithParam<ShardCase> {};

TEST_P(ShardArgument, IsReadAsKOfN) {
    const std::optional<BatchShard> got = parseBatchShard(QString::fromUtf8(GetParam().text));
    ASSERT_EQ(got.has_value(), GetParam().parsed.has_value());
    if (got) {
        EXPECT_EQ(got->index, GetParam().parsed->index);
        EXPECT_EQ(got->count, GetParam().parsed->count);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShardArgument,
    ::testing::Values(ShardCase{"1/1", BatchShard{1, 1}}, ShardCase{"3/8", BatchShard{3, 8}},
                      ShardCase{"8/8", BatchShard{8, 8}}, ShardCase{"007/10", BatchShard{7, 10}},
                      ShardCase{"0/3", {}}, ShardCase{"4/3", {}}, ShardCase{"-1/3", {}},
                      ShardCase{"+1/3", {}}, ShardCase{"1/0", {}}, ShardCase{"1", {}},
                      ShardCase{"1/", {}}, ShardCase{"/3", {}}, ShardCase{" 1/3", {}},
                      ShardCase{"1/3 ", {}}, ShardCase{"1/2/3", {}}, ShardCase{"1/99999999999", {}},
                      ShardCase{"a/b", {}}, ShardCase{"", {}}),
    [](const ::testing::TestParamInfo<ShardCase>& param) {
        std::string name = "case" + std::to_string(param.index) + "_";
        for (const char* c = param.param.text; *c; ++c)
            name += std::isalnum(uchar(*c)) ? *c : '_';
        return name;
    });

// The rule is documented and parts may run different versions: it must not
// drift. FNV-1a 64 of "" and "a" are the published test values.
TEST(ShardRule, HashIsFnv1aOfTheCleanedNameAndEverySpellingLandsInOnePart) {
    EXPECT_EQ(outputNameHash(QString()), 0xcbf29ce484222325ULL);
    EXPECT_EQ(outputNameHash(QStringLiteral("a")), 0xaf63dc4c8601ec8cULL);
    const quint64 h = outputNameHash(QStringLiteral("sub/logo.bmp"));
    for (const char* spelling : {"sub\\logo.bmp", "sub//logo.bmp", "./sub/logo.bmp",
                                 "sub/./logo.bmp", "sub/x/../logo.bmp"})
        EXPECT_EQ(outputNameHash(QString::fromUtf8(spelling)), h) << spelling;
    EXPECT_NE(outputNameHash(QStringLiteral("Logo.bmp")),
              outputNameHash(QStringLiteral("logo.bmp")));
    // Every line in exactly one part.
    for (int n : {1, 2, 3, 7}) {
        for (int i = 0; i < 50; ++i) {
            const QString name = QStringLiteral("f%1.bmp").arg(i);
            int owners = 0;
            for (int k = 1; k <= n; ++k)
                owners += BatchShard{k, n}.owns(name) ? 1 : 0;
            EXPECT_EQ(owners, 1);
        }
    }
}

// How a batch ended: its result, the error box's text and the error list.
struct Ending {
    std::optional<BatchEnd> end;
    QString thrown;
    QStringList errors;
    bool operator==(const Ending&) const = default;
};

Ending runOn(const QString& program, const QString& batchFile, const QString& out,
             const BatchOptions& options) {
    HeadlessEditor editor;
    LogoEngine engine(editor, program);
    engine.OpenDesign(QStringLiteral("D"));
    const qsizetype before = editor.errors().size();
    TextLineReader lines(batchFile);
    Ending ending;
    try {
        ending.end = RunBatch(engine, lines, out, options);
    } catch (const Error& error) {
        // The folder differs between the runs compared.
        ending.thrown = QString(error.message()).replace(out, QStringLiteral("OUT"));
    }
    ending.errors = editor.errors().mid(before);
    return ending;
}

std::map<QString, QByteArray> filesOf(const QString& folder) {
    std::map<QString, QByteArray> files;
    // Hidden files too: no temporary file may be left behind.
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name] = readAll(folder + u'/' + name);
    return files;
}

std::string describe(const Ending& e) {
    return "end " + std::to_string(e.end ? int(*e.end) : -1) + " thrown '" +
           e.thrown.toStdString() + "' errors '" + e.errors.join(u'|').toStdString() + "'";
}

// A random design and batch in a temporary program folder.
struct RandomBatch {
    QTemporaryDir program{scratchTemplate()};
    QString batchFile;
    int lines = 0;

    // stop: what ends the batch early, if anything: 0 nothing, 1 a missing
    // ";", 2 a name that climbs out of the folder.
    RandomBatch(std::mt19937& random, int lineCount, int stop, bool uniqueNames) {
        const QString folder = program.path() + QStringLiteral("/D/");
        RandomDesign design(folder, random);
        writeBytes(folder + "script.zot", design.make());
        HeadlessEditor editor;
        LogoEngine engine(editor, program.path());
        engine.OpenDesign(QStringLiteral("D"));
        const int inputs = engine.LabelCount();
        QByteArray batch;
        QStringList previous(inputs);
        const int stopAt = stop ? design.pick(lineCount / 2, lineCount - 1) : -1;
        for (int l = 0; l < lineCount; ++l) {
            if (l == stopAt && stop == 1 && inputs > 0) {
                batch += "short line\n";
                continue;
            }
            for (int i = 0; i < inputs; ++i) {
                if (design.chance(60))
                    previous[i] = randomText(design);
                batch += previous[i].toUtf8() + ';';
            }
            if (l == stopAt)
                batch += "../out.bmp\n";
            else if (uniqueNames)
                batch += "f" + QByteArray::number(l) + ".bmp\n";
            else
                batch += "f" + QByteArray::number(design.pick(0, lineCount / 2)) + ".bmp\n";
        }
        lines = lineCount;
        batchFile = program.path() + QStringLiteral("/batch.txt");
        writeBytes(batchFile, batch);
    }
};

TEST(BatchShards, TogetherWriteWhatOneRunWritesAndStopWhereItStops) {
    std::mt19937 random(1708);
    constexpr int kDesigns = 18;
    int compared = 0;
    for (int d = 0; d < kDesigns; ++d) {
        SCOPED_TRACE("design " + std::to_string(d));
        RandomBatch batch(random, 240, d % 3, false);
        ASSERT_TRUE(batch.program.isValid());
        QTemporaryDir whole(scratchTemplate()), parts(scratchTemplate());
        const Ending one = runOn(batch.program.path(), batch.batchFile, whole.path(), {});
        const int n = 2 + d % 4;
        for (int k = 1; k <= n; ++k) {
            BatchOptions options;
            options.shard = {k, n};
            options.jobs = 1 + (k + d) % 2;
            const Ending part = runOn(batch.program.path(), batch.batchFile, parts.path(), options);
            EXPECT_TRUE(part == one) << "part " << k << "/" << n << ": " << describe(part)
                                     << " one run: " << describe(one);
        }
        const auto expected = filesOf(whole.path());
        const auto got = filesOf(parts.path());
        EXPECT_EQ(got.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            const auto it = got.find(name);
            ASSERT_NE(it, got.end()) << name.toStdString();
            EXPECT_EQ(it->second, bytes) << name.toStdString();
            ++compared;
        }
    }
    EXPECT_GT(compared, kDesigns * 40);
}

TEST(BatchShards, AFailedWriteStopsOnlyThePartThatOwnsTheLine) {
    std::mt19937 random(99);
    RandomBatch batch(random, 60, 0, true);
    // Line 30 names a file in a folder that does not exist.
    QByteArray text = readAll(batch.batchFile);
    QList<QByteArray> lines = text.split('\n');
    lines[29].replace("f29.bmp", "nowhere/f29.bmp");
    writeBytes(batch.batchFile, lines.join('\n'));
    const int n = 3;
    int owner = 0;
    for (int k = 1; k <= n; ++k)
        owner = BatchShard{k, n}.owns(QStringLiteral("nowhere/f29.bmp")) ? k : owner;
    QTemporaryDir out(scratchTemplate());
    for (int k = 1; k <= n; ++k) {
        for (int jobs : {1, 2}) {
            BatchOptions options;
            options.shard = {k, n};
            options.jobs = jobs;
            const Ending part = runOn(batch.program.path(), batch.batchFile, out.path(), options);
            if (k == owner) {
                EXPECT_EQ(part.thrown, QStringLiteral("Cannot create file OUT/nowhere/f29.bmp"));
            } else {
                EXPECT_EQ(part.end, BatchEnd::Finished) << describe(part);
            }
        }
    }
    // Every other part wrote its lines after line 30 too.
    for (int l = 30; l < 60; ++l) {
        const QString name = QStringLiteral("f%1.bmp").arg(l);
        const BatchShard owning{owner, n};
        EXPECT_EQ(QFile::exists(out.path() + u'/' + name), !owning.owns(name))
            << name.toStdString();
    }
}

// A batch stopped part-way (by a write that fails, as on a full disk, or
// cancelled) and run again with skipExisting ends with the files of one
// uninterrupted run; a file there before the batch is left as it was.
TEST(BatchShards, RerunSkippingExistingFilesCompletesAStoppedBatch) {
    std::mt19937 random(4242);
    for (int d = 0; d < 8; ++d) {
        SCOPED_TRACE("design " + std::to_string(d));
        RandomBatch batch(random, 200, 0, true);
        const bool cancel = d % 2 == 1;
        const int stopAt = 40 + 13 * d;
        // Two lines after the stop name one file: the later one wins, as in
        // one run, although the earlier one made the file exist.
        QByteArray text = readAll(batch.batchFile);
        text.replace("f170.bmp", "twice.bmp");
        text.replace("f190.bmp", "twice.bmp");
        // A write that fails until its folder is made.
        const QByteArray stopName = "f" + QByteArray::number(stopAt) + ".bmp\n";
        if (!cancel)
            text.replace(stopName, "later/" + stopName);
        writeBytes(batch.batchFile, text);
        QTemporaryDir whole(scratchTemplate()), resumed(scratchTemplate());
        QDir(whole.path()).mkdir(QStringLiteral("later"));
        runOn(batch.program.path(), batch.batchFile, whole.path(), {});

        BatchOptions stopping;
        stopping.jobs = 1 + (d / 2) % 2;
        if (cancel)
            stopping.progress = [stopAt](qint64 done, qint64) { return done < stopAt; };
        const Ending stopped =
            runOn(batch.program.path(), batch.batchFile, resumed.path(), stopping);
        const auto made = filesOf(resumed.path());
        if (cancel) {
            EXPECT_EQ(stopped.end, BatchEnd::Cancelled);
            // More lines may be finished before the cancel is heard of.
            EXPECT_GE(made.size(), size_t(stopAt));
        } else {
            EXPECT_FALSE(stopped.thrown.isEmpty());
            EXPECT_EQ(made.size(), size_t(stopAt));
            QDir(resumed.path()).mkdir(QStringLiteral("later"));
        }
        // A file the batch did not make, which the rerun must not touch.
        const QByteArray decoy = "not a logo";
        writeBytes(resumed.path() + QStringLiteral("/f150.bmp"), decoy);

        BatchOptions rerun;
        rerun.skipExisting = true;
        rerun.jobs = 1 + d % 3;
        std::vector<qint64> counted;
        rerun.progress = [&counted](qint64 done, qint64) {
            counted.push_back(done);
            return true;
        };
        const Ending completed =
            runOn(batch.program.path(), batch.batchFile, resumed.path(), rerun);
        EXPECT_EQ(completed.end, BatchEnd::Finished);
        // Every line is counted, skipped or not (a call may count a few).
        ASSERT_FALSE(counted.empty());
        EXPECT_TRUE(std::is_sorted(counted.begin(), counted.end()));
        EXPECT_EQ(std::adjacent_find(counted.begin(), counted.end()), counted.end());
        EXPECT_EQ(counted.back(), batch.lines);

        auto expected = filesOf(whole.path());
        expected[QStringLiteral("f150.bmp")] = decoy;
        // A cancel heard late may have let the first of the two lines make
        // the file, which then was there before the rerun.
        if (const auto early = made.find(QStringLiteral("twice.bmp")); early != made.end())
            expected[early->first] = early->second;
        EXPECT_TRUE(filesOf(resumed.path()) == expected);
        EXPECT_EQ(readAll(resumed.path() + QStringLiteral("/later/") + stopName.chopped(1)),
                  readAll(whole.path() + QStringLiteral("/later/") + stopName.chopped(1)));
    }
}

} // namespace
} // namespace zot::test
