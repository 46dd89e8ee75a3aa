#include "platform/TextLineReader.h"

#include "platform/Error.h"

namespace zot {

namespace {
constexpr qint64 kChunk = 64 * 1024;
} // namespace

TextLineReader::TextLineReader(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        throw Error::cannotOpenFile(path);
    // First pass: the encoding and the number of lines, for progress.
    Utf8Validator validator;
    LineSplitter counter;
    while (!counter.finished()) {
        const QByteArray chunk = file_.read(kChunk);
        validator.feed(chunk);
        if (chunk.isEmpty())
            counter.finish();
        else
            counter.feed(chunk);
        while (counter.skipLine())
            ++lineCount_;
    }
    utf8_ = validator.valid();
    file_.seek(0);
}

void TextLineReader::readChunk(LineSplitter& splitter) {
    const QByteArray chunk = file_.read(kChunk);
    if (chunk.isEmpty())
        splitter.finish();
    else
        splitter.feed(chunk);
}

std::optional<QString> TextLineReader::next() {
    while (true) {
        if (auto line = splitter_.takeLine()) {
            QByteArrayView bytes(*line);
            if (!utf8_)
                return decodeWindows1252(bytes);
            if (firstLine_)
                bytes = withoutByteOrderMark(bytes);
            firstLine_ = false;
            return decodeUtf8(bytes);
        }
        if (splitter_.finished())
            return std::nullopt;
        readChunk(splitter_);
    }
}

} // namespace zot
