#include "app/AppIcon.h"

#include <QFile>

// The icon's pictures live in the program (so the build tree has them too);
// a static library must ask for its resources to be registered.
static void registerIconResources() {
    Q_INIT_RESOURCE(zotmaker);
}

namespace zot {

QIcon applicationIcon() {
    if (!QFile::exists(QStringLiteral(":/icons/16.png")))
        registerIconResources();
    // The installed theme's pictures, one per size, so each scale gets a
    // picture drawn for it rather than an enlargement.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace zot
