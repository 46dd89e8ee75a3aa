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

} // namespace zot
