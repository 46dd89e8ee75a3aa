#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

namespace zot {

// One showing of a modal file or folder dialog.
struct FileDialogRequest {
    enum class Kind { SaveFile, OpenFile, ExistingFolder };
    Kind kind = Kind::OpenFile;
    QString caption;         // empty: the dialog's own title
    QString initialPath;     // file (or, for a folder dialog, folder) offered at opening
    QStringList nameFilters; // in Qt's "Text (*.txt)" form; empty: every file
    QString defaultSuffix;   // save: added to a name typed without one
    bool confirmOverwrite = false;
    // When set, gets the name filter the user chose (one of nameFilters).
    QString* chosenFilter = nullptr;
};

// Shows the dialogs. Qt's file dialogs unless tests install a scripted one.
class DialogBackend {
  public:
    virtual ~DialogBackend() = default;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<QString> exec(QWidget* parent, const FileDialogRequest& request) = 0;
};

DialogBackend& dialogBackend();
// Installs backend (not owned); nullptr restores Qt's. Returns the one before.
DialogBackend* setDialogBackend(DialogBackend* backend);

// The Qt dialog that Qt's backend shows for a request.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const FileDialogRequest& request);

// "Text files|*.txt;*.csv;|All|*.*" as Qt name filters:
// {"Text files (*.txt *.csv)", "All (*.*)"}.
QStringList qtNameFilters(const QString& pipeFilter);

// path with "." + suffix appended when its file name has no dot at all.
QString withDefaultSuffix(const QString& path, const QString& suffix);

// The editor's save-file dialog. FileName is offered at opening and holds
// the chosen path (with DefaultExt added) after OK. The next showing opens
// in the folder chosen last.
class TSaveDialog {
  public:
    QString FileName;
    QString DefaultExt;
    // "Description|*.a;|Other|*.b;" as for TOpenDialog; empty: every file.
    // FilterIndex holds the one chosen (from 1) after OK; a name typed
    // without a dot gets that filter's extension, else DefaultExt.
    QString Filter;
    int FilterIndex = 1;
    bool Execute(QWidget* parent);

  private:
    QString lastFolder_;
};

// Open-file dialog with a "Description|*.a;*.b;" filter, or several
// ("One|*.a;|Other|*.b;"). FileName keeps the last choice, which the next
// showing offers again; FilterIndex holds the filter chosen (from 1).
class TOpenDialog {
  public:
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    bool Execute(QWidget* parent);
};

// Folder chooser: accepts only an existing folder; Directory holds the last
// choice and is where the next showing starts.
class TabcDirectoryDialog {
  public:
    QString Caption = QCoreApplication::translate("zot::TabcDirectoryDialog", "Choose Folder");
    QString Directory;
    bool Execute(QWidget* parent);
};

} // namespace zot
