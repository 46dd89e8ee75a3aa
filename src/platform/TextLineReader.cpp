#include "platform/TextLineReader.h"

#include "platform/Error.h"
#include "platform/NativeFiles.h"

namespace zot {

namespace {
constexpr qint64 kChunk = 64 * 1024;
} // namespace

TextLineReader::TextLineReader(const QString& path) : path_(path) {
    if (!openNativeFile(file_, path))
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

TextLineReader::TextLineReader(StandardInput) : stream_(true), lineCount_(-1) {}

void TextLineReader::readChunk(LineSplitter& splitter) {
    QByteArray chunk;
    if (stream_)
        chunk = readStandardInputChunk(kChunk);
    else
        chunk = file_.read(kChunk);
    if (chunk.isEmpty())
        splitter.finish();
    else
        splitter.feed(chunk);
}

Error TextLineReader::lineTooLong() const {
    const QString source = stream_ ? QStringLiteral("standard input") : path_;
    return Error(
        QStringLiteral("Line %1 of %2 is longer than 1 MiB").arg(linesRead_ + 1).arg(source));
}

std::optional<QString> TextLineReader::next() {
    while (true) {
        if (auto line = splitter_.takeLine()) {
            if (line->size() > kMaxLineBytes)
                throw lineTooLong();
            ++linesRead_;
            QByteArrayView bytes(*line);
            // A stream cannot be read ahead: each of its lines decides alone.
            if (!(stream_ ? isValidUtf8(bytes) : utf8_))
                return decodeWindows1252(bytes);
            if (firstLine_)
                bytes = withoutByteOrderMark(bytes);
            firstLine_ = false;
            return decodeUtf8(bytes);
        }
        if (splitter_.finished())
            return std::nullopt;
        // A line that never ends would take all memory: it stops here.
        if (splitter_.pendingBytes() > kMaxLineBytes)
            throw lineTooLong();
        readChunk(splitter_);
    }
}

QStringList readTextLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error::cannotOpenFile(path);
    return decodeLines(file.readAll());
}

} // namespace zot
