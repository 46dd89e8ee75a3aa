// The batch's fast paths (one rendering per line, several jobs) against the
// plain one (every changed field renders), on random designs and lines.
#include "batch/BatchProcessor.h"
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"
#include "platform/TextLineReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace zot::test {
namespace {

// Thousands of small files: in memory where the machine has a RAM folder,
// so the run is not bound by the disk.
QString scratchTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? QStringLiteral("/dev/shm/zot-test-XXXXXX")
                                           : QDir::tempPath() + QStringLiteral("/zot-test-XXXXXX");
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class RandomDesign {
  public:
    RandomDesign(const QString& folder, std::mt19937& random) : folder_(folder), random_(random) {}

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    void picture(const QString& name, int width, int height) {
        const int bpp = chance(30) ? 8 : 24;
        Bitmap bitmap = Bitmap::create(
            width, height, bpp,
            bpp == 8 ? QList<QRgb>{0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00, 0xff0000ff}
                     : QList<QRgb>{});
        const QRgb colours[] = {0xff000000, 0xffffffff, 0xffff0000, 0xff00ff00, 0xff0000ff};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                bitmap.setPixel(x, y, colours[pick(0, 4)]);
        QDir().mkpath(QFileInfo(folder_ + name).absolutePath());
        writeBmpFile(bitmap, folder_ + name);
    }

    // A script with both font kinds, fill, centring and one of the modes.
    QByteArray make() {
        QByteArray script;
        picture("bg.bmp", pick(10, 50), pick(8, 24));
        script += "backgroundImage=bg.bmp\n";
        static const char* const modes[] = {nullptr, "center", "leftright",
                                            "left",  "right",  "character"};
        if (const char* mode = modes[pick(0, 5)])
            script += QByteArray("backgroundExtraExpandFrom=") + mode + "\n";
        for (const char* piece : {"Left", "Center", "Right"}) {
            if (chance(80)) {
                const QByteArray name = QByteArray(piece).toLower() + ".bmp";
                picture(QString::fromLatin1(name), pick(1, 12), pick(4, 24));
                script += QByteArray("backgroundExtra") + piece + "=" + name + "\n";
            }
        }
        script += "backgroundExtraMarge=" + QByteArray::number(pick(-4, 8)) + "\n";
        const int fonts = pick(1, 3);
        for (int f = 0; f < fonts; ++f)
            script += chance(60) ? imageFont(f) : trueTypeFont();
        return script;
    }

  private:
    QByteArray imageFont(int f) {
        const QString chars = QStringLiteral("chars%1/").arg(f);
        for (const char* c : {"a", "b", "c", " "}) {
            if (chance(85))
                picture(chars + QString::fromLatin1(c) + ".bmp", pick(0, 6), pick(3, 10));
        }
        QByteArray section = "imgFont\nname=chars" + QByteArray::number(f) + "\n";
        static const char* const aligns[] = {"", "center", "left", "right", "fill", "fill"};
        const QByteArray align = aligns[pick(0, 5)];
        if (!align.isEmpty())
            section += "align=" + align + "\n";
        if (align == "fill" || chance(30))
            section += "width=" + QByteArray::number(pick(0, 40)) + "\n";
        section += "charspace=" + QByteArray::number(pick(-2, 4)) + "\n";
        section += "space=" + QByteArray::number(pick(0, 3)) + "\n";
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-5, 20)) + "\n";
        section += "ypos=" + QByteArray::number(pick(-2, 10)) + "\n";
        if (chance(50))
            section += "transparent\n";
        section += "default=ab\nimgFontEnd\n";
        return section;
    }

    QByteArray trueTypeFont() {
        QByteArray section =
            "ttfFont\nname=DejaVu Sans\nsize=" + QByteArray::number(pick(5, 9)) + "\n";
        static const char* const aligns[] = {"left", "center", "right"};
        section += QByteArray("align=") + aligns[pick(0, 2)] + "\n";
        if (chance(30))
            section += "spaced\n";
        section += chance(40) ? QByteArray("xpos=center\n")
                              : "xpos=" + QByteArray::number(pick(-5, 30)) + "\n";
        section += "ypos=" + QByteArray::number(pick(-3, 8)) +
                   "\ncolor=" + QByteArray::number(pick(0, 0xffffff)) +
                   "\ndefault=ab\nttfFontEnd\n";
        return section;
    }

    QString folder_;
    std::mt19937& random_;
};

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

QString randomText(RandomDesign& design) {
    static const char alphabet[] = "abcA d";
    QString text;
    for (int n = design.pick(0, 5); n > 0; --n)
        text += QLatin1Char(alphabet[design.pick(0, 5)]);
    return text;
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
