#pragma once

#include <QString>
#include <functional>

namespace zot {

// Receives the text the error box shows (full stop already added).
using ErrorBoxHandler = std::function<void(const QString& text)>;

// The one error box: title "Zotmaker", stop icon, OK, errorBoxText(message).
void showErrorBox(const QString& message);

// Replaces what showErrorBox does; an empty handler restores the message box.
// Returns the handler that was installed before. Tests record texts with it.
ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler handler);

// Runs one action of a handler; a failure ends the action in the error box
// and never travels further (no exception may cross the event loop).
void runGuarded(const std::function<void()>& action);

} // namespace zot
