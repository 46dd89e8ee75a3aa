#pragma once

#include "platform/Error.h"
#include "text/TextDecoding.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
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

    // Throws Error::cannotOpenFile(path) when the file cannot be read. A
    // path built from a name that is not UTF-8 finds the file by its bytes.
    explicit TextLineReader(const QString& path);
    // Standard input, read as it comes (a pipe may be endless): nothing is
    // read ahead, so the line count is not known, and each line is read as
    // UTF-8 when it is valid UTF-8, else as Windows-1252.
    struct StandardInput {};
    explicit TextLineReader(StandardInput);

    // The number of lines, or -1 when it is not known ahead.
    qint64 lineCount() const { return lineCount_; }
    // The next line, or nothing at the end of the file. Throws an Error for
    // a line longer than kMaxLineBytes.
    std::optional<QString> next();

  private:
    // Feeds the splitter the next chunk, or finishes it at the end of the file.
    void readChunk(LineSplitter& splitter);
    Error lineTooLong() const;

    QFile file_;
    QString path_; // opened by its bytes, so the file does not know its name
    bool stream_ = false;
    bool utf8_ = true;
    bool firstLine_ = true;
    qint64 lineCount_ = 0;
    qint64 linesRead_ = 0;
    LineSplitter splitter_;
};

// Reads a whole file's lines, by the same rules. Throws
// Error::cannotOpenFile(path) when the file cannot be read.
QStringList readTextLines(const QString& path);

} // namespace zot
