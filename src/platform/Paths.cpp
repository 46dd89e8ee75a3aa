#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zot {

namespace {

// The entry of folder whose name equals name ignoring case, if any.
QString findIgnoringCase(const QString& folder, const QString& name) {
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

} // namespace

QString joinPath(const QString& folder, const QString& name) {
    QString path = folder;
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    QString rest = name;
    rest.replace(u'\\', u'/');
    const QStringList parts = rest.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString component = part;
        if (!part.isEmpty() && part != u"." && part != u".." && !QFileInfo::exists(path + part)) {
            const QString found =
                findIgnoringCase(path.isEmpty() ? QStringLiteral(".") : path, part);
            if (!found.isEmpty())
                component = found;
        }
        path += component;
        if (i + 1 < parts.size())
            path += u'/';
    }
    return path;
}

QString programFolder() {
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace zot
