#pragma once

#include <QIcon>

namespace zot {

// The program's icon, drawn at whatever size and scale it is asked for, so
// that it is sharp at 1x, 2x and any other scale: a white "Z" on blue over a
// yellow bar.
QIcon applicationIcon();

} // namespace zot
