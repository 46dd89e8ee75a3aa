#include "platform/FontTable.h"

#include "platform/NativeFiles.h"

#include <QFontDatabase>

#include <algorithm>

namespace zot {

namespace {

// No font file comes near this; a larger one is not read.
constexpr qint64 kMaxFontFileBytes = qint64(64) * 1024 * 1024;

} // namespace

bool InstalledFonts::add(const QString& path) {
    const QByteArray native = nativePath(path);
    if (const auto it = ids_.constFind(native); it != ids_.cend())
        return *it >= 0;
    int id = -1;
    if (native == path.toUtf8()) {
        id = QFontDatabase::addApplicationFont(path);
    } else {
        // A name Qt cannot spell (Windows-1252 bytes): read it by its bytes.
        QByteArray data;
        if (readNativeFile(path, std::min(kMaxFontFileBytes, kMaxDataBytes - dataBytes_), data) ==
            NativeRead::Read) {
            dataBytes_ += data.size();
            id = QFontDatabase::addApplicationFontFromData(data);
        }
    }
    ids_.insert(native, id);
    return id >= 0;
}

QList<int> InstalledFonts::ids() const {
    QList<int> added;
    for (const int id : ids_)
        if (id >= 0)
            added.append(id);
    return added;
}

void InstalledFonts::removeAll() {
    for (const int id : std::as_const(ids_))
        if (id >= 0)
            QFontDatabase::removeApplicationFont(id);
    ids_.clear();
    dataBytes_ = 0;
}

} // namespace zot
