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
    // A translation that ends in its own script's full stop or question mark
    // ("。", "？", "؟") keeps it: an ASCII stop after it would be a second one.
    static constexpr QStringView ownStops = u"\u3002\uFF0E\uFF01\uFF1F\u061F\u06D4";
    if (!message.isEmpty() && message.back().unicode() > u'.' && !ownStops.contains(message.back()))
        return message + u'.';
    return message;
}

} // namespace zot
