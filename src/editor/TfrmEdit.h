#pragma once

#include "batch/BatchProcessor.h"
#include "logo/EngineObserver.h"
#include "logo/LogoEngine.h"
#include "widgets/Dialogs.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSplitter;
class QTextEdit;

namespace zot {

class DesignReloader;
class TabcToolButton;
class TabcURLLabel;

// imgEdit: shows the engine's logo bitmap stretched to the view's size. The
// size is the zoom's business; the picture is fetched again after a render.
class TLogoView : public QWidget {
    Q_OBJECT
  public:
    TLogoView(const LogoEngine& engine, QWidget* parent);

    // The zoomed size in device pixels. The widget's own (logical) size is
    // that divided by the device pixel ratio, so 100% shows one logo pixel
    // per screen pixel at any scale.
    void setDeviceSize(QSize size);
    QSize deviceSize() const { return deviceSize_; }
    // The engine changed this part of the logo (in logo pixels): only what
    // shows of it is painted again.
    void logoChanged(const QRect& area);

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QSize deviceSize_{0, 0};
    const LogoEngine& engine_;
    // A true-colour copy of a logo stored in another format, so that a paint
    // converts no more than what changed; stale_ is what has not been
    // brought up to date yet. A true-colour logo is painted as it is.
    QImage mirror_;
    QRect stale_;
    bool mirrorWhole_ = true;

    const QImage* shownImage();
    // Where a part of the logo lies in the widget, rounded outwards.
    QRect viewRect(const QRect& area) const;
};

// The one editor window: label inputs, logo view with zoom, error list,
// about text and the output controls. It owns the engine and mirrors what
// the engine tells it; typing hands the text to the engine.
class TfrmEdit : public QWidget, public EngineObserver {
    Q_OBJECT
  public:
    // programFolder holds the design folders.
    explicit TfrmEdit(const QString& programFolder, QWidget* parent = nullptr);
    ~TfrmEdit() override;

    // Loads a design folder of parentFolder (empty: the program folder).
    // Throws zot::Error (a script that cannot be read, a value that is not a
    // number); the caller shows it in the error box.
    void OpenDesign(const QString& folderName, const QString& parentFolder = {});
    void ResetDesign();
    // The open design's files changed: opens it again, keeping what the user
    // typed. Never shows the error box: what would go there is one line of
    // the error list.
    void reopenDesign();
    // Follows the open design's files; reopenDesign() runs once they are quiet.
    DesignReloader& reloader() { return *reloader_; }
    // Designs opened again since the window was made; tests wait on it.
    int reopenCount() const { return reopenCount_; }

    LogoEngine& engine() { return *engine_; }
    const LogoEngine& engine() const { return *engine_; }

    // The label inputs' row pitch as last computed by AddLabelInput.
    int rowPitch() const { return rowPitch_; }

    // Current text of label input i's edit box; empty without one.
    QString labelText(int i) const;
    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    // Refits imgEdit to cbSize's percentage. Throws zot::Error when the text
    // before its last character is not an integer; the view keeps its size.
    void cbSizeChange();

    // EngineObserver
    void labelInputAdded(int i, const QString& text, const QString& caption) override;
    void labelInputsRemoved() override;
    void labelTextChanged(int i, const QString& text) override;
    void errorAppended(const QString& line) override;
    void errorsHidden() override;
    void captionChanged(const QString& caption) override;
    void viewSizeSet(int width, int height) override;
    void logoResized() override { cbSizeChange(); }
    bool refitCanFail() const override;
    void logoChanged() override;
    void outputControlsEnabled(bool enabled) override;

    // Handlers
    // Edit box i changed: its text goes to the engine, which renders.
    void LabelInputChange(int i);
    void FormResize();
    void pDynamicResize();
    void mErrorsChange();
    void abcTBSaveClick();
    void abcTBCopyClick();
    void abcTBWallpaperClick();
    void bbBatchClick();

    // The about text shipped with the program, for when zot-about.rtf is missing.
    static QString builtInAboutText();
    static constexpr const char* kAboutFile = "zot-about.rtf";
    // An about file is a few kilobytes; a larger one is not read at all.
    // Laying out rich text is slow (a megabyte of one unbroken word takes
    // most of a minute), and it happens at every start.
    static constexpr qint64 kMaxAboutBytes = 256 * 1024;
    static constexpr const char* kMakerAddress = "https://zotmaker.example/";
    static constexpr const char* kWallpaperFile = "@WS!BACK.BMP";
    // Where Set as wallpaper writes the logo: in the program folder, or in the
    // user's data folder when the program folder is not writable.
    QString wallpaperPath() const;

    // Controls, named as in the window's layout.
    QFrame* pLeft = nullptr;
    QFrame* Panel2 = nullptr;
    TabcToolButton* abcTBSave = nullptr;
    TabcToolButton* abcTBCopy = nullptr;
    TabcToolButton* abcTBWallpaper = nullptr;
    QComboBox* cbSize = nullptr;
    QFrame* pDynamic = nullptr;
    QScrollArea* sbInputs = nullptr; // scrolls the label inputs when they do not fit
    QWidget* pInputs = nullptr;      // parent of the label inputs
    QPushButton* bbBatch = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    TabcURLLabel* abcURLLabel1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TLogoView* imgEdit = nullptr;
    QTextEdit* reAbout = nullptr;
    QPlainTextEdit* mErrors = nullptr;

    // Label inputs, number i at index i - 1.
    std::vector<QLineEdit*> Edits;
    std::vector<QLabel*> Labels;
    int LabelCount = 0;

    // How long a batch runs before its progress dialog shows, in ms.
    int batchProgressDelay = 1000;
    // The jobs a batch renders on: as many as the command-line tool's.
    int batchJobs = defaultBatchJobs();

    // Kept as long as the editor, so each opens with the previous choice.
    TSaveDialog SaveDialog;
    TOpenDialog odBatch;
    TabcDirectoryDialog ddSafeTo;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<LogoEngine> engine_;
    DesignReloader* reloader_ = nullptr;
    int reopenCount_ = 0;
    int rowPitch_ = 0;
    QString caption_;
    bool errorsSized_ = false;

    void buildToolbar();
    void buildInputPanel();
    void buildMiddle();
    void FormCreate();
    void fitInputsArea();
    // cbSize's text without its last character: the percentage.
    QString zoomNumber() const;
    void zoomTextChanged();
};

} // namespace zot
