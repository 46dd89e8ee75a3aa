// A data file (CSV, TSV or JSON Lines) read row by row, as a batch reads it.
// The first byte picks the format (bits 0-1), the columns kept (bits 2-5)
// and the size of the pieces the splitter is fed (bits 6-7). Aborts when
// pieces of another size cut the rows differently, when rows are numbered
// out of order, or when a file read without a problem gives other than the
// rows it counted ahead.
#include "FuzzSupport.h"
#include "batch/DataBatch.h"
#include "platform/DataFileReader.h"
#include "text/DelimitedText.h"

#include <cstdlib>

using namespace zot;

namespace {

struct Cut {
    std::vector<QByteArray> fields;
    qsizetype count;
    qint64 line;
    bool empty;
    DelimitedSplitter::Problem problem;
    bool operator==(const Cut&) const = default;
};

std::vector<Cut> cut(QByteArrayView bytes, char delimiter, qsizetype piece) {
    DelimitedSplitter splitter(delimiter);
    std::vector<Cut> rows;
    qsizetype at = 0;
    for (;;) {
        while (auto row = splitter.takeRow())
            rows.push_back({row->fields, row->fieldCount, row->line, row->empty, row->problem});
        if (splitter.finished())
            return rows;
        if (at >= bytes.size())
            splitter.finish();
        else
            splitter.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
        at += piece;
    }
}

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::initQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 64 * 1024)
        return 0;
    const uint8_t head = data[0];
    const QByteArray bytes = fuzz::bytesOf(data + 1, size - 1);
    const DataFormat format = (head & 3) == 1   ? DataFormat::Tsv
                              : (head & 3) == 2 ? DataFormat::JsonLines
                                                : DataFormat::Csv;
    const char delimiter = format == DataFormat::Tsv ? '\t' : ',';
    const qsizetype piece = qsizetype(1) << (head >> 6);
    check(cut(bytes, delimiter, piece) == cut(bytes, delimiter, bytes.size() + 1));

    const QString path = fuzz::scratchFolder() + QStringLiteral("/data");
    fuzz::writeFile(path, bytes);
    DataFileReader reader(path, format);
    const QStringList captions{QStringLiteral("Name"), QStringLiteral("name"), QString(),
                               QStringLiteral("file")};
    if (const auto& columns = reader.columns()) {
        std::vector<bool> kept;
        for (qsizetype i = 0; i < columns->size(); ++i) {
            kept.push_back(i >= 4 || (head >> (2 + i)) & 1);
            columnTarget(columns->at(i), captions);
            // A header name tried as a --name pattern.
            const auto pattern = NamePattern::parse(columns->at(i), captions);
            if (const auto* parsed = std::get_if<NamePattern>(&pattern))
                parsed->expand(captions, 42);
        }
        reader.keepColumns(kept);
    }
    qint64 rows = 0;
    qint64 line = 0;
    bool problem = !reader.headerProblem().isEmpty();
    while (const auto row = reader.next()) {
        check(!problem); // a row with a problem is the last
        check(row->number == ++rows);
        check(row->line > line);
        check(row->columns.size() == row->values.size());
        line = row->line;
        problem = !row->problem.isEmpty();
    }
    if (!problem)
        check(rows == reader.rowCount());
    return 0;
}
