#include "widgets/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include <algorithm>

namespace zot {

namespace {

// The chosen name filter's number, from 1 as the dialogs count them; the
// first when the backend named none of them.
int filterNumber(const FileDialogRequest& request, const QString& chosen) {
    return int(std::max<qsizetype>(request.nameFilters.indexOf(chosen), 0)) + 1;
}

class QtDialogBackend : public DialogBackend {
  public:
    std::optional<QString> exec(QWidget* parent, const FileDialogRequest& request) override {
        const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, request);
        if (dialog->exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList chosen = dialog->selectedFiles();
        if (chosen.isEmpty())
            return std::nullopt;
        if (request.chosenFilter)
            *request.chosenFilter = dialog->selectedNameFilter();
        return chosen.first();
    }
};

DialogBackend*& installedBackend() {
    static DialogBackend* backend = nullptr;
    return backend;
}

QString folderOf(const QString& path) {
    return QFileInfo(path).absolutePath();
}

} // namespace

DialogBackend& dialogBackend() {
    static QtDialogBackend qtBackend;
    DialogBackend* installed = installedBackend();
    return installed ? *installed : qtBackend;
}

DialogBackend* setDialogBackend(DialogBackend* backend) {
    DialogBackend* previous = installedBackend();
    installedBackend() = backend;
    return previous;
}

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const FileDialogRequest& request) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    if (!request.caption.isEmpty())
        dialog->setWindowTitle(request.caption);
    using Kind = FileDialogRequest::Kind;
    switch (request.kind) {
    case Kind::SaveFile:
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setDefaultSuffix(request.defaultSuffix);
        break;
    case Kind::OpenFile:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
        break;
    case Kind::ExistingFolder:
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::Directory);
        dialog->setOption(QFileDialog::ShowDirsOnly, true);
        break;
    }
    dialog->setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.nameFilters.isEmpty())
        dialog->setNameFilters(request.nameFilters);

    if (!request.initialPath.isEmpty()) {
        if (request.kind == Kind::ExistingFolder) {
            dialog->setDirectory(request.initialPath);
        } else {
            const QFileInfo info(request.initialPath);
            // A bare name opens in the working folder, as the dialog does by itself.
            if (request.initialPath.contains(u'/'))
                dialog->setDirectory(info.absolutePath());
            dialog->selectFile(info.fileName());
        }
    }
    return dialog;
}

QStringList qtNameFilters(const QString& pipeFilter) {
    QStringList filters;
    const QStringList parts = pipeFilter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        filters.append(parts[i] + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return filters;
}

QString withDefaultSuffix(const QString& path, const QString& suffix) {
    if (suffix.isEmpty() || QFileInfo(path).fileName().contains(u'.'))
        return path;
    return path + u'.' + suffix;
}

bool TSaveDialog::Execute(QWidget* parent) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::SaveFile;
    request.initialPath =
        lastFolder_.isEmpty() || FileName.contains(u'/') ? FileName : lastFolder_ + u'/' + FileName;
    request.defaultSuffix = DefaultExt;
    request.nameFilters = qtNameFilters(Filter);
    QString filter;
    request.chosenFilter = &filter;
    // Replacing a file the user made earlier is asked first.
    request.confirmOverwrite = true;
    const std::optional<QString> chosen = dialogBackend().exec(parent, request);
    if (!chosen || chosen->isEmpty())
        return false;
    FilterIndex = filterNumber(request, filter);
    // The filter's own extension, where it names one ("PNG picture (*.png)").
    QString suffix = DefaultExt;
    const QStringList parts = Filter.split(u'|');
    if (2 * FilterIndex - 1 < parts.size()) {
        const QString pattern = parts[2 * FilterIndex - 1].section(u';', 0, 0);
        if (pattern.startsWith(QStringLiteral("*.")) && pattern.indexOf(u'*', 1) < 0)
            suffix = pattern.mid(2);
    }
    FileName = withDefaultSuffix(*chosen, suffix);
    lastFolder_ = folderOf(FileName);
    return true;
}

bool TOpenDialog::Execute(QWidget* parent) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::OpenFile;
    request.initialPath = FileName;
    request.nameFilters = qtNameFilters(Filter);
    QString filter;
    request.chosenFilter = &filter;
    const std::optional<QString> chosen = dialogBackend().exec(parent, request);
    if (!chosen || chosen->isEmpty())
        return false;
    FileName = *chosen;
    FilterIndex = filterNumber(request, filter);
    return true;
}

bool TabcDirectoryDialog::Execute(QWidget* parent) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::ExistingFolder;
    request.caption = Caption;
    request.initialPath = Directory;
    const std::optional<QString> chosen = dialogBackend().exec(parent, request);
    if (!chosen || !QFileInfo(*chosen).isDir())
        return false;
    Directory = *chosen;
    return true;
}

} // namespace zot
