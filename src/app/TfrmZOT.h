#pragma once

#include <QMainWindow>
#include <vector>

class QFrame;
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

  private:
    QString programFolder_;
    int currentDesign_ = 0;

    void buildTopBar();
    void placeTopBar();
    void FormCreate();
    void createEditor();
};

} // namespace zot
