#pragma once

// The wallpaper's ways to each desktop, behind setDesktopWallpaper.
#include <QString>

namespace zot::wallpaper {

// Throws the "Failed to set data for '<setting>'" error.
[[noreturn]] void failedToSet(const QString& setting);

void setThroughGSettings(const char* schemaId, const QString& file, const QString& schemaDirectory);
void setThroughPlasmaShell(const QString& file);
void setThroughXfconf(const QString& file);

// The script the Plasma shell runs: every desktop shows the file centred on
// white, switching between the two URI spellings so that it reloads.
QString plasmaScript(const QString& file);

} // namespace zot::wallpaper
