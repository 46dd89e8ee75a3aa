#include "logo/LogoEngine.h"

#include "platform/FontTable.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"
#include "text/TextDecoding.h"

#include <algorithm>

namespace zot {

LogoEngine::LogoEngine(EngineObserver& observer, QString programFolder)
    : observer_(observer), programFolder_(std::move(programFolder)) {
    if (!programFolder_.isEmpty() && !programFolder_.endsWith(u'/'))
        programFolder_ += u'/';
}

LogoEngine::~LogoEngine() = default; // the design's fonts leave the font table with it

QString LogoEngine::designFolderPath() const {
    QString path =
        joinPath(designParent_.isEmpty() ? programFolder_ : designParent_, design_.DesignFolder);
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

QString LogoEngine::labelDefault(int i) const {
    return i >= 1 && i <= LabelCount() ? labels_[size_t(i - 1)].defaultText : QString();
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

std::vector<int> LogoEngine::changedInputs(const QStringList& fields) const {
    std::vector<int> changed;
    const qsizetype n = std::min<qsizetype>(fields.size(), LabelCount());
    for (qsizetype k = 0; k < n; ++k) {
        if (fields[k] != labels_[size_t(k)].text)
            changed.push_back(int(k));
    }
    return changed;
}

void LogoEngine::takeFields(const QStringList& fields, const std::vector<int>& changed) {
    for (int k : changed) {
        labels_[size_t(k)].text = fields[k];
        observer_.labelTextChanged(k + 1, fields[k]);
    }
}

bool LogoEngine::simulateRenderings(const QStringList& fields, const std::vector<int>& changed,
                                    bool last) {
    if (observer_.refitCanFail())
        return false;
    std::vector<qint32> saved;
    std::vector<QString> texts;
    for (const auto& font : design_.ImgFonts)
        saved.push_back(font->CharSpace);
    for (const LabelInput& input : labels_)
        texts.push_back(input.text);
    const auto restore = [&] {
        for (size_t i = 0; i < saved.size(); ++i)
            design_.ImgFonts[i]->CharSpace = saved[i];
        for (size_t i = 0; i < texts.size(); ++i)
            labels_[i].text = texts[i];
    };
    const size_t renderings = last ? changed.size() : changed.size() - 1;
    std::vector<qint32> charSpaces;
    for (size_t r = 0; r < renderings; ++r) {
        labels_[size_t(changed[r])].text = fields[changed[r]];
        if (!renderWouldSucceed(&charSpaces)) {
            restore();
            return false;
        }
        leaveCharSpaces(charSpaces);
    }
    for (size_t i = 0; i < texts.size(); ++i)
        labels_[i].text = texts[i];
    return true;
}

void LogoEngine::leaveCharSpaces(const std::vector<qint32>& charSpaces) {
    // Fill alignment's spacing is all a rendering keeps in the fonts; it was
    // laid out once, for the check (a batch plans every line).
    for (size_t i = 0; i < design_.ImgFonts.size() && i < charSpaces.size(); ++i)
        design_.ImgFonts[i]->CharSpace = charSpaces[i];
}

void LogoEngine::setLabelTexts(const QStringList& fields) {
    const std::vector<int> changed = changedInputs(fields);
    if (changed.size() > 1 && simulateRenderings(fields, changed, false)) {
        takeFields(fields, changed);
        RenderLogo();
        return;
    }
    for (int k : changed)
        setLabelText(k + 1, fields[k]);
}

std::optional<LogoEngine::Plan> LogoEngine::planLabelTexts(const QStringList& fields) {
    const std::vector<int> changed = changedInputs(fields);
    if (changed.empty())
        return std::nullopt;
    Plan plan;
    if (changed.size() > 1 && !simulateRenderings(fields, changed, false)) {
        setLabelTexts(fields);
        plan.rendered = true;
        return plan;
    }
    takeFields(fields, changed);
    std::vector<qint32> charSpaces;
    plan = planTakenFields(&charSpaces);
    if (!plan.rendered)
        leaveCharSpaces(charSpaces);
    return plan;
}

LogoEngine::Plan LogoEngine::planTakenFields(std::vector<qint32>* charSpaces) {
    Plan plan;
    if (observer_.refitCanFail() || !renderWouldSucceed(charSpaces)) {
        RenderLogo();
        plan.rendered = true;
        return plan;
    }
    plan.state = renderState();
    return plan;
}

bool LogoEngine::carriesState() const {
    return std::any_of(design_.ImgFonts.begin(), design_.ImgFonts.end(),
                       [](const auto& font) { return font->Align == u'F'; });
}

std::optional<LogoEngine::Plan> LogoEngine::skimLabelTexts(const QStringList& fields) {
    if (carriesState())
        return planLabelTexts(fields);
    const std::vector<int> changed = changedInputs(fields);
    if (changed.empty())
        return std::nullopt;
    takeFields(fields, changed);
    return planTakenFields();
}

LogoEngine::RenderState LogoEngine::renderState() const {
    RenderState state;
    for (const LabelInput& input : labels_)
        state.texts.append(input.text);
    for (const auto& font : design_.ImgFonts)
        state.charSpaces.push_back(font->CharSpace);
    return state;
}

void LogoEngine::renderFrom(const RenderState& state) {
    const size_t inputs = std::min<size_t>(labels_.size(), size_t(state.texts.size()));
    for (size_t i = 0; i < inputs; ++i)
        labels_[i].text = state.texts[qsizetype(i)];
    const size_t fonts = std::min(design_.ImgFonts.size(), state.charSpaces.size());
    for (size_t i = 0; i < fonts; ++i)
        design_.ImgFonts[i]->CharSpace = state.charSpaces[i];
    RenderLogo();
}

void LogoEngine::takeTextsTold(const QStringList& texts) {
    const size_t inputs = std::min<size_t>(labels_.size(), size_t(texts.size()));
    for (size_t i = 0; i < inputs; ++i) {
        const QString& text = texts[qsizetype(i)];
        if (labels_[i].text != text) {
            labels_[i].text = text;
            observer_.labelTextChanged(int(i + 1), text);
        }
    }
}

void LogoEngine::rewindTo(const RenderState& start) {
    takeTextsTold(start.texts);
    renderFrom(start);
}

void LogoEngine::rewindTo(const RenderState& after, const Bitmap& logo, const QImage& alphaLogo) {
    takeTextsTold(after.texts);
    const size_t fonts = std::min(design_.ImgFonts.size(), after.charSpaces.size());
    for (size_t i = 0; i < fonts; ++i)
        design_.ImgFonts[i]->CharSpace = after.charSpaces[i];
    struct Changed {
        EngineObserver& observer;
        ~Changed() { observer.logoChanged(); }
    } changed{observer_};
    // The next rendering starts afresh: what was drawn is no longer known.
    drawn_.reset();
    logo_ = logo;
    alphaLogo_ = alphaWanted_ && design_.hasAlpha() ? alphaLogo : QImage();
    changedArea_ = QRect(0, 0, logo_.width(), logo_.height());
    observer_.logoResized();
}

int LogoEngine::AddLabelInput(const QString& editText, const QString& caption) {
    const qsizetype k = qsizetype(labels_.size());
    const QString text =
        k < keptTexts_.size() && !keptTexts_[k].isNull() ? keptTexts_[k] : editText;
    labels_.push_back({text, caption, editText});
    const int i = LabelCount();
    // The default text is the input's own: it renders nothing.
    observer_.labelInputAdded(i, text, caption);
    return i;
}

void LogoEngine::appendError(const QString& line) {
    observer_.errorAppended(line);
}

void LogoEngine::OpenDesign(const QString& folderName, const QString& parentFolder) {
    ResetDesign();
    hasDesign_ = true;
    observer_.outputControlsEnabled(true);
    design_.ExpandFrom = ExpandMode::None;
    design_.HasExtraLeft = false;
    design_.HasExtraRight = false;
    design_.HasExtraCenter = false;
    design_.DesignFolder = folderName;
    designParent_ = parentFolder;
    resolver_.clear();
    design_.Pictures.reset();
    filesRead_ = {designFile(QStringLiteral("script.zot"))};
    reScript.assign(readScriptLines(filesRead_.front()));
    observer_.errorsHidden();
    ParseScript();
    observer_.logoResized();
}

void LogoEngine::ReopenDesign() {
    if (!hasDesign_)
        return;
    QStringList kept;
    for (const LabelInput& input : labels_)
        kept.append(input.text == input.defaultText ? QString() : input.text);
    keptTexts_ = kept;
    struct Forget {
        QStringList& texts;
        ~Forget() { texts.clear(); }
    } forget{keptTexts_};
    // Copies: the reset inside clears nothing of them, but they must not
    // alias what OpenDesign assigns.
    const QString folder = design_.DesignFolder;
    const QString parent = designParent_;
    OpenDesign(folder, parent);
}

void LogoEngine::ResetDesign() {
    hasDesign_ = false;
    observer_.outputControlsEnabled(false);
    // The logo stays, but no longer belongs to the design's background.
    drawn_.reset();
    composed_ = Bitmap();
    labels_.clear();
    observer_.labelInputsRemoved();
    design_.mFonts.clear();
    design_.mFontTable.removeAll();
    design_.TtfFonts.clear();
    design_.ImgFonts.clear();
    design_.LineNumber = 0;
}

} // namespace zot
