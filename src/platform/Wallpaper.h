#pragma once

#include <QString>

namespace zot {

// The desktops whose wallpaper the program knows how to set.
enum class Desktop { Unknown, Gnome, Cinnamon, Mate, Plasma, Xfce };

// The desktop named by an XDG_CURRENT_DESKTOP value: a colon-separated list,
// most specific first; the first name we know decides. GNOME's relatives
// (Unity, Budgie, Pantheon, ...) keep GNOME's background settings.
Desktop detectDesktop(const QString& xdgCurrentDesktop);

// Makes the picture file the desktop background, centred on white, the way
// the running desktop (XDG_CURRENT_DESKTOP) expects: GSettings for GNOME and
// its relatives, Cinnamon and MATE, the shell's scripting interface over
// D-Bus for KDE Plasma, xfconf over D-Bus for Xfce (every monitor and
// workspace). Throws Error("Failed to set data for '<setting>'") when there is
// no supported way or a value cannot be written. schemaDirectory replaces the
// installed GSettings schemas (tests point it elsewhere).
void setDesktopWallpaper(const QString& file, const QString& schemaDirectory = {});

// The two spellings of a file's URI that setDesktopWallpaper alternates
// between, so the desktop sees a change and reloads an unchanged file name.
QString wallpaperUri(const QString& file, bool escaped);

// The same for desktops that take a plain path: the absolute path, or the
// same file through "/./" before its name.
QString wallpaperPath(const QString& file, bool alternate);

} // namespace zot
