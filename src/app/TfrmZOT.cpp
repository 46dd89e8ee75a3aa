#include "app/TfrmZOT.h"

#include "app/Catalogue.h"
#include "designs/DesignCopy.h"
#include "designs/DesignInstaller.h"
#include "editor/DesignReloader.h"
#include "editor/TfrmEdit.h"
#include "platform/Error.h"
#include "platform/FileManager.h"
#include "platform/Locations.h"
#include "platform/Paths.h"
#include "platform/QuietFileWatcher.h"
#include "widgets/CrispIcon.h"
#include "widgets/ErrorBox.h"
#include "widgets/Placement.h"
#include "widgets/Shortcuts.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
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
    askCopyName = [this](const QString& design) -> std::optional<QString> {
        bool ok = false;
        const QString name =
            QInputDialog::getText(this, tr("Make my own copy"), tr("Name of the copy:"),
                                  QLineEdit::Normal, tr("%1 copy").arg(design), &ok);
        return ok ? std::optional<QString>(name) : std::nullopt;
    };
    askReplace = [this](const QString& question) {
        return QMessageBox::question(this, QGuiApplication::applicationName(), question) ==
               QMessageBox::Yes;
    };
    tell = [this](const QString& text) {
        QMessageBox::information(this, QGuiApplication::applicationName(), text);
    };
    setAcceptDrops(true);
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
    // The arrows point the way the strip moves: outwards, on either side.
    const bool mirrored = isRightToLeft();
    sbLeftMenu->setIcon(arrowIcon(mirrored ? Qt::RightArrow : Qt::LeftArrow));
    sbLeftMenu->setIconSize(QSize(6, 19));
    sbLeftMenu->setAutoRaise(true);
    sbLeftMenu->setEnabled(false);

    pRightMenu = plainPanel(pTop, u"pRightMenu"_s);
    pRightMenu->setAutoFillBackground(true);
    sbRightMenu = speedButton(pRightMenu, u"sbRightMenu"_s, QRect(3, 2, 12, 28));
    sbRightMenu->setIcon(arrowIcon(mirrored ? Qt::LeftArrow : Qt::RightArrow));
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

    sbLeftMenu->setAccessibleName(tr("Earlier designs"));
    sbRightMenu->setAccessibleName(tr("Later designs"));
    sbAbout->setAccessibleName(tr("About"));
    bindShortcut(this, sbAbout, QKeySequence(Qt::Key_F1), tr("About"));
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

    for (int n = 1; n <= kDigitShortcuts; ++n) {
        auto* action = new QAction(this);
        action->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + n)));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, n] { openMenuButton(n); });
        addAction(action);
    }
    // Every design by keyboard, also those without a button.
    auto* listAction = new QAction(this);
    listAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    listAction->setShortcutContext(Qt::WindowShortcut);
    connect(listAction, &QAction::triggered, this, [this] { showDesignList(); });
    addAction(listAction);

    // The designs without a button: a right click on the arrow (taken by
    // the event filter, since a disabled button handles none) or beside it.
    sbRightMenu->installEventFilter(this);
    pRightMenu->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pRightMenu, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { showLeftOutMenu(pRightMenu, pos); });

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
    layoutTopBar();
}

void TfrmZOT::layoutTopBar() {
    // Every x here is the left-to-right one; the logo view below is never
    // mirrored.
    const auto place = [](QWidget* widget, int x) {
        placeVisually(widget, QRect(QPoint(x, widget->y()), widget->size()));
    };
    place(Panel1, 0);
    place(pLeftMenu, 1);
    place(pRightMenu, pTop->width() - 1 - kRightPanelWidth);
    place(sbLeftMenu, 2);
    place(sbRightMenu, 3);
    place(sbAbout, 18);
    place(pMenu, stripLeft_);
    for (int n = 1; n <= int(MenuButtons.size()); ++n)
        place(MenuButtons[size_t(n - 1)], (n - 1) * kButtonPitch + 2);
}

void TfrmZOT::FormCreate() {
    catalogue_ = new DesignCatalogue(catalogueFolders(programFolder_), this);
    BuildMenu();
    connect(catalogue_, &DesignCatalogue::changed, this, &TfrmZOT::mirrorCatalogue);
    catalogue_->startWatching();
}

QToolButton* TfrmZOT::makeMenuButton(const CatalogueEntry& entry, bool showErrors) {
    const DesignFolderEntry& design = entry.design;
    auto* button = new QToolButton(pMenu);
    button->setFocusPolicy(Qt::NoFocus);
    // Only an identifier for the button: any folder name will do.
    button->setObjectName(menuButtonName(design.name));
    button->setProperty("folderName", design.name);
    button->setProperty("parentFolder", design.parentFolder);

    QImage glyph;
    if (!design.thumbnailPath.isEmpty()) {
        // A thumbnail that cannot be read costs that button its picture,
        // not the rest of the catalogue. Once running, a picture being
        // written is no reason for an error box: the caption stands in.
        if (showErrors) {
            runGuarded([&] { glyph = loadThumbnailGlyph(design.thumbnailPath, kMenuButtonSize); });
        } else {
            try {
                glyph = loadThumbnailGlyph(design.thumbnailPath, kMenuButtonSize);
            } catch (const Error&) {
            }
        }
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
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QWidget::customContextMenuRequested, this,
            [this, button](const QPoint& pos) { showMenu(menuButtonMenu(button), button, pos); });
    connect(button, &QToolButton::clicked, this, [this, button] { MenuButtonClick(button); });
    return button;
}

void TfrmZOT::placeMenuButton(QToolButton* button, int n) {
    button->setGeometry((n - 1) * kButtonPitch + 2, 2, kMenuButtonSize.width(),
                        kMenuButtonSize.height());
    const QString name = button->property("folderName").toString();
    const QString hint =
        Qt::mightBeRichText(name) ? u"<qt>"_s + name.toHtmlEscaped() + u"</qt>"_s : name;
    button->setToolTip(n <= kDigitShortcuts
                           ? hintWithShortcut(name, QKeySequence(Qt::ALT | Qt::Key(Qt::Key_0 + n)))
                           : hint);
}

void TfrmZOT::BuildMenu() {
    MenuCount = 0;
    for (const CatalogueEntry& entry : catalogue_->current().shown) {
        const int n = ++MenuCount;
        QToolButton* button = makeMenuButton(entry, true);
        MenuButtons.push_back(button);
        buttonEntries_.push_back(entry);
        placeMenuButton(button, n);
        button->show();
        pMenu->resize(n * kButtonPitch + 2, pMenu->height());
    }
    sbMenuClick(this);
    mirrorCatalogue();
}

void TfrmZOT::mirrorCatalogue() {
    const std::vector<CatalogueEntry>& shown = catalogue_->current().shown;
    std::vector<QToolButton*> buttons;
    std::vector<bool> kept(MenuButtons.size(), false);
    for (const CatalogueEntry& entry : shown) {
        QToolButton* button = nullptr;
        for (size_t k = 0; k < MenuButtons.size() && !button; ++k) {
            if (!kept[k] && buttonEntries_[k] == entry) {
                kept[k] = true;
                button = MenuButtons[k];
            }
        }
        buttons.push_back(button ? button : makeMenuButton(entry, false));
    }
    for (size_t k = 0; k < MenuButtons.size(); ++k) {
        if (!kept[k]) {
            MenuButtons[k]->hide();
            MenuButtons[k]->deleteLater(); // it may be the sender of what runs now
        }
    }
    MenuButtons = buttons;
    buttonEntries_ = shown;
    MenuCount = int(buttons.size());
    for (int n = 1; n <= MenuCount; ++n) {
        placeMenuButton(buttons[size_t(n - 1)], n);
        buttons[size_t(n - 1)]->show();
    }
    if (MenuCount > 0)
        pMenu->resize(MenuCount * kButtonPitch + 2, pMenu->height());
    // A strip grown shorter must not stay scrolled out of sight.
    const int visibleRight = pTop->width() - pRightMenu->width();
    if (stripLeft_ < kStripHome && stripLeft_ + pMenu->width() < visibleRight)
        stripLeft_ = std::min(kStripHome, visibleRight - pMenu->width());
    sbMenuClick(this);

    const CatalogueScan& scan = catalogue_->current();
    sbRightMenu->setToolTip(scan.leftOut.empty() ? QString()
                            : scan.leftOut.size() == 1
                                ? tr("1 design has no button: right-click here for the list")
                                : tr("%n designs have no button: right-click here for the list",
                                     nullptr, int(scan.leftOut.size())));
    checkOpenDesign();
}

void TfrmZOT::checkOpenDesign() {
    currentDesign_ = 0;
    if (!frmEdit || !frmEdit->engine().hasDesign())
        return;
    const LogoEngine& engine = frmEdit->engine();
    if (!stampOf(engine.designFolderPath()).isFolder) {
        // Not under a running batch: once it is over.
        if (frmEdit->reloader().held()) {
            QTimer::singleShot(DesignReloader::kQuietMs, this, &TfrmZOT::checkOpenDesign);
            return;
        }
        sbAboutClick();
        return;
    }
    const QString parent = engine.designParent().isEmpty() ? programFolder_ : engine.designParent();
    for (size_t k = 0; k < buttonEntries_.size(); ++k) {
        if (buttonEntries_[k].design.name == engine.design().DesignFolder &&
            buttonEntries_[k].design.parentFolder == parent)
            currentDesign_ = int(k) + 1;
    }
}

void TfrmZOT::openDesign(const QString& parentFolder, const QString& name) {
    for (size_t k = 0; k < buttonEntries_.size(); ++k) {
        if (buttonEntries_[k].design.name == name &&
            QDir(buttonEntries_[k].design.parentFolder) == QDir(parentFolder)) {
            openMenuButton(int(k) + 1);
            return;
        }
    }
    currentDesign_ = 0;
    frmEdit->reAbout->hide();
    runGuarded([&] { frmEdit->OpenDesign(name, parentFolder); });
}

void TfrmZOT::showMenu(QMenu* menu, QWidget* at, const QPoint& pos) {
    if (openMenu_)
        openMenu_->close();
    openMenu_ = menu;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(at->mapToGlobal(pos));
}

void TfrmZOT::showLeftOutMenu(QWidget* at, const QPoint& pos) {
    if (QMenu* menu = leftOutMenu())
        showMenu(menu, at, pos);
}

QMenu* TfrmZOT::leftOutMenu() {
    const CatalogueScan& scan = catalogue_->current();
    if (scan.leftOut.empty())
        return nullptr;
    auto* menu = new QMenu(this);
    menu->setObjectName(u"leftOutMenu"_s);
    menu->addSection(tr("Designs without a button"));
    for (const LeftOutDesign& left : scan.leftOut) {
        // Opened from here all the same.
        const DesignFolderEntry design = left.design;
        QAction* action =
            menu->addAction(literalButtonText(design.name) + u" \u2014 "_s + left.reason);
        action->setData(design.name);
        connect(action, &QAction::triggered, this,
                [this, design] { openDesign(design.parentFolder, design.name); });
    }
    if (scan.moreLeftOut)
        menu->addAction(u"\u2026"_s)->setEnabled(false);
    return menu;
}

QDialog* TfrmZOT::showDesignList() {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(u"designList"_s);
    dialog->setWindowTitle(tr("Open a design"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* list = new QListWidget(dialog);
    list->setAccessibleName(tr("Designs"));
    const CatalogueScan& scan = catalogue_->current();
    const auto add = [list](const DesignFolderEntry& design, const QString& note) {
        auto* item = new QListWidgetItem(
            note.isEmpty() ? design.name : design.name + u" \u2014 "_s + note, list);
        item->setData(Qt::UserRole, design.name);
        item->setData(Qt::UserRole + 1, design.parentFolder);
    };
    for (const CatalogueEntry& entry : scan.shown)
        add(entry.design, {});
    for (const LeftOutDesign& left : scan.leftOut)
        add(left.design, left.reason);
    list->setCurrentRow(0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, dialog);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
    connect(dialog, &QDialog::accepted, this, [this, list] {
        if (const QListWidgetItem* item = list->currentItem())
            openDesign(item->data(Qt::UserRole + 1).toString(),
                       item->data(Qt::UserRole).toString());
    });
    dialog->resize(360, 420);
    // Typing goes to the list, whatever the dialog gives the focus to.
    dialog->setFocusProxy(list);
    buttons->setFocusProxy(list);
    dialog->open();
    dialog->activateWindow();
    list->setFocus();
    return dialog;
}

QMenu* TfrmZOT::menuButtonMenu(QToolButton* button) {
    const auto found = std::find(MenuButtons.begin(), MenuButtons.end(), button);
    if (found == MenuButtons.end())
        return nullptr;
    const DesignFolderEntry design = buttonEntries_[size_t(found - MenuButtons.begin())].design;
    auto* menu = new QMenu(this);
    menu->setObjectName(u"designMenu"_s);
    menu->addAction(tr("Open design folder"), this,
                    [this, design] { openDesignFolderClick(design); });
    menu->addAction(tr("Make my own copy\u2026"), this,
                    [this, design] { makeOwnCopyClick(design); });
    if (QDir(design.parentFolder) == QDir(userDesignsFolder()))
        menu->addAction(tr("Move to trash"), this, [this, design] { moveToTrashClick(design); });
    return menu;
}

void TfrmZOT::openDesignFolderClick(const DesignFolderEntry& design) {
    runGuarded([&] { showFolder(childPath(design.parentFolder, design.name)); });
}

void TfrmZOT::makeOwnCopyClick(const DesignFolderEntry& design) {
    runGuarded([&] {
        const std::optional<QString> name = askCopyName(design.name);
        if (!name)
            return;
        const QString userFolder = userDesignsFolder();
        copyDesign(childPath(design.parentFolder, design.name), *name, programFolder_, userFolder);
        catalogue_->rescan();
        openDesign(userFolder, *name);
    });
}

namespace {

// The local files and folders a drag carries; none when anything else is in it.
QStringList droppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

void TfrmZOT::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TfrmZOT::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    for (const QString& path : paths)
        installDropped(path);
}

void TfrmZOT::installDropped(const QString& path) {
    runGuarded([&] {
        const QString userFolder = userDesignsFolder();
        InstallOptions options;
        options.sampleNames = sampleDesignNames(programFolder_);
        InstallResult result = installDesign(path, userFolder, options);
        if (!result.installed && result.alreadyInstalled) {
            // The window's own sentence: the installer's refusal is English.
            if (!askReplace(
                    tr("A design named %1 is installed already. Replace it?").arg(result.name)))
                return;
            options.replace = true;
            result = installDesign(path, userFolder, options);
        }
        if (!result.installed)
            throw Error(result.refusal);
        catalogue_->rescan();
        for (const CatalogueEntry& entry : buttonEntries_) {
            if (entry.design.name == result.name &&
                QDir(entry.design.parentFolder) == QDir(userFolder)) {
                openDesign(userFolder, result.name);
                return;
            }
        }
        tell(tr("The design %1 is installed, but the strip is full: right-click its right arrow "
                "to open it")
                 .arg(result.name));
    });
}

void TfrmZOT::moveToTrashClick(const DesignFolderEntry& design) {
    runGuarded([&] {
        const QString path = childPath(design.parentFolder, design.name);
        if (!QFile::moveToTrash(path))
            throw Error(tr("Cannot move %1 to the trash").arg(path));
        catalogue_->rescan();
    });
}

void TfrmZOT::sbMenuClick(QObject* sender) {
    const int visibleRight = pTop->width() - pRightMenu->width();
    int left = stripLeft_;
    if (sender == sbRightMenu)
        left -= kButtonPitch;
    else if (sender == sbLeftMenu)
        left += kButtonPitch;
    left = std::min(left, kStripHome);
    stripLeft_ = left;
    layoutTopBar();
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
    // Scroll the strip as the arrows would until the button is in sight
    // (in left-to-right terms, as the strip keeps them).
    const int visibleRight = pTop->width() - pRightMenu->width();
    const int buttonLeft = (n - 1) * kButtonPitch + 2;
    const int buttonRight = buttonLeft + button->width() - 1;
    for (int i = 0;
         i < MenuCount && sbRightMenu->isEnabled() && stripLeft_ + buttonRight >= visibleRight; ++i)
        sbMenuClick(sbRightMenu);
    for (int i = 0;
         i < MenuCount && sbLeftMenu->isEnabled() && stripLeft_ + buttonLeft < kStripHome; ++i)
        sbMenuClick(sbLeftMenu);
    button->click();
}

void TfrmZOT::sbAboutClick() {
    // The one editor, also while its frame is minimised and so not active.
    frmEdit->setCaption(tr("About"));
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
    if (watched == sbRightMenu && event->type() == QEvent::ContextMenu) {
        showLeftOutMenu(sbRightMenu, static_cast<QContextMenuEvent*>(event)->pos());
        return true;
    }
    // What the arrows depend on is the bar's width.
    if (watched == pTop && event->type() == QEvent::Resize) {
        placeTopBar();
        FormResize();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace zot
