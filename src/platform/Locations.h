#pragma once

#include <QString>
#include <QStringList>

namespace zot {

// Where the program finds and keeps its own files. Installed, the program
// folder belongs to root; started from a launcher, the working folder is the
// home folder. These rules keep the build tree working as before.

// $XDG_DATA_HOME/zotmaker/, or ~/.local/share/zotmaker/ when the variable is
// unset, empty or not absolute. Ends in "/". Not created here.
QString userDataFolder();

// The places the about file is read from, in order: the working folder (the
// bare name), then the program folder.
QStringList aboutFileCandidates(const QString& fileName, const QString& programFolder);

// Whether a new file can be created in folder. Tried, not derived from the
// permission bits, which do not bind root.
bool canCreateFilesIn(const QString& folder);

// The folder for the wallpaper file: the program folder when a file can be
// created there, otherwise userDataFolder(), which is then created.
QString wallpaperFolder(const QString& programFolder);

} // namespace zot
