#include "editor/HeadlessEditor.h"

#include "logo/LogoEngine.h"

namespace zot {

int HeadlessEditor::AddLabelInput(const QString& editText, const QString& caption) {
    texts_.append(editText);
    captions_.append(caption);
    return int(texts_.size());
}

QString HeadlessEditor::labelText(int i) const {
    return i >= 1 && i <= texts_.size() ? texts_[i - 1] : QString();
}

QString HeadlessEditor::labelCaption(int i) const {
    return i >= 1 && i <= captions_.size() ? captions_[i - 1] : QString();
}

void HeadlessEditor::setLabelText(int i, const QString& text) {
    if (i < 1 || i > texts_.size() || texts_[i - 1] == text)
        return;
    texts_[i - 1] = text;
    // As the edit box's change notification: every change renders.
    if (engine_)
        engine_->RenderLogo();
}

void HeadlessEditor::removeLabelInputs() {
    texts_.clear();
    captions_.clear();
}

void HeadlessEditor::appendError(const QString& line) {
    errors_.append(line);
    errorsVisible_ = true;
    if (errorSink_)
        errorSink_(line);
}

void HeadlessEditor::setViewSize(int width, int height) {
    viewWidth_ = width;
    viewHeight_ = height;
}

} // namespace zot
