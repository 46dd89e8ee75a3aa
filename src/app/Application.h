#pragma once

namespace zot {

// Names the running program to the desktop: application name "Zotmaker",
// the desktop entry zotmaker.desktop and the drawn window icon. No display name is set, since Qt
// would append it to every window title ("ZOT — Zotmaker").
void configureApplication();

} // namespace zot
