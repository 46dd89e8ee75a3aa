#include "platform/FontTable.h"

#include <QFontDatabase>

namespace zot {

int addFontFile(const QString& path) {
    return QFontDatabase::addApplicationFont(path);
}

void removeFont(int id) {
    if (id >= 0)
        QFontDatabase::removeApplicationFont(id);
}

} // namespace zot
