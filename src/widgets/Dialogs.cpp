#include "widgets/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

namespace zot {

namespace {

class QtDialogBackend : public DialogBackend {
  public:
    std::optional<FileDialogChoice> exec(QWidget* parent,
                                         const FileDialogRequest& request) override {
        const std::unique_ptr<QFileDialog> dialog = makeFileDialog(parent, request);
        if (dialog->exec() != QDialog::Accepted)
            return std::nullopt;
        const QStringList chosen = dialog->selectedFiles();
        if (chosen.isEmpty())
            return std::nullopt;
        const qsizetype filter = request.nameFilters.indexOf(dialog->selectedNameFilter());
        return FileDialogChoice{chosen.first(), int(std::max<qsizetype>(filter, 0))};
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
    if (!request.nameFilters.isEmpty()) {
        dialog->setNameFilters(request.nameFilters);
        dialog->selectNameFilter(request.nameFilters.value(request.nameFilter));
    }

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
    // Replacing a file the user made earlier is asked first.
    request.confirmOverwrite = true;
    const std::optional<FileDialogChoice> chosen = dialogBackend().exec(parent, request);
    if (!chosen || chosen->path.isEmpty())
        return false;
    FileName = withDefaultSuffix(chosen->path, DefaultExt);
    lastFolder_ = folderOf(FileName);
    return true;
}

bool TOpenDialog::Execute(QWidget* parent) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::OpenFile;
    request.initialPath = FileName;
    request.nameFilters = qtNameFilters(Filter);
    request.nameFilter = std::clamp(FilterIndex - 1, 0, int(request.nameFilters.size()) - 1);
    const std::optional<FileDialogChoice> chosen = dialogBackend().exec(parent, request);
    if (!chosen || chosen->path.isEmpty())
        return false;
    FileName = chosen->path;
    FilterIndex = chosen->nameFilter + 1;
    return true;
}

bool TabcDirectoryDialog::Execute(QWidget* parent) {
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::ExistingFolder;
    request.caption = Caption;
    request.initialPath = Directory;
    const std::optional<FileDialogChoice> chosen = dialogBackend().exec(parent, request);
    if (!chosen || !QFileInfo(chosen->path).isDir())
        return false;
    Directory = chosen->path;
    return true;
}

} // namespace zot
