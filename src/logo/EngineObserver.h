#pragma once

#include <QString>

namespace zot {

// What the logo engine tells the editor that shows it. Notifications go one
// way: the engine owns the design and its texts, and a driver (the editor
// window, the command-line tool) mirrors what it needs. Every function has a
// default that ignores the news.
class EngineObserver {
  public:
    virtual ~EngineObserver() = default;

    // Label input i (from 1) was created with its default text and caption.
    virtual void labelInputAdded(int i, const QString& text, const QString& caption);
    // Every label input is gone; the next one is number 1 again.
    virtual void labelInputsRemoved();
    // The engine took a new text for input i (typed, or set by a batch line);
    // the rendering it causes follows.
    virtual void labelTextChanged(int i, const QString& text);

    // One line was appended to the error list, which then shows itself.
    virtual void errorAppended(const QString& line);
    // The error list hides; its lines stay.
    virtual void errorsHidden();

    virtual void captionChanged(const QString& caption);
    // A background picture was loaded: the view takes its size for now.
    virtual void viewSizeSet(int width, int height);
    // The logo has its new size: the place where the view refits to the
    // zoom. An exception thrown here ends the rendering in progress.
    virtual void logoResized();
    // Whether logoResized may throw. The engine foresees a line's renderings
    // (and skips drawing those in between) only where it cannot.
    virtual bool refitCanFail() const;
    // A rendering finished, or ended early: the logo shows something new.
    virtual void logoChanged();
    // Save, copy, wallpaper, zoom and batch: usable while a design is open.
    virtual void outputControlsEnabled(bool enabled);
};

} // namespace zot
