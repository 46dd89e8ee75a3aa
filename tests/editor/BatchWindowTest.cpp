// Batch processing started from the editor's button, with answered dialogs.
#include "support/OutputFixture.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

namespace zot::test {
namespace {

class BatchWindowTest : public OutputFixture {
  protected:
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

TEST_F(BatchWindowTest, EachLineMakesItsLogoAndTheLastStaysInTheInputs) {
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

TEST_F(BatchWindowTest, OutputNameEndsAtTheNextSemicolonAndFieldsKeepSpaces) {
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

TEST_F(BatchWindowTest, CancelInTheProgressDialogEndsAfterTheCurrentLine) {
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
    // The line at hand was finished and kept; nothing after it was made.
    EXPECT_EQ(written().size(), cancelledAt);
    EXPECT_TRUE(QFile::exists(out(QStringLiteral("f%1.bmp").arg(cancelledAt))));
    EXPECT_EQ(editor->labelText(1), QStringLiteral("A%1").arg(cancelledAt));
    EXPECT_TRUE(errors.texts.isEmpty());
}

TEST_F(BatchWindowTest, AMissingSemicolonStopsWithTheRestOfTheLine) {
    run("A;B;one.bmp\nC;D;two.bmp\nACME;Tools\nE;F;four.bmp\n");
    EXPECT_EQ(written(), (QStringList{QStringLiteral("one.bmp"), QStringLiteral("two.bmp")}));
    EXPECT_FALSE(editor->mErrors->isHidden());
    EXPECT_TRUE(
        editor->mErrors->toPlainText().endsWith(QStringLiteral("Missing ; at line 3 : Tools")));
    EXPECT_EQ(inputs(), (QStringList{QStringLiteral("ACME"), QStringLiteral("D")}));
    EXPECT_TRUE(errors.texts.isEmpty()) << errors.texts.join(u'|').toStdString();
}

TEST_F(BatchWindowTest, FailuresEndTheBatchInOneErrorBox) {
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

TEST_F(BatchWindowTest, ALogoThatCannotBeRenderedEndsTheBatch) {
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

TEST_F(BatchWindowTest, CancelAtEitherDialogChangesNothing) {
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

TEST_F(BatchWindowTest, DialogsOpenWithTheLastFileAndFolder) {
    const QString batch = prepare("X;Y;x.bmp\n");
    editor->bbBatch->click();
    prepare("X;Y;x.bmp\n");
    editor->bbBatch->click();
    ASSERT_EQ(dialogs.asked.size(), 4u);
    const FileDialogRequest& open = dialogs.asked[0];
    EXPECT_EQ(open.kind, FileDialogRequest::Kind::OpenFile);
    EXPECT_EQ(open.nameFilters, QStringList{QStringLiteral("Comma Seperated Files (*.txt *.csv)")});
    EXPECT_TRUE(open.defaultSuffix.isEmpty());
    EXPECT_TRUE(open.initialPath.isEmpty());
    const FileDialogRequest& folder = dialogs.asked[1];
    EXPECT_EQ(folder.kind, FileDialogRequest::Kind::ExistingFolder);
    EXPECT_EQ(folder.caption, QStringLiteral("Choose Folder"));
    EXPECT_TRUE(folder.initialPath.isEmpty());
    EXPECT_EQ(dialogs.asked[2].initialPath, batch);
    EXPECT_EQ(dialogs.asked[3].initialPath, outDir.path());
}

} // namespace
} // namespace zot::test
