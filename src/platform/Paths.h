#pragma once

#include <QString>

namespace zot {

// Joins a folder and a name as written in a design or batch file. "\" in the
// name separates folders, so designs written on Windows work unchanged. Each
// component that does not exist as written is looked up ignoring case.
QString joinPath(const QString& folder, const QString& name);

// The folder that holds the running executable.
QString programFolder();

} // namespace zot
