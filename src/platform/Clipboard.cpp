#include "platform/Clipboard.h"

#include "platform/Error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace zot {

void copyToClipboard(const QImage& image) {
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (!clipboard)
        throw Error(QStringLiteral("Cannot open clipboard"));
    clipboard->setImage(image);
    const QMimeData* data = clipboard->mimeData();
    if (!data || (!image.isNull() && !data->hasImage()))
        throw Error(QStringLiteral("Cannot open clipboard"));
}

} // namespace zot
