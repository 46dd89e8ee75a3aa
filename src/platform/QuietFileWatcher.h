#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace zot {

// What a file or folder looked like when stamped: two equal stamps mean
// nothing was written, renamed over or removed in between (as far as the
// file system's clock tells).
struct FileStamp {
    bool exists = false;
    bool isFolder = false;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path);
QList<FileStamp> stampsOf(const QStringList& paths);

// Watches files and folders and says so once they have been quiet for a
// while, so that a burst of saves is one piece of news. Editors save by
// writing a new file and renaming it over the old one, which ends the
// system's watch on the old file: each file's folder is watched as well, and
// the paths are watched again after every change. A path that does not exist
// (yet) is watched through its folder.
class QuietFileWatcher : public QObject {
    Q_OBJECT
  public:
    explicit QuietFileWatcher(int quietMs, QObject* parent = nullptr);

    // Replaces what is watched. Nothing pending is reported any more.
    void watch(const QStringList& paths);
    void clear() { watch({}); }
    const QStringList& paths() const { return paths_; }
    int quietMs() const { return timer_.interval(); }
    // Whether a change waits for its quiet time to end.
    bool pending() const { return timer_.isActive(); }

  signals:
    // Something watched changed, and nothing has since for quietMs.
    void settled();

  private:
    void changed();
    void rearm();

    QFileSystemWatcher watcher_;
    QTimer timer_;
    QStringList paths_;
};

} // namespace zot
