#include "platform/Error.h"

namespace zot {

Error Error::invalidInteger(const QString& value) {
    return Error(QStringLiteral("'%1' is not a valid integer value").arg(value));
}

Error Error::cannotOpenFile(const QString& path) {
    return Error(QStringLiteral("Cannot open file %1").arg(path));
}

Error Error::cannotCreateFile(const QString& path) {
    return Error(QStringLiteral("Cannot create file %1").arg(path));
}

Error Error::pictureTooLarge(qint64 width, qint64 height) {
    return Error(QStringLiteral("Picture too large (%1 x %2 pixels)").arg(width).arg(height));
}

QString errorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

} // namespace zot
