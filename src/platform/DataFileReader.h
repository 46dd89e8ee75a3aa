#pragma once

#include "text/DelimitedText.h"
#include "text/TextDecoding.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace zot {

enum class DataFormat { Csv, Tsv, JsonLines };

// One row of a data file: the columns it gives, by name, with their texts.
struct DataRow {
    qint64 number = 0; // from 1, the row after the header (CSV, TSV) or the first line
    qint64 line = 0;   // the line of the file it starts on, from 1
    QStringList columns;
    QStringList values; // one per column
    // No field holds a character (JSON Lines: a blank line, with no columns).
    bool empty = false;
    // Not empty when the row is malformed: what is wrong with it. No row
    // comes after it.
    QString problem;
};

// Reads a CSV, TSV or JSON Lines file row by row, holding one row at a time
// however long the file. The text is UTF-8, or UTF-16 with a byte order
// mark; a file that is not valid UTF-8 is read as Windows-1252, as batch
// files are. Empty rows (no field holds a character; in JSON Lines, blank
// lines) at the end of the file are passed over, as spreadsheets write them.
class DataFileReader {
  public:
    // Longer JSON Lines lines are refused (CSV and TSV fields: DelimitedSplitter).
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

    // Throws Error::cannotOpenFile(path) when the file cannot be read.
    DataFileReader(const QString& path, DataFormat format);
    // Standard input, read as it comes: nothing is read ahead but the header
    // (or a JSON Lines file's first row), the row count is not known, and each
    // row is read as UTF-8 when it is valid UTF-8, else as Windows-1252.
    struct StandardInput {};
    DataFileReader(StandardInput, DataFormat format);
    ~DataFileReader();
    DataFileReader(const DataFileReader&) = delete;
    DataFileReader& operator=(const DataFileReader&) = delete;

    DataFormat format() const { return format_; }
    // The file as messages name it.
    const QString& sourceName() const { return sourceName_; }
    // The header row's names, trimmed of blanks (CSV, TSV), or the first
    // row's keys (JSON Lines); empty for an empty file. Nothing when that row
    // is malformed: headerProblem() says why (CSV, TSV), or that row comes
    // with its problem (JSON Lines).
    const std::optional<QStringList>& columns() const { return columns_; }
    const QString& headerProblem() const { return headerProblem_; }
    // CSV, TSV: the rows give only these columns of the header (by index).
    // The others are still counted and checked, but never held.
    void keepColumns(const std::vector<bool>& kept);

    // The rows after the header, or -1 when not known ahead.
    qint64 rowCount() const { return rowCount_; }
    // The next row, or nothing at the end.
    std::optional<DataRow> next();

  private:
    class Bytes;
    void readHeader();
    // The next row as the file has it, empty ones included.
    std::optional<DataRow> readRow();
    std::optional<DataRow> readDelimitedRow();
    std::optional<DataRow> readJsonRow();
    // Reads ahead to the next row that is not empty, counting the empty ones.
    void fillHeld();
    QString decode(const QByteArray& bytes, bool utf8) const;
    void countRows();
    // The splitter's next row, fed from the bytes as it needs; empty at the end.
    std::optional<DelimitedSplitter::Row> takeDelimitedRow();
    // Whether a row's fields are read as UTF-8: as the file was found to be,
    // or on a pipe, which cannot be read ahead, as the row itself is.
    bool rowIsUtf8(const std::vector<QByteArray>& fields) const;

    DataFormat format_;
    QString sourceName_;
    QFile file_;
    bool stream_ = false;
    bool utf8_ = true; // a file's, decided ahead
    std::unique_ptr<Bytes> bytes_;
    DelimitedSplitter splitter_;
    LineSplitter lines_;
    bool ended_ = false;

    std::optional<QStringList> columns_;
    QString headerProblem_;
    qsizetype headerSize_ = 0;
    QStringList keptNames_;
    std::vector<qsizetype> keptIndex_;
    bool keepAll_ = true;

    qint64 rowCount_ = -1;
    qint64 rowsRead_ = 0;
    qint64 lineAt_ = 0; // JSON Lines: lines read
    // Empty rows seen before held_: given only when a row follows them.
    std::optional<DataRow> held_;
    std::optional<DataRow> firstEmpty_;
    qint64 emptyRows_ = 0;
    qint64 emptyGiven_ = 0;
};

} // namespace zot
