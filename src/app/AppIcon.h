#pragma once

#include <QIcon>

namespace zot {

// The program's icon, the same pictures the desktop's icon theme gets, at
// 16 to 256 pixels: sharp at 1x and 2x.
QIcon applicationIcon();

} // namespace zot
