#pragma once

#include <QString>

namespace zot {

// The application's font table, standing in for the system one: fonts a
// design installs are added for the run and withdrawn at the next reset.
// Returns an id for removeFont, -1 when the file cannot be added.
int addFontFile(const QString& path);
void removeFont(int id);

} // namespace zot
