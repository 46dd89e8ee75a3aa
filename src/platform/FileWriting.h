#pragma once

#include <QByteArrayView>
#include <QString>

namespace zot {

// Writes bytes to path, replacing an existing file only once the new one is
// complete: a failed write (a full disk) never leaves a half file in place
// of the old one. Unlike a write synced to disk file by file, it costs a few
// system calls, so a batch of thousands of logos is not held up by the disk.
// A link is followed to the file it names. Throws Error::cannotCreateFile(path)
// when the file cannot be written.
void writeFileReplacing(const QString& path, QByteArrayView bytes);

// writeFileReplacing in two steps, so that files can be written side by side
// and still take their places in a fixed order. write() puts a new file in
// place at once (nothing was there) or writes the replacement of an existing
// one beside it; commit() puts that replacement in place; discard() takes
// back whatever write() made. Each throws Error::cannotCreateFile(path).
class PendingFile {
  public:
    static PendingFile write(const QString& path, QByteArrayView bytes);
    void commit();
    void discard();

  private:
    QString path_;
    QByteArray target_;    // set when write() made target_ itself
    QByteArray temporary_; // set when a replacement waits beside the target
};

} // namespace zot
