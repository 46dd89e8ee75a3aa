#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <optional>

namespace zot {

// File names on disk are bytes. Designs unpacked from a Windows archive keep
// Windows-1252 names, so a name that is valid UTF-8 reads as UTF-8 and any
// other as Windows-1252, as script bytes are; paths built from such names
// (or from script values naming them) find the file by its real bytes.
QString decodeFileName(const QByteArray& bytes);
// The Windows-1252 bytes of text, or nothing when a character has none.
std::optional<QByteArray> encodeWindows1252(QStringView text);

// The bytes to hand the system for path: each component as UTF-8 when that
// exists, else as Windows-1252 when that exists, else as UTF-8.
QByteArray nativePath(const QString& path);
bool nativeExists(const QString& path);
bool nativeIsFile(const QString& path);
// Something of that name is there and is not a folder (a dangling link counts).
bool nativeIsNonFolderEntry(const QString& path);
// Opens file read-only by the native path; false when it cannot.
bool openNativeFile(QFile& file, const QString& path);

// What readNativeFile found at a path.
enum class NativeRead {
    Read,       // a regular file, its bytes in hand
    NotAFile,   // there, but not a regular file: a pipe, a device, a folder
    Unreadable, // not there (a dangling link too), or it cannot be opened or read
    TooLarge,   // a regular file larger than the limit
};
// Reads the regular file at the native path (a link is followed to it) into
// bytes, if it holds at most maxBytes. Anything else is never read and never
// waited for (a pipe without a writer, an endless device), and no more than
// maxBytes + 1 bytes are read whatever the file claims or grows to. bytes is
// empty unless the result is Read.
NativeRead readNativeFile(const QString& path, qint64 maxBytes, QByteArray& bytes);
// What standard input holds now, at most maxBytes, without waiting for more:
// a pipe's lines and rows are taken as they come. Empty at its end.
QByteArray readStandardInputChunk(qint64 maxBytes);
// Removes the folder at the native path and everything in it, whatever bytes
// the names hold (QDir cannot remove names that are not UTF-8). Links are
// removed, never followed. False when something is left.
bool removeNativeTree(const QByteArray& path);

// A script larger than this is refused: no design comes near it.
inline constexpr qint64 kMaxScriptBytes = qint64(16) * 1024 * 1024;
// readTextLines for a design's script, found by its native path.
// Throws Error::cannotOpenFile(path) when the file cannot be read or is
// larger than kMaxScriptBytes.
QStringList readScriptLines(const QString& path);

} // namespace zot
