#include "logo/HeadlessEditor.h"

namespace zot {

void HeadlessEditor::labelInputAdded(int i, const QString& text, const QString& caption) {
    // Inputs come in order, numbered from 1.
    Q_ASSERT(i == texts_.size() + 1);
    texts_.append(text);
    captions_.append(caption);
}

void HeadlessEditor::labelInputsRemoved() {
    texts_.clear();
    captions_.clear();
}

void HeadlessEditor::labelTextChanged(int i, const QString& text) {
    if (i >= 1 && i <= texts_.size())
        texts_[i - 1] = text;
}

QString HeadlessEditor::labelText(int i) const {
    return i >= 1 && i <= texts_.size() ? texts_[i - 1] : QString();
}

QString HeadlessEditor::labelCaption(int i) const {
    return i >= 1 && i <= captions_.size() ? captions_[i - 1] : QString();
}

void HeadlessEditor::errorAppended(const QString& line) {
    errors_.append(line);
    errorsVisible_ = true;
    if (errorSink_)
        errorSink_(line);
}

void HeadlessEditor::viewSizeSet(int width, int height) {
    viewWidth_ = width;
    viewHeight_ = height;
}

} // namespace zot
