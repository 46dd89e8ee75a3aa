#include "logo/LogoEngine.h"

#include "platform/FontTable.h"
#include "platform/TextDecoding.h"

namespace zot {

LogoEngine::LogoEngine(EngineObserver& observer, QString programFolder)
    : observer_(observer), programFolder_(std::move(programFolder)) {
    if (!programFolder_.isEmpty() && !programFolder_.endsWith(u'/'))
        programFolder_ += u'/';
}

LogoEngine::~LogoEngine() {
    // The fonts a design installed are only ours for the run.
    for (int id : std::as_const(design_.mFontIds))
        removeFont(id);
}

QString LogoEngine::designFolderPath() const {
    QString path = joinPath(programFolder_, design_.DesignFolder);
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString LogoEngine::designFile(const QString& value) const {
    return resolver_.resolve(designFolderPath(), value);
}

QString LogoEngine::labelText(int i) const {
    return i >= 1 && i <= LabelCount() ? labels_[size_t(i - 1)].text : QString();
}

QString LogoEngine::labelCaption(int i) const {
    return i >= 1 && i <= LabelCount() ? labels_[size_t(i - 1)].caption : QString();
}

bool LogoEngine::setLabelText(int i, const QString& text) {
    if (i < 1 || i > LabelCount())
        return false;
    QString& current = labels_[size_t(i - 1)].text;
    if (current == text)
        return false;
    current = text;
    observer_.labelTextChanged(i, text);
    RenderLogo();
    return true;
}

void LogoEngine::setLabelTexts(const QStringList& fields) {
    for (qsizetype k = 0; k < fields.size(); ++k)
        setLabelText(int(k + 1), fields[k]);
}

int LogoEngine::AddLabelInput(const QString& editText, const QString& caption) {
    labels_.push_back({editText, caption});
    const int i = LabelCount();
    // The default text is the input's own: it renders nothing.
    observer_.labelInputAdded(i, editText, caption);
    return i;
}

void LogoEngine::appendError(const QString& line) {
    observer_.errorAppended(line);
}

void LogoEngine::OpenDesign(const QString& folderName) {
    ResetDesign();
    observer_.outputControlsEnabled(true);
    design_.ExpandFrom = ExpandMode::None;
    design_.HasExtraLeft = false;
    design_.HasExtraRight = false;
    design_.HasExtraCenter = false;
    design_.DesignFolder = folderName;
    resolver_.clear();
    reScript.assign(readTextLines(designFile(QStringLiteral("script.zot"))));
    observer_.errorsHidden();
    ParseScript();
    observer_.logoResized();
}

void LogoEngine::ResetDesign() {
    observer_.outputControlsEnabled(false);
    labels_.clear();
    observer_.labelInputsRemoved();
    while (!design_.mFonts.isEmpty()) {
        removeFont(design_.mFontIds.takeFirst());
        design_.mFonts.removeFirst();
    }
    design_.TtfFonts.clear();
    design_.ImgFonts.clear();
    design_.LineNumber = 0;
}

} // namespace zot
