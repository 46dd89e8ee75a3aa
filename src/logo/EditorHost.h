#pragma once

#include <QString>

namespace zot {

// What the logo engine needs of the editor it runs in: the label inputs, the
// error list, the caption, the logo view and the output controls. The Qt
// editor window and the headless editor of the command-line tool implement it.
class EditorHost {
  public:
    virtual ~EditorHost() = default;

    // Creates the next label input with its edit text and caption and returns
    // its number, from 1. The edit box must not notify a change for editText.
    virtual int AddLabelInput(const QString& editText, const QString& caption) = 0;
    // Current text of label input i (1-based); empty for a number without input.
    virtual QString labelText(int i) const = 0;
    virtual int labelCount() const = 0;
    // Sets the text of label input i as if typed: a different text notifies
    // the change (and so renders), the same text does nothing.
    virtual void setLabelText(int i, const QString& text) = 0;
    // Destroys every label input (the next one is number 1 again).
    virtual void removeLabelInputs() = 0;

    // Appends one line to the error list, which then shows itself.
    virtual void appendError(const QString& line) = 0;
    // Hides the error list; its lines stay.
    virtual void hideErrors() = 0;

    virtual void setCaption(const QString& caption) = 0;
    // Gives the logo view a size (the background picture's, when it is loaded).
    virtual void setViewSize(int width, int height) = 0;
    // Refits the logo view to the zoom box and the logo's current size.
    virtual void cbSizeChange() = 0;
    // Save, copy, wallpaper, zoom and batch: enabled while a design is open.
    virtual void setOutputControlsEnabled(bool enabled) = 0;
};

} // namespace zot
