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
// throws Error::cannotCreateFile(path). Until then the temporary file is
// held open with a lock on it (an open file description lock), which tells
// removeAbandonedTemporaryFiles that its writer lives: a pending file holds
// one file descriptor. One dropped unfinished is discarded.
class PendingFile {
  public:
    PendingFile() = default;
    PendingFile(PendingFile&& other) noexcept;
    PendingFile& operator=(PendingFile&& other) noexcept;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    ~PendingFile();

    static PendingFile write(const QString& path, QByteArrayView bytes);
    void commit();
    void discard();

  private:
    void release();

    QString path_;
    QByteArray target_;    // the file the name leads to, links followed
    QByteArray temporary_; // the complete file, until it is renamed or removed
    int fd_ = -1;          // holds the lock while temporary_ names the file
};

// The temporary file written for target (a native path, links already
// followed): in the same folder, named ".NAME.zot-HOST-PID-NUMBER.tmp" after
// the target's name, this host, this process and a number counting the
// process's files, so that no two writes meet, not even of processes on
// machines sharing a folder. A NAME too long for the file system is cut and
// ends in "~" and a hash of the whole name.
QByteArray temporaryFileName(const QByteArray& target, quint64 number);
// Whether name (without its folder) has the shape temporaryFileName gives,
// by any host and process.
bool isTemporaryFileName(QByteArrayView name);

// Removes from folder (a native path) the temporary files that writes which
// ended unfinished left there (a process killed), and returns how many.
// Only regular files named as temporaryFileName names them are considered,
// never a link and nothing in a folder below. A file is removed only while
// this call holds its lock itself, which a writer holds until the file's
// name is gone, whichever process, host or container it runs in; and only
// when it is not empty or is a minute old: a writer that cannot create its
// file unnamed (O_TMPFILE) locks it just after creating it, before writing.
int removeAbandonedTemporaryFiles(const QByteArray& folder);

// Raises the soft limit of open files towards wanted (never past the hard
// limit, never lowering it) and returns the soft limit then in force.
qint64 raiseOpenFileLimit(qint64 wanted);

// Where a write of target lands: the file a link leads to, followed link by
// link (also to a file that does not exist yet); target itself otherwise.
// Empty when the links go round in a loop.
QByteArray followLinks(const QByteArray& target);
// The same, giving the lstat of where it leads (all zero when nothing is there).
QByteArray followLinks(const QByteArray& target, struct stat& st);

} // namespace zot
