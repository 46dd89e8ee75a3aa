#include "platform/QuietFileWatcher.h"

#include "platform/NativeFiles.h"

#include <QFileInfo>
#include <QSet>
#include <sys/stat.h>

namespace zot {

FileStamp stampOf(const QString& path) {
    struct stat info {};
    FileStamp stamp;
    if (::stat(nativePath(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.isFolder = S_ISDIR(info.st_mode);
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    stamp.inode = quint64(info.st_ino);
    return stamp;
}

QList<FileStamp> stampsOf(const QStringList& paths) {
    QList<FileStamp> stamps;
    stamps.reserve(paths.size());
    for (const QString& path : paths)
        stamps.append(stampOf(path));
    return stamps;
}

QuietFileWatcher::QuietFileWatcher(int quietMs, QObject* parent) : QObject(parent) {
    timer_.setSingleShot(true);
    // Quiet means quiet for the whole time, not 5% less.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(quietMs);
    connect(&timer_, &QTimer::timeout, this, &QuietFileWatcher::settled);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &QuietFileWatcher::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &QuietFileWatcher::changed);
}

void QuietFileWatcher::watch(const QStringList& paths) {
    timer_.stop();
    paths_ = paths;
    paths_.removeDuplicates();
    const QStringList files = watcher_.files();
    const QStringList folders = watcher_.directories();
    if (!files.isEmpty())
        watcher_.removePaths(files);
    if (!folders.isEmpty())
        watcher_.removePaths(folders);
    rearm();
}

void QuietFileWatcher::changed() {
    // The change may have ended a watch (a file renamed over): take it up
    // again at once, so that the rest of the burst is seen too.
    rearm();
    timer_.start();
}

void QuietFileWatcher::rearm() {
    QSet<QString> wanted;
    for (const QString& path : paths_) {
        const QFileInfo info(path);
        if (info.exists())
            wanted.insert(info.absoluteFilePath());
        // The folder shows a file being renamed over, created or removed.
        const QString folder = info.absolutePath();
        if (QFileInfo(folder).isDir())
            wanted.insert(folder);
    }
    const QStringList files = watcher_.files();
    const QStringList folders = watcher_.directories();
    QSet<QString> watched(files.begin(), files.end());
    watched.unite(QSet<QString>(folders.begin(), folders.end()));
    QStringList missing;
    for (const QString& path : wanted)
        if (!watched.contains(path))
            missing.append(path);
    if (!missing.isEmpty())
        watcher_.addPaths(missing);
}

} // namespace zot
