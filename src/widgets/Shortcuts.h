#pragma once

#include <QKeySequence>
#include <QString>

class QAbstractButton;
class QAction;
class QWidget;

namespace zot {

// Reaches a button from the keyboard anywhere in the window that holds
// owner: the keys do what a click does (nothing while the button is
// disabled) and are named in the button's hint. Keys that an edit box uses
// must not be given here. Returns the action that carries the keys.
QAction* bindShortcut(QWidget* owner, QAbstractButton* button, const QKeySequence& keys,
                      const QString& hint);

// A hint followed by its keys, "Save to file (Ctrl+S)", shown as plain text
// whatever the hint holds.
QString hintWithShortcut(const QString& hint, const QKeySequence& keys);

} // namespace zot
