// The dialogs' own rules and how Qt's dialogs are set up for each request.
#include "widgets/Dialogs.h"
#include "support/ScriptedDialogs.h"

#include <QFileDialog>
#include <QTemporaryDir>

namespace zot::test {
namespace {

TEST(Dialogs, PipeFiltersBecomeQtNameFilters) {
    const std::vector<std::pair<QString, QStringList>> cases{
        {QStringLiteral("Comma Seperated Files|*.txt;*.csv;"),
         {QStringLiteral("Comma Seperated Files (*.txt *.csv)")}},
        {QStringLiteral("Bitmaps|*.bmp|All|*.*"),
         {QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("All (*.*)")}},
        {QString(), {}},
        {QStringLiteral("Dangling description"), {}},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(qtNameFilters(filter), expected) << filter.toStdString();
}

TEST(Dialogs, DefaultSuffixOnlyForNamesWithoutADot) {
    const std::vector<std::pair<const char*, const char*>> cases{
        {"/out/logo", "/out/logo.bmp"},     {"/out/logo.png", "/out/logo.png"},
        {"/out/my.logo", "/out/my.logo"},   {"/out.d/logo", "/out.d/logo.bmp"},
        {"/out/LOGO.BMP", "/out/LOGO.BMP"}, {"zot", "zot.bmp"},
    };
    for (const auto& [typed, expected] : cases)
        EXPECT_EQ(withDefaultSuffix(QString::fromLatin1(typed), QStringLiteral("bmp")),
                  QString::fromLatin1(expected));
}

TEST(Dialogs, QtDialogsAreSetUpAsAsked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    FileDialogRequest save;
    save.kind = FileDialogRequest::Kind::SaveFile;
    save.initialPath = dir.filePath(QStringLiteral("zot.bmp"));
    save.defaultSuffix = QStringLiteral("bmp");
    save.confirmOverwrite = true;
    const auto saveDialog = makeFileDialog(nullptr, save);
    EXPECT_EQ(saveDialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(saveDialog->defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_FALSE(saveDialog->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(saveDialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
    EXPECT_EQ(saveDialog->selectedFiles().value(0), save.initialPath);

    FileDialogRequest open;
    open.kind = FileDialogRequest::Kind::OpenFile;
    open.nameFilters = qtNameFilters(QStringLiteral("Comma Seperated Files|*.txt;*.csv;"));
    const auto openDialog = makeFileDialog(nullptr, open);
    EXPECT_EQ(openDialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(openDialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(openDialog->nameFilters(), open.nameFilters);
    EXPECT_TRUE(openDialog->defaultSuffix().isEmpty());

    FileDialogRequest folder;
    folder.kind = FileDialogRequest::Kind::ExistingFolder;
    folder.caption = QStringLiteral("Choose Folder");
    folder.initialPath = dir.path();
    const auto folderDialog = makeFileDialog(nullptr, folder);
    EXPECT_EQ(folderDialog->fileMode(), QFileDialog::Directory);
    EXPECT_TRUE(folderDialog->testOption(QFileDialog::ShowDirsOnly));
    EXPECT_EQ(folderDialog->windowTitle(), QStringLiteral("Choose Folder"));
    EXPECT_EQ(folderDialog->directory().absolutePath(), QDir(dir.path()).absolutePath());
}

TEST(Dialogs, FolderDialogKeepsItsChoiceAndRefusesAMissingFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedDialogs dialogs;
    TabcDirectoryDialog ddSafeTo;
    dialogs.answer(dir.path());
    EXPECT_TRUE(ddSafeTo.Execute(nullptr));
    dialogs.answer(dir.filePath(QStringLiteral("not-there")));
    EXPECT_FALSE(ddSafeTo.Execute(nullptr));
    dialogs.cancel();
    EXPECT_FALSE(ddSafeTo.Execute(nullptr));
    EXPECT_EQ(ddSafeTo.Directory, dir.path());
    ASSERT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[2].initialPath, dir.path());
}

} // namespace
} // namespace zot::test
