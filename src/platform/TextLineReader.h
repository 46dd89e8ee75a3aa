#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace zot {

// Reads a text file one line at a time with the rules of readTextLines
// (UTF-8 when the whole file is valid UTF-8, else Windows-1252; CRLF, LF or
// CR; one line break at the end adds no line), holding only one line in
// memory however long the file is.
class TextLineReader {
public:
    // A longer line ends the reading: next() throws an Error naming it.
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

    // Throws Error::cannotOpenFile(path) when the file cannot be read.
    explicit TextLineReader(const QString& path);

    qint64 lineCount() const { return lineCount_; }
    // The next line, or nothing at the end of the file. Throws an Error for
    // a line longer than kMaxLineBytes.
    std::optional<QString> next();

private:
    bool fill();

    QFile file_;
    bool utf8_ = true;
    qint64 lineCount_ = 0;
    qint64 linesRead_ = 0;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool eof_ = false;
    bool skipLf_ = false;
};

} // namespace zot
