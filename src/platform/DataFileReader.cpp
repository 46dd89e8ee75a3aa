#include "platform/DataFileReader.h"

#include "platform/Error.h"
#include "platform/NativeFiles.h"
#include "text/JsonLine.h"

namespace zot {

namespace {

constexpr qint64 kChunk = 64 * 1024;

QString problemText(DelimitedSplitter::Problem problem) {
    using Problem = DelimitedSplitter::Problem;
    switch (problem) {
    case Problem::None:
        break;
    case Problem::UnclosedQuote:
        return QStringLiteral("a quoted field is not closed");
    case Problem::TextAfterQuote:
        return QStringLiteral("a quoted field goes on after its closing quote");
    case Problem::FieldTooLong:
        return QStringLiteral("a field is longer than 1 MiB");
    case Problem::TooManyFields:
        return QStringLiteral("it has more than 10,000 fields");
    case Problem::RowTooLong:
        return QStringLiteral("it is longer than 1 MiB");
    }
    return QString();
}

bool isBlank(QByteArrayView line) {
    for (char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

} // namespace

// The file's text as it comes, without its byte order mark, UTF-16 turned
// into UTF-8 on the way.
class DataFileReader::Bytes {
  public:
    explicit Bytes(std::function<QByteArray()> read) : read_(std::move(read)) {}

    // The next piece (possibly empty: ask again), or nothing at the end.
    std::optional<QByteArray> next() {
        if (ended_)
            return std::nullopt;
        QByteArray raw = read_();
        const bool atEnd = raw.isEmpty();
        if (!decided_) {
            // The mark is up to three bytes, which a pipe may give one by one.
            head_ += raw;
            if (head_.size() < 3 && !atEnd)
                return QByteArray();
            decided_ = true;
            mark_ = byteOrderMarkOf(head_);
            if (mark_ == ByteOrderMark::Utf16LE || mark_ == ByteOrderMark::Utf16BE)
                utf16_.emplace(mark_ == ByteOrderMark::Utf16BE);
            raw = head_.mid(byteOrderMarkSize(mark_));
            head_.clear();
        }
        if (atEnd)
            ended_ = raw.isEmpty();
        if (ended_)
            return std::nullopt;
        return utf16_ ? utf16_->feed(raw) : raw;
    }
    // Whether the text is UTF-16, and so UTF-8 once read.
    bool utf16() const { return utf16_.has_value(); }

  private:
    std::function<QByteArray()> read_;
    bool decided_ = false;
    bool ended_ = false;
    ByteOrderMark mark_ = ByteOrderMark::None;
    QByteArray head_;
    std::optional<Utf16ToUtf8> utf16_;
};

DataFileReader::DataFileReader(const QString& path, DataFormat format)
    : format_(format), sourceName_(path), splitter_(format == DataFormat::Tsv ? '\t' : ',') {
    if (!openNativeFile(file_, path))
        throw Error::cannotOpenFile(path);
    countRows();
    file_.seek(0);
    bytes_ = std::make_unique<Bytes>([this] { return file_.read(kChunk); });
    readHeader();
}

DataFileReader::DataFileReader(StandardInput, DataFormat format)
    : format_(format), sourceName_(QStringLiteral("standard input")), stream_(true),
      splitter_(format == DataFormat::Tsv ? '\t' : ',') {
    bytes_ = std::make_unique<Bytes>([] { return readStandardInputChunk(kChunk); });
    readHeader();
}

DataFileReader::~DataFileReader() = default;

// A first pass over the file: its encoding, and the rows for progress.
void DataFileReader::countRows() {
    Bytes bytes([this] { return file_.read(kChunk); });
    Utf8Validator validator;
    qint64 rows = 0;
    qint64 upToLastFull = 0; // rows, without the empty ones at the end
    const auto counted = [&](bool empty) {
        ++rows;
        if (!empty)
            upToLastFull = rows;
    };
    if (format_ == DataFormat::JsonLines) {
        LineSplitter lines;
        bool stop = false;
        while (!lines.finished() && !stop) {
            const std::optional<QByteArray> piece = bytes.next();
            if (piece) {
                validator.feed(*piece);
                lines.feed(*piece);
            } else {
                lines.finish();
            }
            while (const auto line = lines.takeLine())
                counted(isBlank(*line));
            // A line that never ends stops the batch at that row.
            if (lines.pendingBytes() > kMaxLineBytes) {
                counted(false);
                stop = true;
            }
        }
        rowCount_ = upToLastFull;
    } else {
        DelimitedSplitter counter(format_ == DataFormat::Tsv ? '\t' : ',');
        counter.keepOnly({});
        bool stop = false;
        while (!counter.finished() && !stop) {
            const std::optional<QByteArray> piece = bytes.next();
            if (piece) {
                validator.feed(*piece);
                counter.feed(*piece);
            } else {
                counter.finish();
            }
            while (const auto row = counter.takeRow()) {
                counted(row->empty && row->problem == DelimitedSplitter::Problem::None);
                if (row->problem != DelimitedSplitter::Problem::None)
                    stop = true;
            }
        }
        // The first row is the header.
        rowCount_ = std::max<qint64>(upToLastFull - 1, 0);
    }
    utf8_ = bytes.utf16() || validator.valid();
}

QString DataFileReader::decode(const QByteArray& bytes, bool utf8) const {
    return utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

std::optional<DelimitedSplitter::Row> DataFileReader::takeDelimitedRow() {
    std::optional<DelimitedSplitter::Row> row;
    while (!(row = splitter_.takeRow()) && !splitter_.finished()) {
        const std::optional<QByteArray> piece = bytes_->next();
        if (piece)
            splitter_.feed(*piece);
        else
            splitter_.finish();
    }
    return row;
}

bool DataFileReader::rowIsUtf8(const std::vector<QByteArray>& fields) const {
    if (!stream_)
        return utf8_;
    Utf8Validator validator;
    for (const QByteArray& field : fields)
        validator.feed(field);
    return validator.valid() || bytes_->utf16();
}

void DataFileReader::readHeader() {
    if (format_ == DataFormat::JsonLines) {
        // The first row's keys stand for a header.
        fillHeld();
        if (!held_)
            columns_ = QStringList();
        else if (held_->problem.isEmpty())
            columns_ = held_->columns;
        return;
    }
    const std::optional<DelimitedSplitter::Row> header = takeDelimitedRow();
    if (!header) {
        columns_ = QStringList();
        ended_ = true;
        return;
    }
    if (header->problem != DelimitedSplitter::Problem::None) {
        headerProblem_ = problemText(header->problem);
        ended_ = true;
        return;
    }
    const bool utf8 = rowIsUtf8(header->fields);
    QStringList names;
    for (const QByteArray& field : header->fields)
        names.append(decode(field, utf8).trimmed());
    headerSize_ = names.size();
    keptNames_ = names;
    columns_ = std::move(names);
}

void DataFileReader::keepColumns(const std::vector<bool>& kept) {
    if (format_ == DataFormat::JsonLines || !columns_)
        return;
    keepAll_ = false;
    keptNames_.clear();
    keptIndex_.clear();
    for (qsizetype i = 0; i < headerSize_; ++i) {
        if (i < qsizetype(kept.size()) && kept[size_t(i)]) {
            keptNames_.append((*columns_)[i]);
            keptIndex_.push_back(i);
        }
    }
    std::vector<bool> mask(kept.begin(), kept.begin() + std::min(kept.size(), size_t(headerSize_)));
    splitter_.keepOnly(std::move(mask));
}

std::optional<DataRow> DataFileReader::readDelimitedRow() {
    const std::optional<DelimitedSplitter::Row> raw = takeDelimitedRow();
    if (!raw)
        return std::nullopt;
    DataRow row;
    row.number = ++rowsRead_;
    row.line = raw->line;
    if (raw->problem != DelimitedSplitter::Problem::None) {
        row.problem = problemText(raw->problem);
        return row;
    }
    if (raw->fieldCount > headerSize_) {
        row.problem =
            QStringLiteral("it has %1 fields, the header %2").arg(raw->fieldCount).arg(headerSize_);
        return row;
    }
    const bool utf8 = rowIsUtf8(raw->fields);
    const auto value = [&](qsizetype column) {
        // A short row leaves its last columns empty.
        return column < qsizetype(raw->fields.size()) ? decode(raw->fields[size_t(column)], utf8)
                                                      : QString();
    };
    row.columns = keptNames_;
    if (keepAll_) {
        for (qsizetype i = 0; i < headerSize_; ++i)
            row.values.append(value(i));
    } else {
        for (qsizetype i : keptIndex_)
            row.values.append(value(i));
    }
    row.empty = raw->empty;
    return row;
}

std::optional<DataRow> DataFileReader::readJsonRow() {
    std::optional<QByteArray> line;
    bool tooLong = false;
    while (!(line = lines_.takeLine()) && !lines_.finished()) {
        // A line that never ends would take all memory: it stops here.
        if (lines_.pendingBytes() > kMaxLineBytes) {
            tooLong = true;
            break;
        }
        const std::optional<QByteArray> piece = bytes_->next();
        if (piece)
            lines_.feed(*piece);
        else
            lines_.finish();
    }
    if (!line && !tooLong)
        return std::nullopt;
    DataRow row;
    row.number = ++rowsRead_;
    row.line = ++lineAt_;
    if (tooLong || line->size() > kMaxLineBytes) {
        row.problem = QStringLiteral("it is longer than 1 MiB");
        return row;
    }
    if (isBlank(*line)) {
        row.empty = true;
        return row;
    }
    const bool utf8 = stream_ ? bytes_->utf16() || isValidUtf8(*line) : utf8_;
    // Qt reads JSON as UTF-8 only.
    const JsonLine json = readJsonLine(utf8 ? *line : decodeWindows1252(*line).toUtf8());
    if (!json.problem.isEmpty()) {
        row.problem = json.problem;
        return row;
    }
    row.columns = json.keys;
    row.values = json.values;
    return row;
}

std::optional<DataRow> DataFileReader::readRow() {
    if (ended_)
        return std::nullopt;
    std::optional<DataRow> row =
        format_ == DataFormat::JsonLines ? readJsonRow() : readDelimitedRow();
    if (!row || !row->problem.isEmpty())
        ended_ = true;
    return row;
}

void DataFileReader::fillHeld() {
    while (std::optional<DataRow> row = readRow()) {
        if (!row->empty || !row->problem.isEmpty()) {
            held_ = std::move(row);
            return;
        }
        if (emptyRows_ == 0)
            firstEmpty_ = std::move(row);
        ++emptyRows_;
    }
}

std::optional<DataRow> DataFileReader::next() {
    if (!held_)
        fillHeld();
    // Empty rows before a row are rows like the others.
    if (!held_)
        return std::nullopt;
    if (emptyGiven_ < emptyRows_) {
        DataRow empty = *firstEmpty_;
        empty.number += emptyGiven_;
        empty.line += emptyGiven_;
        ++emptyGiven_;
        return empty;
    }
    emptyRows_ = emptyGiven_ = 0;
    firstEmpty_.reset();
    return std::exchange(held_, std::nullopt);
}

} // namespace zot
