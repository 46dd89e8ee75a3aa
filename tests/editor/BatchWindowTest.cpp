// Batch processing started from the editor's button, with answered dialogs.
#include "support/OutputFixture.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <map>

namespace zot::test {
namespace {

// Every case runs on one job and on several: the window batches on several
// wherever there are the cores, and both must behave alike.
class BatchWindowTest : public OutputFixture, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        OutputFixture::SetUp();
        editor->batchJobs = GetParam();
    }
    // Writes the batch file and answers both dialogs with it and outDir.
    QString prepare(const QByteArray& content) {
        const QString batch = workDir.filePath(QStringLiteral("batch.csv"));
        writeFile(batch, content);
        dialogs.answer(batch);
        dialogs.answer(outDir.path());
        return batch;
    }
    void run(const QByteArray& content) {
        prepare(content);
        editor->bbBatch->click();
        EXPECT_TRUE(dialogs.allAnswered());
    }
    QStringList inputs() const { return {editor->labelText(1), editor->labelText(2)}; }
    QStringList written() const { return QDir(outDir.path()).entryList(QDir::Files); }
};

TEST_P(BatchWindowTest, EachLineMakesItsLogoAndTheLastStaysInTheInputs) {
    run("ACME;Tools;acme.bmp\nZeta;;zeta.bmp\n");
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    const std::optional<Bitmap> acme = readBack(out(QStringLiteral("acme.bmp")));
    const std::optional<Bitmap> zeta = readBack(out(QStringLiteral("zeta.bmp")));
    ASSERT_TRUE(acme && zeta);
    for (const Bitmap* logo : {&*acme, &*zeta}) {
        EXPECT_EQ(QSize(logo->width(), logo->height()), QSize(kWidth, kHeight));
        EXPECT_EQ(logo->bitsPerPixel(), 24);
        EXPECT_GT(ink(*logo, 0, kSplit), 0);
    }
    EXPECT_FALSE(sameRows(*acme, *zeta, 0, kSplit)); // "ACME" against "Zeta"
    EXPECT_GT(ink(*acme, kSplit, kHeight), 0);       // "Tools"
    EXPECT_EQ(ink(*zeta, kSplit, kHeight), 0);       // empty second text
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral("Zeta"), QString()}));
    EXPECT_EQ(fileBytes(out(QStringLiteral("zeta.bmp"))), encodeBmp(editor->engine().logo()));
    EXPECT_TRUE(editor->mErrors->isHidden());
}

TEST_P(BatchWindowTest, OutputNameEndsAtTheNextSemicolonAndFieldsKeepSpaces) {
    struct Line {
        const char* text;
        const char* file;
        bool sameAsReference; // the texts "ACME" and "Tools"
    };
    const std::vector<Line> lines{
        {"ACME;Tools;ref.bmp", "ref.bmp", true},
        {"ACME;Tools;semi.bmp;", "semi.bmp", true},
        {"ACME;Tools;rest.bmp;x;y", "rest.bmp", true},
        {"ACME;Tools;logo.png", "logo.png", true},
        {"Name;Slogan;File", "File", false},
        {" ACME ; Tools ;spaces.bmp", "spaces.bmp", false},
    };
    QByteArray content;
    for (const Line& line : lines)
        content += QByteArray(line.text) + "\r\n";
    run(content);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
    EXPECT_EQ(written().size(), qsizetype(lines.size()));
    const QByteArray reference = fileBytes(out(QStringLiteral("ref.bmp")));
    ASSERT_FALSE(reference.isEmpty());
    for (const Line& line : lines) {
        SCOPED_TRACE(line.text);
        const QByteArray bytes = fileBytes(out(QString::fromLatin1(line.file)));
        ASSERT_TRUE(decodeBmp(bytes));
        EXPECT_EQ(bytes == reference, line.sameAsReference);
    }
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral(" ACME "), QStringLiteral(" Tools ")}));
}

TEST_P(BatchWindowTest, CancelInTheProgressDialogEndsAfterTheCurrentLine) {
    editor->batchProgressDelay = 0; // shown at once, not after a second
    QByteArray content;
    for (int i = 1; i <= 2000; ++i)
        content += "A" + QByteArray::number(i) + ";B;f" + QByteArray::number(i) + ".bmp\n";
    prepare(content);
    int cancelledAt = -1;
    bool windowTookInput = true;
    // The dialog lets events through while the batch runs: press its Cancel
    // once a few lines are done, and see that the window is blocked.
    QTimer presser;
    presser.setInterval(0);
    QObject::connect(&presser, &QTimer::timeout, [&] {
        auto* dialog = editor->findChild<QProgressDialog*>(QStringLiteral("batchProgress"));
        if (!dialog || !dialog->isVisible() || dialog->value() < 5)
            return;
        windowTookInput =
            !QApplication::activeModalWidget() || QApplication::activeModalWidget() != dialog;
        EXPECT_EQ(dialog->maximum(), 2000);
        cancelledAt = dialog->value();
        dialog->findChild<QPushButton*>()->click();
        presser.stop();
    });
    presser.start();
    editor->bbBatch->click();
    EXPECT_TRUE(dialogs.allAnswered());
    ASSERT_GE(cancelledAt, 5);
    EXPECT_LT(cancelledAt, 2000);
    EXPECT_FALSE(windowTookInput);
    // The lines done were kept. Lines may have been finished while the click
    // was on its way: the batch ends at the last of them, and the window
    // shows that line.
    const QStringList files = written();
    const qsizetype last = files.size();
    EXPECT_GE(last, cancelledAt);
    EXPECT_LT(last, 2000);
    for (qsizetype i = 1; i <= last; ++i)
        EXPECT_TRUE(files.contains(QStringLiteral("f%1.bmp").arg(i))) << i;
    EXPECT_EQ(editor->labelText(1), QStringLiteral("A%1").arg(last));
    EXPECT_EQ(fileBytes(out(QStringLiteral("f%1.bmp").arg(last))),
              encodeBmp(editor->engine().logo()));
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_P(BatchWindowTest, AMissingSemicolonStopsWithTheRestOfTheLine) {
    run("A;B;one.bmp\nC;D;two.bmp\nACME;Tools\nE;F;four.bmp\n");
    EXPECT_EQ(written(), (QStringList{QStringLiteral("one.bmp"), QStringLiteral("two.bmp")}));
    EXPECT_FALSE(editor->mErrors->isHidden());
    EXPECT_TRUE(
        editor->mErrors->toPlainText().endsWith(QStringLiteral("Missing ; at line 3 : Tools")));
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral("ACME"), QStringLiteral("D")}));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_P(BatchWindowTest, FailuresEndTheBatchInOneErrorBox) {
    const QString gone = workDir.filePath(QStringLiteral("gone.csv"));
    struct Case {
        const char* name;
        QByteArray content; // empty: the chosen file has gone
        QString message;
    };
    const std::vector<Case> cases{
        {"empty output name", "ACME;Tools;\nB;C;later.bmp\n",
         QStringLiteral("Cannot create file ") + outDir.path() + QStringLiteral("/.")},
        {"batch file gone", "", QStringLiteral("Cannot open file ") + gone + u'.'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors.texts.clear();
        if (c.content.isEmpty()) {
            dialogs.answer(gone);
            dialogs.answer(outDir.path());
            editor->bbBatch->click();
        } else {
            run(c.content);
        }
        EXPECT_EQ(errors.texts, QStringList{c.message});
        EXPECT_TRUE(written().isEmpty());
    }
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral("ACME"), QStringLiteral("Tools")}));
}

TEST_P(BatchWindowTest, ALogoThatCannotBeRenderedEndsTheBatch) {
    // The background grows with the text, so a huge text cannot be rendered;
    // the batch must stop there rather than write the previous line's logo.
    makeDesign(QStringLiteral("Wide"),
               "backgroundImage=bg.bmp\nbackgroundExtraCenter=bg.bmp\n"
               "backgroundExtraExpandFrom=center\n" +
                   ttfSection("Only", "x"),
               20, 10);
    runGuarded([this] { editor->OpenDesign(QStringLiteral("Wide")); });
    ASSERT_EQ(editor->LabelCount, 1);
    const QByteArray wide(20000, 'W');
    run("a;first.bmp\n" + wide + ";wide.bmp\nc;last.bmp\n");
    ASSERT_EQ(errors.texts.size(), 1);
    EXPECT_TRUE(errors.texts[0].startsWith(QStringLiteral("Picture too large")))
        << errors.texts[0].toStdString();
    EXPECT_EQ(written(), QStringList{QStringLiteral("first.bmp")});
    EXPECT_EQ(editor->labelText(1), QString::fromLatin1(wide));
}

TEST_P(BatchWindowTest, CancelAtEitherDialogChangesNothing) {
    for (int cancelAt : {0, 1}) {
        SCOPED_TRACE(cancelAt);
        writeFile(workDir.filePath(QStringLiteral("batch.csv")), "X;Y;x.bmp\n");
        if (cancelAt == 1)
            dialogs.answer(workDir.filePath(QStringLiteral("batch.csv")));
        dialogs.cancel();
        const int renders = editor->engine().renderCount();
        editor->bbBatch->click();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(editor->engine().renderCount(), renders);
        EXPECT_EQ(inputs(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta")}));
        EXPECT_TRUE(written().isEmpty());
    }
    EXPECT_EQ(dialogs.asked.size(), 3u);
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_P(BatchWindowTest, DialogsOpenWithTheLastFileAndFolder) {
    const QString batch = prepare("X;Y;x.bmp\n");
    editor->bbBatch->click();
    prepare("X;Y;x.bmp\n");
    editor->bbBatch->click();
    ASSERT_EQ(dialogs.asked.size(), 4u);
    const FileDialogRequest& open = dialogs.asked[0];
    EXPECT_EQ(open.kind, FileDialogRequest::Kind::OpenFile);
    EXPECT_EQ(open.nameFilters,
              (QStringList{QStringLiteral("Comma Seperated Files (*.txt *.csv)"),
                           QStringLiteral("Spreadsheet with a header row (*.csv *.tsv)")}));
    EXPECT_TRUE(open.defaultSuffix.isEmpty());
    EXPECT_TRUE(open.initialPath.isEmpty());
    const FileDialogRequest& folder = dialogs.asked[1];
    EXPECT_EQ(folder.kind, FileDialogRequest::Kind::ExistingFolder);
    EXPECT_EQ(folder.caption, QStringLiteral("Choose Folder"));
    EXPECT_TRUE(folder.initialPath.isEmpty());
    EXPECT_EQ(dialogs.asked[2].initialPath, batch);
    EXPECT_EQ(dialogs.asked[3].initialPath, outDir.path());
}

TEST_P(BatchWindowTest, TheSpreadsheetFilterReadsAHeaderRowAndNamesFromTheFileColumn) {
    const QString kFilters[] = {QStringLiteral("Comma Seperated Files (*.txt *.csv)"),
                                QStringLiteral("Spreadsheet with a header row (*.csv *.tsv)")};
    struct Case {
        const char* name;
        const char* file;
        QByteArray content;
        int filter; // 0: batch lines, 1: a spreadsheet (the dialog's filters)
        QStringList written;
        QString listed; // the error list's last line, after the file's path
        QString box;    // the error box, after the file's path
    };
    const QByteArray exported = "\xEF\xBB\xBF Bottom ,Top,file\r\n\"Tools; more\",ACME,acme.bmp\r\n"
                                "Zeta,\"two\nlines\",zeta.bmp\r\n,,\r\n";
    const std::vector<Case> cases{
        {"a spreadsheet's CSV export",
         "products.csv",
         exported,
         1,
         {"acme.bmp", "zeta.bmp"},
         {},
         {}},
        {"the same file as batch lines",
         "products.csv",
         exported,
         0,
         {},
         "Missing ; at line 1 :  Bottom ,Top,file",
         {}},
        {"tabs for a .tsv", "products.TSV", "#2\tfile\nx;y\tx.bmp\n", 1, {"x.bmp"}, {}, {}},
        {"no column for the names",
         "names.csv",
         "Top\nA\n",
         1,
         {},
         {},
         " has no column \"file\" for the names of the logos."},
        {"a malformed row",
         "bad.csv",
         "Top,file\nA,a.bmp\n\"B,b.bmp\n",
         1,
         {"a.bmp"},
         " row 2 (line 3): a quoted field is not closed",
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(outDir.path()).removeRecursively();
        QDir().mkpath(outDir.path());
        errors.texts.clear();
        editor->mErrors->clear();
        editor->mErrors->hide();
        const QString path = workDir.filePath(QString::fromUtf8(c.file));
        writeFile(path, c.content);
        dialogs.answer(path, kFilters[c.filter]);
        dialogs.answer(outDir.path());
        editor->bbBatch->click();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(written(), c.written);
        const QString listed = editor->mErrors->isHidden()
                                   ? QString()
                                   : editor->mErrors->toPlainText().split(u'\n').last();
        if (c.listed.isEmpty())
            EXPECT_TRUE(listed.isEmpty()) << listed.toStdString();
        else
            EXPECT_EQ(listed, (c.filter == 0 ? QString() : path) + c.listed);
        if (c.box.isEmpty())
            EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
        else
            EXPECT_EQ(errors.texts, QStringList{"The spreadsheet " + path + c.box});
    }

    // The logos are those the texts give when typed.
    QDir(outDir.path()).removeRecursively();
    QDir().mkpath(outDir.path());
    const QString path = workDir.filePath(QStringLiteral("products.csv"));
    writeFile(path, exported);
    dialogs.answer(path, kFilters[1]);
    dialogs.answer(outDir.path());
    editor->bbBatch->click();
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral("two\nlines"), QStringLiteral("Zeta")}));
    EXPECT_EQ(fileBytes(out(QStringLiteral("zeta.bmp"))), encodeBmp(editor->engine().logo()));
    editor->Edits[0]->setText(QStringLiteral("ACME"));
    editor->Edits[1]->setText(QStringLiteral("Tools; more"));
    EXPECT_EQ(fileBytes(out(QStringLiteral("acme.bmp"))), encodeBmp(editor->engine().logo()));
    EXPECT_NE(fileBytes(out(QStringLiteral("acme.bmp"))),
              fileBytes(out(QStringLiteral("zeta.bmp"))));
}

// What a batch leaves: the files, the window's texts, logo and messages.
struct WindowOutcome {
    std::map<QString, QByteArray> files;
    QStringList texts;
    QByteArray logo;
    QStringList boxes;
    QString lastListed; // the error list's last line, when it shows
    QByteArray logoAfterTyping;
    bool operator==(const WindowOutcome&) const = default;
};

class BatchWindowRoads : public OutputFixture {
  protected:
    // Runs the batch on jobs, in the window as the user left it, into a
    // fresh folder; then types one more character.
    WindowOutcome run(const QByteArray& content, int jobs) {
        runGuarded([this] { editor->OpenDesign(QStringLiteral("Out")); });
        errors.texts.clear();
        const QString batch = workDir.filePath(QStringLiteral("batch.csv"));
        writeFile(batch, content);
        auto folder = std::make_unique<QTemporaryDir>();
        dialogs.answer(batch);
        dialogs.answer(folder->path());
        editor->batchJobs = jobs;
        editor->bbBatch->click();
        EXPECT_TRUE(dialogs.allAnswered());
        WindowOutcome outcome;
        for (const QString& name : QDir(folder->path()).entryList(QDir::Files | QDir::Hidden))
            outcome.files[name] = fileBytes(folder->filePath(name));
        outcome.texts = {editor->labelText(1), editor->labelText(2)};
        outcome.logo = encodeBmp(editor->engine().logo());
        for (const QString& box : errors.texts)
            outcome.boxes.append(QString(box).replace(folder->path(), QStringLiteral("OUT")));
        if (!editor->mErrors->isHidden())
            outcome.lastListed = editor->mErrors->toPlainText().split(u'\n').last();
        editor->Edits[0]->setText(editor->Edits[0]->text() + u'x');
        outcome.logoAfterTyping = encodeBmp(editor->engine().logo());
        folders_.push_back(std::move(folder));
        return outcome;
    }

  private:
    std::vector<std::unique_ptr<QTemporaryDir>> folders_;
};

TEST_F(BatchWindowRoads, SeveralJobsEndWhereOneJobEnds) {
    // Long enough that the planning runs far ahead of the files when the
    // batch stops half way; names repeat, so later lines overwrite.
    const auto lines = [](const QByteArray& at150) {
        QByteArray content;
        for (int i = 1; i <= 300; ++i) {
            if (i == 150) {
                content += at150 + '\n';
                continue;
            }
            content += "T" + QByteArray::number(i % 37) + ";B" + QByteArray::number(i % 5) + ";f" +
                       QByteArray::number(i % 120) + ".bmp\n";
        }
        return content;
    };
    struct Case {
        const char* name;
        QByteArray content;
        bool finishes;
    };
    const std::vector<Case> cases{
        {"every line written", lines("Mid;Line;mid.bmp"), true},
        {"a file that cannot be created", lines("Mid;Line;missing/mid.bmp"), false},
        {"a name that leaves the folder", lines("Mid;Line;../mid.bmp"), false},
        {"a missing semicolon", lines("Mid;Line"), false},
        {"lines that change nothing",
         "Alpha;Beta;a.bmp\nAlpha;Beta;b.bmp\nAlpha;Beta;missing/c.bmp\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WindowOutcome one = run(c.content, 1);
        const WindowOutcome several = run(c.content, 4);
        EXPECT_EQ(one.files.size(), several.files.size());
        EXPECT_TRUE(one.files == several.files);
        EXPECT_EQ(one.texts, several.texts);
        EXPECT_TRUE(one.logo == several.logo);
        EXPECT_EQ(one.boxes, several.boxes);
        EXPECT_EQ(one.lastListed, several.lastListed);
        EXPECT_TRUE(one.logoAfterTyping == several.logoAfterTyping);
        EXPECT_EQ(one.boxes.isEmpty() && one.lastListed.isEmpty(), c.finishes)
            << one.boxes.join(u'|').toStdString() << one.lastListed.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Jobs, BatchWindowTest, ::testing::Values(1, 4),
                         [](const auto& jobs) { return std::to_string(jobs.param) + "jobs"; });

} // namespace
} // namespace zot::test
