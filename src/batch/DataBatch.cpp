#include "batch/DataBatch.h"

#include "logo/LogoEngine.h"

#include <QSet>

namespace zot {

namespace {

const QString kFileColumn = QStringLiteral("file");

// Whether input i (from 0) can be named by its caption.
bool namedByCaption(const QString& caption) {
    return !caption.isEmpty() && caption.compare(kFileColumn, Qt::CaseInsensitive) != 0;
}

// The inputs whose caption is name, the first two of them.
std::vector<int> inputsCaptioned(const QString& name, const QStringList& captions,
                                 Qt::CaseSensitivity cs) {
    std::vector<int> found;
    for (qsizetype i = 0; i < captions.size() && found.size() < 2; ++i) {
        const QString caption = captions[i].trimmed();
        if (namedByCaption(caption) && caption.compare(name, cs) == 0)
            found.push_back(int(i + 1));
    }
    return found;
}

// "#1 "Name", #2 "Slogan", #3" or "none".
QString textBoxes(const QStringList& captions) {
    if (captions.isEmpty())
        return QStringLiteral("none");
    QStringList boxes;
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const QString caption = captions[i].trimmed();
        boxes.append(caption.isEmpty() ? QStringLiteral("#%1").arg(i + 1)
                                       : QStringLiteral("#%1 \"%2\"").arg(i + 1).arg(caption));
    }
    return boxes.join(QStringLiteral(", "));
}

} // namespace

bool hasNameColumn(const QStringList& columns) {
    return columns.contains(kFileColumn);
}

ColumnTarget columnTarget(const QString& name, const QStringList& captions) {
    ColumnTarget target;
    if (name == kFileColumn) {
        target.kind = ColumnTarget::Kind::FileName;
        return target;
    }
    if (name.startsWith(u'#')) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= captions.size() && name.at(1).isDigit()) {
            target.kind = ColumnTarget::Kind::Input;
            target.input = n;
        }
        return target;
    }
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        const std::vector<int> found = inputsCaptioned(name, captions, cs);
        if (found.size() == 1) {
            target.kind = ColumnTarget::Kind::Input;
            target.input = found[0];
            return target;
        }
        if (found.size() > 1) {
            target.kind = ColumnTarget::Kind::Ambiguous;
            target.input = found[0];
            target.other = found[1];
            return target;
        }
    }
    return target;
}

std::variant<NamePattern, QString> NamePattern::parse(const QString& pattern,
                                                      const QStringList& captions) {
    NamePattern parsed;
    QString text;
    const auto flush = [&] {
        if (!text.isEmpty())
            parsed.pieces_.push_back({text, 0, -1});
        text.clear();
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        const bool doubled = i + 1 < pattern.size() && pattern[i + 1] == c;
        if (c == u'}' || (c == u'{' && doubled)) {
            text += c;
            if (doubled)
                ++i;
            continue;
        }
        if (c != u'{') {
            text += c;
            continue;
        }
        const qsizetype close = pattern.indexOf(u'}', i + 1);
        if (close < 0)
            return QStringLiteral("--name: a \"{\" is not closed");
        const QString field = pattern.mid(i + 1, close - i - 1).trimmed();
        i = close;
        flush();
        if (field == u"row") {
            parsed.pieces_.push_back({{}, 0, 0});
            continue;
        }
        if (field.startsWith(QStringLiteral("row:"))) {
            bool ok = false;
            const int width = field.mid(4).toInt(&ok);
            if (!ok || width < 1 || width > 20)
                return QStringLiteral("--name: {row:N} takes a width from 1 to 20");
            parsed.pieces_.push_back({{}, 0, width});
            continue;
        }
        const ColumnTarget target = columnTarget(field, captions);
        switch (target.kind) {
        case ColumnTarget::Kind::Input:
            parsed.pieces_.push_back({{}, target.input, -1});
            break;
        case ColumnTarget::Kind::Ambiguous:
            return QStringLiteral("--name: {%1} fits text boxes #%2 and #%3: write {#%2} or {#%3}")
                .arg(field)
                .arg(target.input)
                .arg(target.other);
        case ColumnTarget::Kind::FileName:
        case ColumnTarget::Kind::Unknown:
            return QStringLiteral("--name: {%1} names no text box (the design has %2)")
                .arg(field, textBoxes(captions));
        }
    }
    flush();
    return parsed;
}

QString NamePattern::expand(const QStringList& texts, qint64 row) const {
    QString name;
    for (const Piece& piece : pieces_) {
        if (piece.input > 0)
            name += texts.value(piece.input - 1);
        else if (piece.rowWidth >= 0)
            name += QString::number(row).rightJustified(piece.rowWidth, u'0');
        else
            name += piece.text;
    }
    return name;
}

QString dataRowReport(const QString& source, qint64 row, qint64 line, const QString& what) {
    return QStringLiteral("%1 row %2 (line %3): %4").arg(source).arg(row).arg(line).arg(what);
}

DataBatch::DataBatch(DataFileReader& reader, const LogoEngine& engine, DataBatchOptions options)
    : reader_(reader), options_(std::move(options)) {
    for (int i = 1; i <= engine.LabelCount(); ++i) {
        captions_.append(engine.labelCaption(i));
        defaults_.append(engine.labelDefault(i));
    }
    const auto headerReport = [&](const QString& what) {
        headerReport_ = QStringLiteral("%1 header row: %2").arg(reader_.sourceName(), what);
    };
    if (!reader_.headerProblem().isEmpty()) {
        headerReport(reader_.headerProblem());
        return;
    }
    // JSON Lines have no header: each row's keys are checked as they come.
    if (reader_.format() == DataFormat::JsonLines || !reader_.columns())
        return;
    const QStringList& columns = *reader_.columns();
    if (columns.isEmpty())
        return; // an empty file: no rows
    std::vector<bool> kept;
    QSet<QString> seen;
    std::vector<qsizetype> filledBy(size_t(captions_.size()), -1);
    bool hasFile = false;
    for (qsizetype k = 0; k < columns.size(); ++k) {
        const QString& column = columns[k];
        const ColumnTarget& target = targetOf(column);
        kept.push_back(target.kind == ColumnTarget::Kind::Input ||
                       target.kind == ColumnTarget::Kind::FileName);
        if (!column.isEmpty() && seen.contains(column)) {
            headerReport(QStringLiteral("the column \"%1\" is given twice").arg(column));
            return;
        }
        seen.insert(column);
        if (const auto problem = columnProblem(column, target)) {
            headerReport(*problem);
            return;
        }
        if (target.kind == ColumnTarget::Kind::FileName)
            hasFile = true;
        if (target.kind != ColumnTarget::Kind::Input)
            continue;
        qsizetype& by = filledBy[size_t(target.input - 1)];
        if (by >= 0) {
            headerReport(QStringLiteral("the columns \"%1\" and \"%2\" both fill text box #%3")
                             .arg(columns[by], column)
                             .arg(target.input));
            return;
        }
        by = k;
    }
    if (!hasFile && !options_.name) {
        headerReport(QStringLiteral("there is no column \"file\" for the names"));
        return;
    }
    // Columns that fill nothing are never held.
    reader_.keepColumns(kept);
}

const ColumnTarget& DataBatch::targetOf(const QString& column) {
    auto it = targets_.find(column);
    if (it == targets_.end()) {
        // Each name once: a JSON Lines file may bring any number of them.
        if (targets_.size() > 1000)
            targets_.clear();
        it = targets_.insert(column, columnTarget(column, captions_));
    }
    return *it;
}

std::optional<QString> DataBatch::columnProblem(const QString& column,
                                                const ColumnTarget& target) const {
    switch (target.kind) {
    case ColumnTarget::Kind::Input:
        break;
    case ColumnTarget::Kind::FileName:
        if (options_.name)
            return QStringLiteral("the column \"file\" and --name both give the names");
        break;
    case ColumnTarget::Kind::Unknown:
        if (!options_.ignoreUnknown)
            return QStringLiteral("the column \"%1\" names no text box (the design has %2)")
                .arg(column, textBoxes(captions_));
        break;
    case ColumnTarget::Kind::Ambiguous:
        return QStringLiteral("the column \"%1\" fits text boxes #%2 and #%3: name it \"#%2\" or "
                              "\"#%3\"")
            .arg(column)
            .arg(target.input)
            .arg(target.other);
    }
    return std::nullopt;
}

qint64 DataBatch::lineCount() const {
    return headerReport_.isEmpty() ? reader_.rowCount() : 0;
}

BatchLine DataBatch::stop(const QString& report) {
    done_ = true;
    BatchLine line;
    line.report = report;
    return line;
}

std::optional<BatchLine> DataBatch::next() {
    if (done_)
        return std::nullopt;
    if (!headerReport_.isEmpty())
        return stop(headerReport_);
    std::optional<DataRow> row = reader_.next();
    if (!row)
        return std::nullopt;
    const auto rowStop = [&](const QString& what) {
        return stop(dataRowReport(reader_.sourceName(), row->number, row->line, what));
    };
    if (!row->problem.isEmpty())
        return rowStop(row->problem);
    BatchLine line;
    line.fields = defaults_;
    std::optional<QString> name;
    std::vector<qsizetype> filledBy(size_t(captions_.size()), -1);
    for (qsizetype k = 0; k < row->columns.size(); ++k) {
        const QString& column = row->columns[k];
        const ColumnTarget& target = targetOf(column);
        if (const auto problem = columnProblem(column, target))
            return rowStop(*problem);
        if (target.kind == ColumnTarget::Kind::FileName) {
            name = row->values[k];
        } else if (target.kind == ColumnTarget::Kind::Input) {
            qsizetype& by = filledBy[size_t(target.input - 1)];
            if (by >= 0)
                return rowStop(
                    QStringLiteral("the columns \"%1\" and \"%2\" both fill text box #%3")
                        .arg(row->columns[by], column)
                        .arg(target.input));
            by = k;
            line.fields[target.input - 1] = row->values[k];
        }
    }
    if (options_.name)
        name = options_.name->expand(line.fields, row->number);
    else if (!name)
        return rowStop(QStringLiteral("there is no column \"file\" for the names"));
    line.outputName = *name;
    line.complete = true;
    return line;
}

} // namespace zot
