#pragma once

#include "batch/BatchProcessor.h"
#include "platform/DataFileReader.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace zot {

class LogoEngine;

// What a column of a data file fills, by its name.
struct ColumnTarget {
    enum class Kind {
        Input,     // the label input numbered input
        FileName,  // the column "file": the output name
        Unknown,   // nothing
        Ambiguous, // several inputs have that caption: input and other are two
    };
    Kind kind = Kind::Unknown;
    int input = 0;
    int other = 0;
};
// A column fills the input whose caption is its name: exactly, or else
// case-insensitively when only one input has it; "#N" fills input N. Inputs
// without a caption, or captioned "file", are reached by number only.
// captions: those of inputs 1, 2, ...
ColumnTarget columnTarget(const QString& name, const QStringList& captions);
// Whether a header names the logos (has the column "file").
bool hasNameColumn(const QStringList& columns);

// --name: an output name made from a row. "{caption}" or "{#N}" stands for
// the text that input gets, "{row}" for the row's number and "{row:5}" for
// it padded with zeros to five digits; "{{" and "}}" stand for braces.
class NamePattern {
  public:
    // The pattern, or why it cannot be used (a usage error).
    static std::variant<NamePattern, QString> parse(const QString& pattern,
                                                    const QStringList& captions);
    // texts: those of inputs 1, 2, ...
    QString expand(const QStringList& texts, qint64 row) const;

  private:
    struct Piece {
        QString text;
        int input = 0;     // > 0: that input's text
        int rowWidth = -1; // >= 0: the row's number, padded to this width
    };
    std::vector<Piece> pieces_;
};

struct DataBatchOptions {
    // The output names; without it they come from the column "file".
    std::optional<NamePattern> name;
    // A column that fills nothing is passed over rather than refused.
    bool ignoreUnknown = false;
};

// The rows of a data file as batch lines: each row gives every label input
// its column's text, or the design's default text where it has no column,
// and the output name. The lines are those the equivalent batch file gives,
// so the batch runs as for one. A header that does not fit the design (a
// column filling nothing or given twice) ends the batch before its first
// line, and a malformed row at that row, with "DATA row N (line L): what is
// wrong" in the error list.
class DataBatch : public BatchSource {
  public:
    DataBatch(DataFileReader& reader, const LogoEngine& engine, DataBatchOptions options = {});
    qint64 lineCount() const override;
    std::optional<BatchLine> next() override;

  private:
    const ColumnTarget& targetOf(const QString& column);
    // Why a column cannot be used, or nothing.
    std::optional<QString> columnProblem(const QString& column, const ColumnTarget& target) const;
    BatchLine stop(const QString& report);

    DataFileReader& reader_;
    DataBatchOptions options_;
    QStringList captions_;
    QStringList defaults_;
    QHash<QString, ColumnTarget> targets_;
    QString headerReport_;
    bool done_ = false;
};

// "products.csv row 3 (line 4): a quoted field is not closed"
QString dataRowReport(const QString& source, qint64 row, qint64 line, const QString& what);

} // namespace zot
