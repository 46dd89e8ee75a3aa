#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zot {

// Text files written on Windows are 8-bit: read as UTF-8 when the bytes are
// valid UTF-8, else as Windows-1252.
QString decodeText(const QByteArray& bytes);
QString decodeWindows1252(const QByteArray& bytes);

// Splits at CRLF, LF or CR. One line break at the very end adds no empty line.
QStringList splitLines(const QString& text);

// Reads a file's lines (decodeText + splitLines). Throws
// Error::cannotOpenFile(path) when the file cannot be read.
QStringList readTextLines(const QString& path);

} // namespace zot
