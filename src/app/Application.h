#pragma once

namespace zot {

// Names the running program to the desktop: application name "Zotmaker" and
// the desktop entry zotmaker.desktop. No display name is set, since Qt would
// append it to every window title ("ZOT — Zotmaker").
void configureApplication();

} // namespace zot
