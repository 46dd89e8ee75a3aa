#include "platform/Locations.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

QString withSeparator(QString folder) {
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

} // namespace

QString userDataFolder() {
    // Relative values are to be ignored (XDG base directory rules).
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base = !dataHome.isEmpty() && QDir::isAbsolutePath(dataHome)
                             ? dataHome
                             : QDir::homePath() + u"/.local/share"_s;
    return withSeparator(QDir::cleanPath(base)) + u"zotmaker/"_s;
}

QStringList aboutFileCandidates(const QString& fileName, const QString& programFolder) {
    QStringList candidates{fileName};
    if (!programFolder.isEmpty())
        candidates.append(QDir(programFolder).filePath(fileName));
    return candidates;
}

bool canCreateFilesIn(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(u".zotmaker-probe-XXXXXX"_s));
    return probe.open(); // removed again when probe goes
}

QString wallpaperFolder(const QString& programFolder) {
    if (canCreateFilesIn(programFolder))
        return withSeparator(programFolder);
    const QString folder = userDataFolder();
    // A folder that cannot be made shows up as the file's own error.
    QDir().mkpath(folder);
    return folder;
}

} // namespace zot
