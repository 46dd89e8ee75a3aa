#pragma once

#include <QString>

namespace zot {

// Shows folder in the desktop's file manager: through the freedesktop
// FileManager1 service on the session bus, else through the default handler
// of its file: address. Throws Error when neither takes it.
void showFolder(const QString& folder);

// The FileManager1 call alone; false when no service answered.
bool showFolderOverBus(const QString& folder);

} // namespace zot
