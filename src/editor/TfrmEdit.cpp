#include "editor/TfrmEdit.h"

#include "batch/BatchProcessor.h"
#include "batch/DataBatch.h"
#include "editor/DesignReloader.h"
#include "editor/ToolbarGlyphs.h"
#include "imaging/BmpCodec.h"
#include "imaging/LogoFile.h"
#include "platform/Clipboard.h"
#include "platform/DataFileReader.h"
#include "platform/Error.h"
#include "platform/Locations.h"
#include "platform/NativeFiles.h"
#include "platform/TextLineReader.h"
#include "platform/Wallpaper.h"
#include "script/IntegerConversion.h"
#include "text/RichTextReader.h"
#include "widgets/ErrorBox.h"
#include "widgets/NamedCombo.h"
#include "widgets/NarrowCombo.h"
#include "widgets/Placement.h"
#include "widgets/Shortcuts.h"
#include "widgets/TabcToolButton.h"
#include "widgets/TabcURLLabel.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <tuple>
#include <utility>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

constexpr int kLeftWidth = 129;
constexpr int kToolbarHeight = 25;
constexpr int kInputLeft = 3;
constexpr int kBatchLeft = 8;
constexpr int kErrorListHeight = 52;
constexpr qint64 kBatchProgressInterval = 30; // ms
// odBatch's filter that reads a spreadsheet with a header row.
constexpr int kSpreadsheetFilter = 2;

// One side of the zoomed view. The quotient is formed first, in long double,
// and rounded to the even neighbour on ties (the default rounding mode).
int zoomedSide(int side, long double factor) {
    const long double zoomed = std::nearbyint(static_cast<long double>(side) * factor);
    // A negative percentage shows nothing; a huge one stops at the largest widget.
    return static_cast<int>(std::clamp<long double>(zoomed, 0.0L, QWIDGETSIZE_MAX));
}

int clampSide(int side) {
    return std::clamp(side, 0, int(QWIDGETSIZE_MAX));
}

// Qt reads "[*]" in a window title as the modified marker; a design's name
// must show as written.
QString literalTitle(QString title) {
    return title.replace(u"[*]"_s, u"[*][*]"_s);
}

} // namespace

TLogoView::TLogoView(const LogoEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

const QImage* TLogoView::shownImage() {
    // A logo with alpha shows over a checkerboard, as image editors show it.
    if (const QImage& alpha = engine_.alphaLogo(); !alpha.isNull()) {
        if (mirrorWhole_ || !stale_.isEmpty() || mirror_.size() != alpha.size()) {
            constexpr int kSquare = 8;
            mirror_ = QImage(alpha.size(), QImage::Format_RGB32);
            for (int y = 0; y < mirror_.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(mirror_.scanLine(y));
                for (int x = 0; x < mirror_.width(); ++x)
                    line[x] = ((x / kSquare + y / kSquare) % 2) ? 0xffcccccc : 0xffffffff;
            }
            QPainter painter(&mirror_);
            painter.drawImage(0, 0, alpha);
        }
        stale_ = QRect();
        mirrorWhole_ = false;
        return &mirror_;
    }
    const QImage& storage = engine_.logo().storage();
    if (storage.isNull())
        return nullptr;
    if (storage.format() == QImage::Format_RGB32) {
        mirror_ = QImage();
        return &storage;
    }
    if (mirrorWhole_ || mirror_.size() != storage.size()) {
        mirror_ = storage.convertToFormat(QImage::Format_RGB32);
    } else if (!stale_.isEmpty()) {
        const QRect part = stale_.intersected(storage.rect());
        const QImage fresh = storage.copy(part).convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < fresh.height(); ++y)
            std::memcpy(mirror_.scanLine(part.y() + y) + qsizetype(part.x()) * 4,
                        fresh.constScanLine(y), size_t(fresh.width()) * 4);
    }
    stale_ = QRect();
    mirrorWhole_ = false;
    return &mirror_;
}

void TLogoView::paintEvent(QPaintEvent* event) {
    if (deviceSize_.isEmpty())
        return;
    const QImage* image = shownImage();
    if (!image)
        return;
    // Nearest pixels, no smoothing: the zoom shows the logo's pixels as they
    // are. Only the logo pixels under the exposed part are scaled.
    const qreal ratio = devicePixelRatioF();
    const double sx = deviceSize_.width() / ratio / image->width();
    const double sy = deviceSize_.height() / ratio / image->height();
    const QRectF exposed(event->rect());
    const int left = int(std::floor(exposed.left() / sx));
    const int top = int(std::floor(exposed.top() / sy));
    const int right = int(std::ceil(exposed.right() / sx));
    const int bottom = int(std::ceil(exposed.bottom() / sy));
    const QRect source = QRect(QPoint(left, top), QPoint(right, bottom)).intersected(image->rect());
    if (source.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(
        QRectF(source.x() * sx, source.y() * sy, source.width() * sx, source.height() * sy), *image,
        source);
}

QRect TLogoView::viewRect(const QRect& area) const {
    const Bitmap& logo = engine_.logo();
    if (logo.isEmpty() || deviceSize_.isEmpty())
        return {};
    const qreal ratio = devicePixelRatioF();
    const double sx = deviceSize_.width() / ratio / logo.width();
    const double sy = deviceSize_.height() / ratio / logo.height();
    const int left = int(std::floor(area.left() * sx)) - 1;
    const int top = int(std::floor(area.top() * sy)) - 1;
    const int right = int(std::ceil((area.right() + 1) * sx)) + 1;
    const int bottom = int(std::ceil((area.bottom() + 1) * sy)) + 1;
    return QRect(QPoint(left, top), QPoint(right, bottom)).intersected(rect());
}

void TLogoView::logoChanged(const QRect& area) {
    const Bitmap& logo = engine_.logo();
    if (area.contains(QRect(0, 0, logo.width(), logo.height()))) {
        mirrorWhole_ = true;
        update();
        return;
    }
    stale_ = stale_.united(area);
    const QRect shown = viewRect(area);
    if (!shown.isEmpty())
        update(shown);
}

void TLogoView::setDeviceSize(QSize size) {
    const bool changed = size != deviceSize_;
    deviceSize_ = size;
    const qreal ratio = devicePixelRatioF();
    // Rounded up, so that the scroll box reaches the last device pixel.
    resize(int(std::ceil(size.width() / ratio - 1e-9)),
           int(std::ceil(size.height() / ratio - 1e-9)));
    // The same size shows the same pixels: a keystroke's refit paints nothing.
    if (changed)
        update();
}

bool TLogoView::event(QEvent* event) {
    // On a screen of another scale the same device size needs another widget size.
    if (event->type() == QEvent::ScreenChangeInternal) {
        setDeviceSize(deviceSize_);
        update();
    }
    return QWidget::event(event);
}

TfrmEdit::TfrmEdit(const QString& programFolder, QWidget* parent)
    : QWidget(parent), engine_(std::make_unique<LogoEngine>(*this, programFolder)) {
    setWindowTitle(tr("About"));
    caption_ = tr("About");
    SaveDialog.DefaultExt = u"bmp"_s;
    // BMP whatever the name, as always; PNG keeps a logo's alpha.
    SaveDialog.Filter = tr("BMP picture|*|PNG picture|*.png");
    // The first filter reads batch lines whatever the file's name, as it
    // always has; the second a spreadsheet's export with a header row.
    odBatch.Filter = tr("Comma Seperated Files|*.txt;*.csv;") + u'|' +
                     tr("Spreadsheet with a header row|*.csv;*.tsv;");

    pLeft = new QFrame(this);
    pLeft->setObjectName(u"pLeft"_s);
    pLeft->setFixedWidth(kLeftWidth);
    auto* leftLayout = new QVBoxLayout(pLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    buildToolbar();
    buildInputPanel();
    leftLayout->addWidget(Panel2);
    leftLayout->addWidget(pDynamic, 1);

    buildMiddle();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pLeft);
    layout->addWidget(Splitter1, 1);

    outputControlsEnabled(false);
    reloader_ = new DesignReloader(this);
    connect(reloader_, &DesignReloader::reopenWanted, this, &TfrmEdit::reopenDesign);
    connect(reloader_, &DesignReloader::unreadable, this, [this](const QString& path) {
        engine_->appendError(DesignReloader::cannotReadReport(path));
    });
    FormCreate();
}

TfrmEdit::~TfrmEdit() = default;

void TfrmEdit::buildToolbar() {
    Panel2 = new QFrame(pLeft);
    Panel2->setObjectName(u"Panel2"_s);
    // Its width is the left panel's; fixed now, so that the buttons can be
    // placed from its right edge for right-to-left languages.
    Panel2->setFixedSize(kLeftWidth, kToolbarHeight);

    const auto makeButton = [this](ToolbarGlyph glyph, int left, const QString& name,
                                   const QString& hint) {
        auto* button =
            new TabcToolButton(toolbarGlyph(glyph, true), toolbarGlyph(glyph, false), Panel2);
        button->setObjectName(name);
        placeVisually(button, QRect(left, 1, 23, 22));
        button->setToolTip(hint);
        return button;
    };
    abcTBSave = makeButton(ToolbarGlyph::Save, 2, u"abcTBSave"_s, tr("Save to file"));
    abcTBCopy = makeButton(ToolbarGlyph::Copy, 25, u"abcTBCopy"_s, tr("Copy 2 clipboard"));
    abcTBWallpaper =
        makeButton(ToolbarGlyph::Wallpaper, 48, u"abcTBWallpaper"_s, tr("Set as wallpaper"));
    // Picture-only buttons: screen readers and the keyboard get them by name.
    // Ctrl+C would be the edit boxes' copy, hence the Shift.
    for (auto [button, keys, hint] :
         {std::tuple{abcTBSave, QKeySequence(Qt::CTRL | Qt::Key_S), tr("Save to file")},
          std::tuple{abcTBCopy, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C),
                     tr("Copy 2 clipboard")},
          std::tuple{abcTBWallpaper, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
                     tr("Set as wallpaper")}}) {
        button->setAccessibleName(hint);
        bindShortcut(this, button, keys, hint);
    }
    connect(abcTBSave, &QToolButton::clicked, this, &TfrmEdit::abcTBSaveClick);
    connect(abcTBCopy, &QToolButton::clicked, this, &TfrmEdit::abcTBCopyClick);
    connect(abcTBWallpaper, &QToolButton::clicked, this, &TfrmEdit::abcTBWallpaperClick);

    cbSize = new QComboBox(Panel2);
    nameComboForScreenReaders(cbSize);
    cbSize->setObjectName(u"cbSize"_s);
    cbSize->setEditable(true);
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    cbSize->addItems({u"10%"_s, u"25%"_s, u"50%"_s, u"100%"_s, u"200%"_s});
    cbSize->setCurrentIndex(2);
    cbSize->setToolTip(tr("Image size"));
    // Named for what it is, not by the percentage it shows.
    cbSize->setAccessibleName(tr("Image size"));
    cbSize->setAccessibleDescription(tr("Zoom of the logo view, in percent"));
    placeVisually(cbSize,
                  QRect(74, 1, 51, std::min(cbSize->sizeHint().height(), kToolbarHeight - 2)));
    fitNarrowCombo(cbSize); // 51 pixels must show "100%" whole
    // Every keystroke and every choice refits the view.
    connect(cbSize, &QComboBox::currentTextChanged, this, &TfrmEdit::zoomTextChanged);
}

void TfrmEdit::buildInputPanel() {
    pDynamic = new QFrame(pLeft);
    pDynamic->setObjectName(u"pDynamic"_s);
    pDynamic->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pDynamic->setLineWidth(1);

    sbInputs = new QScrollArea(pDynamic);
    sbInputs->setObjectName(u"sbInputs"_s);
    sbInputs->setFrameShape(QFrame::NoFrame);
    sbInputs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sbInputs->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    sbInputs->setWidgetResizable(false);
    sbInputs->setAccessibleName(tr("Texts of the logo"));
    pInputs = new QWidget;
    pInputs->setObjectName(u"pInputs"_s);
    sbInputs->setWidget(pInputs);
    sbInputs->viewport()->installEventFilter(this);

    bbBatch = new QPushButton(tr("Batch process"), pDynamic);
    bbBatch->setObjectName(u"bbBatch"_s);
    bbBatch->setGeometry(kBatchLeft, 0, 113, 17);
    fitNarrowButton(bbBatch);
    bindShortcut(this, bbBatch, QKeySequence(Qt::CTRL | Qt::Key_B), tr("Batch process"));
    connect(bbBatch, &QPushButton::clicked, this, &TfrmEdit::bbBatchClick);

    Label1 = new QLabel(tr("Copyright \u00A9 2024"), pDynamic);
    Label1->setObjectName(u"Label1"_s);
    Label2 = new QLabel(tr("Zotmaker authors"), pDynamic);
    Label2->setObjectName(u"Label2"_s);
    for (QLabel* label : {Label1, Label2})
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    abcURLLabel1 = new TabcURLLabel(pDynamic);
    abcURLLabel1->setObjectName(u"abcURLLabel1"_s);
    abcURLLabel1->setText(u"zotmaker.example"_s);
    abcURLLabel1->setUrl(QUrl(QString::fromLatin1(kMakerAddress)));

    pDynamic->installEventFilter(this);
}

void TfrmEdit::buildMiddle() {
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);

    // The logo's scroll box and the about text share one place; the about
    // text lies on top while it is shown.
    auto* middle = new QWidget(Splitter1);
    auto* grid = new QGridLayout(middle);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    ScrollBox1 = new QScrollArea(middle);
    ScrollBox1->setObjectName(u"ScrollBox1"_s);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox1->setAccessibleName(tr("Logo view"));
    imgEdit = new TLogoView(*engine_, nullptr);
    imgEdit->setObjectName(u"imgEdit"_s);
    imgEdit->setDeviceSize(QSize(0, 0));
    imgEdit->setAccessibleName(tr("Logo"));
    ScrollBox1->setWidget(imgEdit);

    reAbout = new QTextEdit(middle);
    reAbout->setObjectName(u"reAbout"_s);
    reAbout->setReadOnly(true);
    reAbout->setFrameShape(QFrame::NoFrame);
    reAbout->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reAbout->setLineWrapMode(QTextEdit::WidgetWidth);
    reAbout->setFocusPolicy(Qt::ClickFocus); // not a tab stop
    reAbout->setHtml(builtInAboutText());
    reAbout->setAccessibleName(tr("About Zotmaker"));

    grid->addWidget(ScrollBox1, 0, 0);
    grid->addWidget(reAbout, 0, 0);
    reAbout->raise();

    mErrors = new QPlainTextEdit(Splitter1);
    mErrors->setObjectName(u"mErrors"_s);
    mErrors->setReadOnly(true);
    mErrors->setLineWrapMode(QPlainTextEdit::NoWrap);
    mErrors->setAccessibleName(tr("Error list"));
    mErrors->setAccessibleDescription(tr("Problems found in the design's script"));
    mErrors->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mErrors->hide();
    connect(mErrors, &QPlainTextEdit::textChanged, this, &TfrmEdit::mErrorsChange);

    Splitter1->addWidget(middle);
    Splitter1->addWidget(mErrors);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
}

void TfrmEdit::FormCreate() {
    QByteArray content;
    bool read = false;
    for (const QString& path :
         aboutFileCandidates(QString::fromLatin1(kAboutFile), engine_->programFolder())) {
        // Only a regular file: a pipe or a device in its place is no about file.
        read = readNativeFile(path, kMaxAboutBytes, content) == NativeRead::Read;
        if (read)
            break;
    }
    if (!read) {
        showErrorBox(Error::cannotOpenFile(QString::fromLatin1(kAboutFile)).message());
        return; // the built-in text stays
    }
    loadRichText(*reAbout->document(), content);
    // The reader leaves the view at the end of the text; start at the heading.
    reAbout->moveCursor(QTextCursor::Start);
}

QString TfrmEdit::builtInAboutText() {
    return u"<p><b><span style=\"font-size:14pt\">Zotmaker Logo Builder</span></b><br>"
           "(ZOT)</p>"
           "<p><b>ZOT</b><br>"
           "ZOT builds logos from designs. Pick a design in the strip at the top, type your "
           "texts into the boxes on the left and watch the logo change as you type. Save it "
           "as a bitmap, copy it or make it your wallpaper.<br>"
           "Every design is a folder holding a logo script (script.zot), a thumbnail and "
           "the pictures and fonts the script names; the sample designs lie next to the "
           "program. You can make designs of your own: put the folder in "
           "~/.local/share/zotmaker/designs/ and it joins the catalogue, after the sample "
           "designs, at once. Please send us the designs you make, so that others "
           "can enjoy them too.<br>"
           "The logo-script language is described in docs/script-language.md.</p>"
           "<p><b>Download</b><br>"
           "Newer versions are published on zotmaker.example.</p>"
           "<p><b>Known problems</b><br>"
           "ZOT was written in a hurry. It works, but in places it can still be made "
           "better.</p>"
           "<p><b>Copyright</b><br>"
           "Copyright \u00A9 2024 the Zotmaker authors.</p>"
           "<p><b>Distribution</b><br>"
           "You may pass copies of ZOT on to others, but only complete and unchanged, "
           "just as you received them.</p>"_s;
}

void TfrmEdit::OpenDesign(const QString& folderName, const QString& parentFolder) {
    // Also after a failed opening: fixing the script opens it. Typing goes
    // to the first text box, replacing its default text.
    struct Follow {
        TfrmEdit& editor;
        ~Follow() {
            editor.reloader_->follow(*editor.engine_);
            if (editor.LabelCount > 0) {
                QLineEdit* first = editor.Edits.front();
                first->setFocus(Qt::OtherFocusReason);
                first->selectAll();
            }
        }
    } follow{*this};
    engine_->OpenDesign(folderName, parentFolder);
}

void TfrmEdit::ResetDesign() {
    reloader_->stop();
    engine_->ResetDesign();
}

void TfrmEdit::reopenDesign() {
    if (!engine_->hasDesign())
        return;
    // The user may be typing: the same input keeps the focus and the cursor.
    int focused = 0;
    int cursor = 0;
    for (int i = 1; i <= LabelCount; ++i) {
        if (Edits[size_t(i - 1)]->hasFocus()) {
            focused = i;
            cursor = Edits[size_t(i - 1)]->cursorPosition();
        }
    }
    const auto report = [this](const QString& message) { engine_->appendError(message); };
    try {
        engine_->ReopenDesign();
    } catch (const Error& e) {
        report(e.message());
    } catch (const std::bad_alloc&) {
        report(u"Out of memory"_s);
    }
    ++reopenCount_;
    reloader_->follow(*engine_);
    if (focused >= 1 && focused <= LabelCount) {
        QLineEdit* edit = Edits[size_t(focused - 1)];
        edit->setFocus();
        edit->setCursorPosition(cursor);
    }
}

void TfrmEdit::labelInputAdded(int i, const QString& editText, const QString& caption) {
    Q_ASSERT(i == LabelCount + 1);
    LabelCount = i;
    auto* edit = new QLineEdit(pInputs);
    edit->setObjectName(u"Edit%1"_s.arg(i));
    Edits.push_back(edit);
    auto* label = new QLabel(pInputs);
    label->setTextFormat(Qt::PlainText); // a design's caption is never markup
    label->setObjectName(u"Label%1Caption"_s.arg(i));
    Labels.push_back(label);

    // Heights as the controls stand before any text: the caption one line of
    // the panel's font, the edit box what fits its font.
    const int captionHeight = label->fontMetrics().height();
    const int editHeight = edit->sizeHint().height();
    rowPitch_ = captionHeight + editHeight + 3;
    const int top = (i - 1) * rowPitch_;

    edit->setGeometry(kInputLeft, top + captionHeight,
                      std::max(0, pInputs->width() - 2 * kInputLeft), editHeight);
    edit->setText(editText);
    edit->setCursorPosition(0); // show a long default text from its start
    // Only now: the default text must not render.
    connect(edit, &QLineEdit::textChanged, this, [this, i] { LabelInputChange(i); });

    label->setText(caption);
    // A screen reader names the box by its caption (the label is no buddy:
    // a design's caption may hold "&").
    edit->setAccessibleName(caption.isEmpty() ? tr("Text %1").arg(i) : caption);
    placeVisually(label, QRect(kInputLeft, top + 1, label->sizeHint().width(), captionHeight));

    edit->show();
    label->show();
    fitInputsArea();
}

QString TfrmEdit::labelText(int i) const {
    if (i < 1 || i > LabelCount)
        return {};
    return Edits[size_t(i - 1)]->text();
}

void TfrmEdit::labelTextChanged(int i, const QString& text) {
    if (i < 1 || i > LabelCount)
        return;
    QLineEdit* edit = Edits[size_t(i - 1)];
    // Typed texts are there already (and their cursor must stay); a batch
    // line's text is shown without coming back as a change.
    if (edit->text() == text)
        return;
    const QSignalBlocker quiet(edit);
    edit->setText(text);
}

void TfrmEdit::labelInputsRemoved() {
    for (size_t i = 0; i < Edits.size(); ++i) {
        delete Edits[i];
        delete Labels[i];
    }
    Edits.clear();
    Labels.clear();
    LabelCount = 0;
    fitInputsArea();
}

void TfrmEdit::errorAppended(const QString& line) {
    mErrors->appendPlainText(line);
}

void TfrmEdit::errorsHidden() {
    mErrors->hide();
}

void TfrmEdit::mErrorsChange() {
    if (!mErrors->isHidden())
        return;
    mErrors->show();
    if (!errorsSized_ && Splitter1->height() > kErrorListHeight + Splitter1->handleWidth()) {
        errorsSized_ = true;
        Splitter1->setSizes(
            {Splitter1->height() - Splitter1->handleWidth() - kErrorListHeight, kErrorListHeight});
    }
}

void TfrmEdit::captionChanged(const QString& caption) {
    setCaption(caption);
}

void TfrmEdit::setCaption(const QString& caption) {
    caption_ = caption;
    setWindowTitle(literalTitle(caption));
}

void TfrmEdit::viewSizeSet(int width, int height) {
    imgEdit->setDeviceSize(QSize(clampSide(width), clampSide(height)));
}

QString TfrmEdit::zoomNumber() const {
    QString rest = cbSize->currentText();
    // Drop the last character, whatever it is (one whole character, also
    // when it takes two UTF-16 units).
    if (rest.size() >= 2 && rest.back().isLowSurrogate() &&
        rest.at(rest.size() - 2).isHighSurrogate())
        rest.chop(2);
    else
        rest.chop(1);
    return rest;
}

bool TfrmEdit::refitCanFail() const {
    return !tryStrToInt(zoomNumber()).has_value();
}

void TfrmEdit::cbSizeChange() {
    const qint32 percent = StrToInt(zoomNumber());
    const long double factor = static_cast<long double>(percent) / 100.0L;
    const Bitmap& logo = engine_->logo();
    const int width = zoomedSide(logo.width(), factor);
    const int height = zoomedSide(logo.height(), factor);
    imgEdit->setDeviceSize(QSize(width, height));
}

void TfrmEdit::zoomTextChanged() {
    runGuarded([this] { cbSizeChange(); });
}

void TfrmEdit::outputControlsEnabled(bool enabled) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{abcTBSave, abcTBCopy, abcTBWallpaper, cbSize, bbBatch})
        control->setEnabled(enabled);
}

void TfrmEdit::LabelInputChange(int i) {
    runGuarded([this, i] { engine_->setLabelText(i, labelText(i)); });
}

void TfrmEdit::logoChanged() {
    imgEdit->logoChanged(engine_->changedArea());
    // What a screen reader says of the picture: its size and its texts.
    const Bitmap& logo = engine_->logo();
    QStringList texts;
    for (int i = 1; i <= LabelCount; ++i)
        if (const QString text = labelText(i); !text.isEmpty())
            texts.append(text);
    imgEdit->setAccessibleDescription(tr("%1 \u00d7 %2 pixels: %3")
                                          .arg(logo.width())
                                          .arg(logo.height())
                                          .arg(texts.join(u", "_s)));
}

void TfrmEdit::FormResize() {
    // The notice labels' height follows the font, so the batch button is
    // placed from them rather than from a fixed distance to the bottom.
    pDynamicResize();
}

void TfrmEdit::pDynamicResize() {
    const QRect area = pDynamic->contentsRect();
    int y = area.bottom() + 1;
    for (QLabel* label : std::initializer_list<QLabel*>{abcURLLabel1, Label2, Label1}) {
        const int height = label->sizeHint().height();
        y -= height;
        label->setGeometry(area.left(), y, area.width(), height);
    }
    placeVisually(bbBatch,
                  QRect(QPoint(kBatchLeft, Label1->y() - bbBatch->height()), bbBatch->size()));
    sbInputs->setGeometry(area.left(), area.top(), area.width(),
                          std::max(0, bbBatch->y() - 2 - area.top()));
}

void TfrmEdit::fitInputsArea() {
    const QWidget* viewport = sbInputs->viewport();
    const int width = viewport->width();
    const int height = std::max(LabelCount * rowPitch_, viewport->height());
    if (pInputs->size() != QSize(width, height))
        pInputs->resize(width, height);
    for (QLineEdit* edit : Edits)
        edit->resize(std::max(0, width - 2 * kInputLeft), edit->height());
    for (QLabel* label : Labels)
        placeVisually(label, QRect(QPoint(kInputLeft, label->y()), label->size()));
}

void TfrmEdit::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

bool TfrmEdit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == pDynamic)
            pDynamicResize();
        else if (watched == sbInputs->viewport())
            fitInputsArea();
    }
    return QWidget::eventFilter(watched, event);
}

QString TfrmEdit::wallpaperPath() const {
    return wallpaperFolder(engine_->programFolder()) + QString::fromLatin1(kWallpaperFile);
}

void TfrmEdit::abcTBSaveClick() {
    runGuarded([this] {
        // Always "zot.bmp", never the name used last time.
        SaveDialog.FileName = u"zot.bmp"_s;
        if (!SaveDialog.Execute(this))
            return;
        if (SaveDialog.FilterIndex == 2)
            writeLogoFile(engine_->logo(), engine_->alphaLogo(), SaveDialog.FileName,
                          LogoFormat::Png);
        else
            writeBmpFile(engine_->logo(), SaveDialog.FileName);
    });
}

void TfrmEdit::abcTBCopyClick() {
    runGuarded([this] {
        const QImage& alpha = engine_->alphaLogo();
        copyToClipboard(alpha.isNull() ? engine_->logo().toImage()
                                       : alpha.convertToFormat(QImage::Format_ARGB32));
    });
}

void TfrmEdit::abcTBWallpaperClick() {
    runGuarded([this] {
        const QString path = wallpaperPath();
        // A file that cannot be written throws here, before any setting changes.
        writeBmpFile(engine_->logo(), path);
        setDesktopWallpaper(path);
    });
}

void TfrmEdit::bbBatchClick() {
    runGuarded([this] {
        if (!odBatch.Execute(this))
            return;
        if (!ddSafeTo.Execute(this))
            return;
        std::optional<TextLineReader> lineReader;
        std::optional<BatchFileLines> batchLines;
        std::optional<DataFileReader> rowReader;
        std::optional<DataBatch> rows;
        BatchSource* lines = nullptr;
        if (odBatch.FilterIndex == kSpreadsheetFilter) {
            const bool tabs = odBatch.FileName.endsWith(u".tsv"_s, Qt::CaseInsensitive);
            rowReader.emplace(odBatch.FileName, tabs ? DataFormat::Tsv : DataFormat::Csv);
            // The names of the logos come from its column "file" alone.
            if (rowReader->columns() && !hasNameColumn(*rowReader->columns()))
                throw Error(tr("The spreadsheet %1 has no column \"file\" for the names of the "
                               "logos")
                                .arg(odBatch.FileName));
            lines = &rows.emplace(*rowReader, *engine_);
        } else {
            lineReader.emplace(odBatch.FileName);
            lines = &batchLines.emplace(*lineReader, engine_->LabelCount());
        }
        // A long batch shows its progress and can be cancelled; the window
        // itself takes no input until the batch ends.
        QProgressDialog progress(tr("Making logos\u2026"), tr("Cancel"), 0,
                                 int(std::min<qint64>(lines->lineCount(), INT_MAX)), this);
        progress.setObjectName(u"batchProgress"_s);
        progress.setWindowTitle(tr("Batch process"));
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(batchProgressDelay);
        progress.setAutoReset(false);
        progress.setValue(0);
        BatchOptions options;
        options.jobs = batchJobs;
        // Several jobs finish lines faster than a dialog needs to hear of
        // them: it is told (and takes its Cancel) a few dozen times a second.
        QElapsedTimer told;
        options.progress = [&progress, &told](qint64 done, qint64) {
            if (!told.isValid() || told.hasExpired(kBatchProgressInterval) ||
                done >= progress.maximum()) {
                progress.setValue(int(std::min<qint64>(done, progress.maximum())));
                told.start();
            }
            return !progress.wasCanceled();
        };
        // The design must not change under a running batch.
        reloader_->setHeld(true);
        struct Release {
            DesignReloader& reloader;
            ~Release() { reloader.setHeld(false); }
        } release{*reloader_};
        // A missing ";" or a malformed row is reported in the error list by
        // the batch itself.
        RunBatch(*engine_, *lines, ddSafeTo.Directory, options);
    });
}

} // namespace zot
