#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

namespace zot {

// Cuts CSV or TSV bytes into rows as RFC 4180 has them: a field may be
// quoted, a doubled quote inside stands for one, and line breaks inside
// quotes are kept. CRLF, LF or CR ends a row (as it ends a batch line); one
// at the very end adds no row. A quote inside an unquoted field is kept as
// written. Bytes may come in pieces of any size; it holds the bytes not yet
// looked at and the fields of the row at hand that are kept, never more.
class DelimitedSplitter {
  public:
    // A longer field, a row of more fields, or kept fields longer than this
    // together, end the reading at that row.
    static constexpr qsizetype kMaxFieldBytes = 1024 * 1024;
    static constexpr qsizetype kMaxFields = 10000;
    static constexpr qsizetype kMaxKeptBytes = 1024 * 1024;

    enum class Problem {
        None,
        UnclosedQuote,  // the file ends inside a quoted field
        TextAfterQuote, // "ab"c
        FieldTooLong,
        TooManyFields,
        RowTooLong, // its kept fields together
    };
    struct Row {
        // By column: the kept fields, with a null array for one not kept.
        std::vector<QByteArray> fields;
        qsizetype fieldCount = 0;
        qint64 line = 0;   // the line of the input it starts on, from 1
        bool empty = true; // no field holds a character
        Problem problem = Problem::None;
    };

    explicit DelimitedSplitter(char delimiter) : delimiter_(delimiter) {}
    // Keeps only the columns marked; the others are counted and checked, not
    // held. Every column is kept until this is called.
    void keepOnly(std::vector<bool> kept);

    void feed(QByteArrayView bytes);
    // No more bytes will come.
    void finish() { finished_ = true; }
    bool finished() const { return finished_; }
    // Bytes not yet looked at.
    qsizetype pendingBytes() const { return buffer_.size() - pos_; }

    // The next complete row, or nothing until more bytes come (or, once
    // finished, at the end). A row with a problem is the last one given.
    std::optional<Row> takeRow();

  private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };
    bool kept(qsizetype column) const;
    // Adds bytes to the field at hand; false when a limit is passed.
    bool append(QByteArrayView bytes);
    bool endField();
    Row endRow(Problem problem = Problem::None);
    void countBreak(char c);

    char delimiter_;
    bool keepAll_ = true;
    std::vector<bool> kept_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool finished_ = false;
    bool done_ = false; // a problem row or the end was given

    State state_ = State::FieldStart;
    bool rowStarted_ = false;
    bool afterCr_ = false; // the last byte looked at was a CR
    qint64 line_ = 1;      // of the next byte
    Row row_;
    QByteArray field_;
    qsizetype fieldBytes_ = 0;
    qsizetype keptBytes_ = 0;
};

} // namespace zot
