#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <sys/stat.h>

namespace zot {

// Writes bytes to path so that the name never holds a part of a file, not
// even when the process is killed: the bytes go to a hidden temporary file
// beside the target (see temporaryFileName) which is then renamed onto it.
// An existing file is replaced only by a complete new one. Nothing is synced
// to disk file by file, so a batch of thousands of logos is not held up by
// the disk. A link is followed to the file it names, and that file is
// replaced. Throws Error::cannotCreateFile(path) when the file cannot be
// written.
void writeFileReplacing(const QString& path, QByteArrayView bytes);

// writeFileReplacing in two steps, so that files can be written side by side
// and still take their places in a fixed order. write() writes the temporary
// file; commit() renames it onto the target; discard() removes it. Each
// throws Error::cannotCreateFile(path).
class PendingFile {
  public:
    static PendingFile write(const QString& path, QByteArrayView bytes);
    void commit();
    void discard();

  private:
    QString path_;
    QByteArray target_;    // the file the name leads to, links followed
    QByteArray temporary_; // the complete file, until it is renamed or removed
};

// The temporary file written for target (a native path, links already
// followed): in the same folder, named ".NAME.zot-HOST-PID-NUMBER.tmp" after
// the target's name, this host, this process and a number counting the
// process's files, so that no two writes meet, not even of processes on
// machines sharing a folder. A NAME too long for the file system is cut and
// ends in "~" and a hash of the whole name.
QByteArray temporaryFileName(const QByteArray& target, quint64 number);

// Where a write of target lands: the file a link leads to, followed link by
// link (also to a file that does not exist yet); target itself otherwise.
// Empty when the links go round in a loop.
QByteArray followLinks(const QByteArray& target);
// The same, giving the lstat of where it leads (all zero when nothing is there).
QByteArray followLinks(const QByteArray& target, struct stat& st);

} // namespace zot
