#include "app/TfrmZOT.h"

#include "app/Catalogue.h"
#include "editor/TfrmEdit.h"
#include "platform/Error.h"
#include "widgets/CrispIcon.h"
#include "widgets/ErrorBox.h"
#include "widgets/Shortcuts.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

constexpr int kTopHeight = 34;
constexpr int kSidePanelWidth = 15;
constexpr int kRightPanelWidth = 49;
constexpr QSize kMenuButtonSize(100, 28);

// The editor's frame: closing it only minimises it, the editor lives on.
class TEditorSubWindow : public QMdiSubWindow {
  public:
    using QMdiSubWindow::QMdiSubWindow;

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        showMinimized();
    }
};

QFrame* plainPanel(QWidget* parent, const QString& name) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

// The style's own greying leaves a black glyph nearly black.
QIcon arrowIcon(Qt::ArrowType direction) {
    return crispIcon(arrowGlyph(direction, true), arrowGlyph(direction, false));
}

QToolButton* speedButton(QWidget* parent, const QString& name, const QRect& geometry) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TfrmZOT::TfrmZOT(const QString& programFolder, QWidget* parent)
    : QMainWindow(parent), programFolder_(programFolder) {
    setWindowTitle(u"ZOT"_s);
    // Wayland leaves a window's place to the compositor.
    if (!QGuiApplication::platformName().startsWith(u"wayland"_s))
        move(216, 122);
    resize(544, 375);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    buildTopBar();
    mdiArea = new QMdiArea(client);
    mdiArea->setObjectName(u"mdiArea"_s);
    layout->addWidget(pTop);
    layout->addWidget(mdiArea, 1);
    setCentralWidget(client);

    FormCreate();
    createEditor();
}

TfrmZOT::~TfrmZOT() = default;

void TfrmZOT::buildTopBar() {
    pTop = new QFrame;
    pTop->setObjectName(u"pTop"_s);
    pTop->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pTop->setLineWidth(1);
    pTop->setFixedHeight(kTopHeight);

    // Created first so that it lies beneath the two side panels.
    pMenu = plainPanel(pTop, u"pMenu"_s);
    pMenu->setGeometry(kStripHome, 1, kStripStartWidth, 32);

    pLeftMenu = plainPanel(pTop, u"pLeftMenu"_s);
    pLeftMenu->setAutoFillBackground(true);
    sbLeftMenu = speedButton(pLeftMenu, u"sbLeftMenu"_s, QRect(2, 2, 12, 28));
    sbLeftMenu->setIcon(arrowIcon(Qt::LeftArrow));
    sbLeftMenu->setIconSize(QSize(6, 19));
    sbLeftMenu->setAutoRaise(true);
    sbLeftMenu->setEnabled(false);

    pRightMenu = plainPanel(pTop, u"pRightMenu"_s);
    pRightMenu->setAutoFillBackground(true);
    sbRightMenu = speedButton(pRightMenu, u"sbRightMenu"_s, QRect(3, 2, 12, 28));
    sbRightMenu->setIcon(arrowIcon(Qt::RightArrow));
    sbRightMenu->setIconSize(QSize(6, 19));
    sbRightMenu->setAutoRaise(true);
    sbRightMenu->setEnabled(false);

    sbAbout = speedButton(pRightMenu, u"sbAbout"_s, QRect(18, 2, 29, 28));
    sbAbout->setText(u"?"_s);
    QFont aboutFont(u"Arial Black"_s);
    aboutFont.setPixelSize(16);
    aboutFont.setWeight(QFont::Black);
    sbAbout->setFont(aboutFont);
    QPalette aboutPalette = sbAbout->palette();
    aboutPalette.setColor(QPalette::ButtonText, Qt::red);
    sbAbout->setPalette(aboutPalette);

    Panel1 = plainPanel(pTop, u"Panel1"_s);
    Panel1->setAutoFillBackground(true);
    QPalette light = Panel1->palette();
    light.setColor(QPalette::Window, light.color(QPalette::Light));
    Panel1->setPalette(light);
    Panel1->setGeometry(0, 0, 1, kTopHeight);

    sbLeftMenu->setAccessibleName(u"Earlier designs"_s);
    sbRightMenu->setAccessibleName(u"Later designs"_s);
    sbAbout->setAccessibleName(u"About"_s);
    bindShortcut(this, sbAbout, QKeySequence(Qt::Key_F1), u"About"_s);
    // Through the catalogue from the keyboard; the edit boxes use neither key.
    for (auto [keys, step] : {std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                              std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, step = step] {
            openMenuButton(std::clamp(currentDesign_ + step, 1, MenuCount));
        });
        addAction(action);
    }

    connect(sbLeftMenu, &QToolButton::clicked, this, [this] { sbMenuClick(sbLeftMenu); });
    connect(sbRightMenu, &QToolButton::clicked, this, [this] { sbMenuClick(sbRightMenu); });
    connect(sbAbout, &QToolButton::clicked, this, &TfrmZOT::sbAboutClick);

    pTop->installEventFilter(this);
    placeTopBar();
}

void TfrmZOT::placeTopBar() {
    const int width = pTop->width();
    pLeftMenu->setGeometry(1, 1, kSidePanelWidth, kTopHeight - 2);
    pRightMenu->setGeometry(width - 1 - kRightPanelWidth, 1, kRightPanelWidth, kTopHeight - 2);
}

void TfrmZOT::FormCreate() {
    BuildMenu();
}

void TfrmZOT::BuildMenu() {
    MenuCount = 0;
    for (const DesignFolderEntry& design :
         scanCatalogue(catalogueFolders(programFolder_), kMaxDesigns)) {
        const int n = ++MenuCount;
        auto* button = new QToolButton(pMenu);
        MenuButtons.push_back(button);
        button->setGeometry((n - 1) * kButtonPitch + 2, 2, kMenuButtonSize.width(),
                            kMenuButtonSize.height());
        button->setFocusPolicy(Qt::NoFocus);
        // Only an identifier for the button: any folder name will do.
        button->setObjectName(menuButtonName(design.name));
        button->setProperty("folderName", design.name);
        button->setProperty("parentFolder", design.parentFolder);
        button->setToolTip(Qt::mightBeRichText(design.name)
                               ? u"<qt>"_s + design.name.toHtmlEscaped() + u"</qt>"_s
                               : design.name);

        QImage glyph;
        if (!design.thumbnailPath.isEmpty()) {
            // A thumbnail that cannot be read costs that button its picture,
            // not the rest of the catalogue.
            runGuarded([&] { glyph = loadThumbnailGlyph(design.thumbnailPath, kMenuButtonSize); });
        }
        // A glyph alone is centred; a caption alone fills the button.
        if (!glyph.isNull()) {
            button->setIcon(QPixmap::fromImage(glyph));
            button->setIconSize(glyph.size());
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        } else {
            button->setText(literalButtonText(design.name));
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
        button->setAccessibleName(design.name);
        if (n <= kDigitShortcuts) {
            const QKeySequence keys(Qt::ALT | Qt::Key(Qt::Key_0 + n));
            button->setToolTip(hintWithShortcut(design.name, keys));
            auto* action = new QAction(this);
            action->setShortcut(keys);
            action->setShortcutContext(Qt::WindowShortcut);
            connect(action, &QAction::triggered, this, [this, n] { openMenuButton(n); });
            addAction(action);
        }
        connect(button, &QToolButton::clicked, this, [this, button] { MenuButtonClick(button); });
        button->show();
        pMenu->resize(n * kButtonPitch + 2, pMenu->height());
    }
    sbMenuClick(this);
}

void TfrmZOT::sbMenuClick(QObject* sender) {
    const int visibleRight = pTop->width() - pRightMenu->width();
    int left = pMenu->x();
    if (sender == sbRightMenu)
        left -= kButtonPitch;
    else if (sender == sbLeftMenu)
        left += kButtonPitch;
    left = std::min(left, kStripHome);
    pMenu->move(left, pMenu->y());
    sbLeftMenu->setEnabled(left < kStripHome);
    sbRightMenu->setEnabled(left + pMenu->width() > visibleRight);
}

void TfrmZOT::MenuButtonClick(QObject* sender) {
    const auto found = std::find(MenuButtons.begin(), MenuButtons.end(), sender);
    if (found == MenuButtons.end())
        return;
    currentDesign_ = int(found - MenuButtons.begin()) + 1;
    const QString folderName = (*found)->property("folderName").toString();
    const QString parentFolder = (*found)->property("parentFolder").toString();
    frmEdit->reAbout->hide();
    runGuarded([&] { frmEdit->OpenDesign(folderName, parentFolder); });
}

void TfrmZOT::openMenuButton(int n) {
    if (n < 1 || n > MenuCount)
        return;
    QToolButton* button = MenuButtons[size_t(n - 1)];
    // Scroll the strip as the arrows would until the button is in sight.
    const int visibleRight = pTop->width() - pRightMenu->width();
    for (int i = 0; i < MenuCount && sbRightMenu->isEnabled() &&
                    pMenu->x() + button->geometry().right() >= visibleRight;
         ++i)
        sbMenuClick(sbRightMenu);
    for (int i = 0;
         i < MenuCount && sbLeftMenu->isEnabled() && pMenu->x() + button->x() < kStripHome; ++i)
        sbMenuClick(sbLeftMenu);
    button->click();
}

void TfrmZOT::sbAboutClick() {
    // The one editor, also while its frame is minimised and so not active.
    frmEdit->setCaption(u"About"_s);
    runGuarded([this] { frmEdit->ResetDesign(); });
    frmEdit->reAbout->show();
}

void TfrmZOT::FormResize() {
    sbMenuClick(this);
}

void TfrmZOT::createEditor() {
    frmEdit = new TfrmEdit(programFolder_);
    editorWindow = new TEditorSubWindow;
    editorWindow->setWidget(frmEdit);
    mdiArea->addSubWindow(editorWindow);
    editorWindow->showMaximized();
}

bool TfrmZOT::eventFilter(QObject* watched, QEvent* event) {
    // What the arrows depend on is the bar's width.
    if (watched == pTop && event->type() == QEvent::Resize) {
        placeTopBar();
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace zot
