#pragma once

#include <QString>

namespace zot {

// Makes the picture file the desktop background, centred on white, through
// the desktop's own settings (GSettings schema org.gnome.desktop.background).
// Without that schema nothing is written and nothing reported. Throws
// Error("Failed to set data for '<key>'") when a value cannot be written.
// schemaDirectory replaces the installed schemas (tests point it elsewhere).
void setDesktopWallpaper(const QString& file, const QString& schemaDirectory = {});

// The two spellings of a file's URI that setDesktopWallpaper alternates
// between, so the desktop sees a change and reloads an unchanged file name.
QString wallpaperUri(const QString& file, bool escaped);

} // namespace zot
