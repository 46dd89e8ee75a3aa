#include "platform/FontTable.h"

#include "platform/NativeFiles.h"

#include <QFontDatabase>

namespace zot {

namespace {

// No font file comes near this; a larger one is not read.
constexpr qint64 kMaxFontFileBytes = qint64(64) * 1024 * 1024;

} // namespace

int addFontFile(const QString& path) {
    if (nativePath(path) == path.toUtf8())
        return QFontDatabase::addApplicationFont(path);
    // A name Qt cannot spell (Windows-1252 bytes): read it by its bytes.
    QFile file;
    if (!nativeIsFile(path) || !openNativeFile(file, path) || file.size() > kMaxFontFileBytes)
        return -1;
    return QFontDatabase::addApplicationFontFromData(file.read(kMaxFontFileBytes));
}

void removeFont(int id) {
    if (id >= 0)
        QFontDatabase::removeApplicationFont(id);
}

} // namespace zot
