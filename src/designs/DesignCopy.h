#pragma once

#include <QString>

namespace zot {

// Why name cannot name a new design of userFolder, in words that follow
// "Cannot use the name ...: "; empty when it can. A name the program folder
// has a design of would be hidden by that design.
QString designNameProblem(const QString& name, const QString& programFolder,
                          const QString& userFolder);

// Copies the design folder sourceFolder into userFolder (made when missing)
// as name: its folders and regular files, never a link, within the limits of
// TreeCopyLimits. The copy is made in a hidden folder beside it and put in
// place only when complete. Returns the new folder's path. Throws Error: a
// name refused, a design too large, a file that cannot be read or written.
QString copyDesign(const QString& sourceFolder, const QString& name, const QString& programFolder,
                   const QString& userFolder);

} // namespace zot
