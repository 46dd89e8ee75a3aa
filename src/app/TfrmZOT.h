#pragma once

#include "designs/DesignCatalogue.h"

#include <QMainWindow>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QFrame;
class QMenu;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;

namespace zot {

class TfrmEdit;

// The main window: the catalogue strip of designs at the top and the frame
// holding the one editor window.
class TfrmZOT : public QMainWindow {
    Q_OBJECT
  public:
    // programFolder holds the shipped design folders; the user's own are
    // found in userDesignsFolder() as well.
    explicit TfrmZOT(const QString& programFolder, QWidget* parent = nullptr);
    ~TfrmZOT() override;

    static constexpr int kButtonPitch = 104; // one button and its gap
    static constexpr int kStripHome = 16;    // the strip's left edge at rest
    static constexpr int kStripStartWidth = 257;

    void BuildMenu();
    // The catalogue's folders changed: the strip shows what they hold now.
    // The open design stays open, unless its folder is gone.
    void mirrorCatalogue();
    DesignCatalogue& catalogue() { return *catalogue_; }
    // Opens the design folder name of parentFolder as its button would, or
    // straight away when the strip has no button for it.
    void openDesign(const QString& parentFolder, const QString& name);

    // A catalogue button's menu, and that of the strip's right arrow listing
    // the designs without a button; made, not shown.
    QMenu* menuButtonMenu(QToolButton* button);
    QMenu* leftOutMenu();
    // Every design, those with a button and those left out, in catalogue
    // order, to open one by keyboard (type-ahead, Enter). Ctrl+O.
    QDialog* showDesignList();
    void openDesignFolderClick(const DesignFolderEntry& design);
    void makeOwnCopyClick(const DesignFolderEntry& design);
    void moveToTrashClick(const DesignFolderEntry& design);
    // Asks the name of a copy of design; nothing when the user cancels.
    std::function<std::optional<QString>(const QString& design)> askCopyName;
    // Installs a dropped archive or design folder into the user's designs,
    // asking before it replaces one, then opens it.
    void installDropped(const QString& path);
    // Asks whether to go on: question is the installer's refusal, answered
    // by replacing.
    std::function<bool(const QString& question)> askReplace;
    // Tells the user something that needs no answer.
    std::function<void(const QString& text)> tell;
    // Scrolls the strip for an arrow as sender; any other sender only
    // re-evaluates the arrows.
    void sbMenuClick(QObject* sender);
    void MenuButtonClick(QObject* sender);
    void sbAboutClick();
    void FormResize();
    // Opens design n as its button would, after scrolling it into sight; the
    // keyboard's way through the catalogue (Alt+n, Ctrl+PgUp/PgDn).
    void openMenuButton(int n);
    static constexpr int kDigitShortcuts = 9;
    // The design last opened from the catalogue, 0 before any.
    int currentDesign() const { return currentDesign_; }

    const QString& programFolder() const { return programFolder_; }

    // Controls, named as in the window's layout.
    QFrame* pTop = nullptr;
    QFrame* Panel1 = nullptr;
    QFrame* pLeftMenu = nullptr;
    QToolButton* sbLeftMenu = nullptr;
    QFrame* pMenu = nullptr;
    QFrame* pRightMenu = nullptr;
    QToolButton* sbRightMenu = nullptr;
    QToolButton* sbAbout = nullptr;
    QMdiArea* mdiArea = nullptr;
    QMdiSubWindow* editorWindow = nullptr;
    TfrmEdit* frmEdit = nullptr;

    // Catalogue buttons, number n at index n - 1.
    std::vector<QToolButton*> MenuButtons;
    int MenuCount = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QString programFolder_;
    int currentDesign_ = 0;
    DesignCatalogue* catalogue_ = nullptr;
    // What each button of MenuButtons shows, at the same index.
    std::vector<CatalogueEntry> buttonEntries_;
    QMenu* openMenu_ = nullptr;

    // The strip's left edge as a left-to-right window would place it; a
    // right-to-left window places everything in the top bar mirrored.
    int stripLeft_ = kStripHome;
    void layoutTopBar();

    QToolButton* makeMenuButton(const CatalogueEntry& entry, bool showErrors);
    void placeMenuButton(QToolButton* button, int n);
    void showMenu(QMenu* menu, QWidget* at, const QPoint& pos);
    void showLeftOutMenu(QWidget* at, const QPoint& pos);
    // Back to the about view when the open design's folder is gone.
    void checkOpenDesign();

    void buildTopBar();
    void placeTopBar();
    void FormCreate();
    void createEditor();
};

} // namespace zot
