#include "platform/TextLineReader.h"

#include "platform/Error.h"
#include "platform/TextDecoding.h"

namespace zot {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// Incremental UTF-8 validation (no overlongs, surrogates or values past U+10FFFF).
class Utf8Validator {
  public:
    void feed(const QByteArray& bytes) {
        for (char ch : bytes) {
            if (!valid_)
                return;
            const auto b = static_cast<unsigned char>(ch);
            if (need_ == 0) {
                if (b < 0x80)
                    continue;
                if (b >= 0xC2 && b <= 0xDF) {
                    need_ = 1;
                    lo_ = 0x80, hi_ = 0xBF;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    need_ = 2;
                    lo_ = b == 0xE0 ? 0xA0 : 0x80;
                    hi_ = b == 0xED ? 0x9F : 0xBF;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    need_ = 3;
                    lo_ = b == 0xF0 ? 0x90 : 0x80;
                    hi_ = b == 0xF4 ? 0x8F : 0xBF;
                } else {
                    valid_ = false;
                }
            } else {
                if (b < lo_ || b > hi_) {
                    valid_ = false;
                    return;
                }
                lo_ = 0x80, hi_ = 0xBF;
                --need_;
            }
        }
    }
    bool valid() const { return valid_ && need_ == 0; }

  private:
    bool valid_ = true;
    int need_ = 0;
    unsigned char lo_ = 0x80, hi_ = 0xBF;
};

} // namespace

TextLineReader::TextLineReader(const QString& path) : file_(path) {
    if (!file_.open(QIODevice::ReadOnly))
        throw Error::cannotOpenFile(path);
    // First pass: the encoding and the number of lines, for progress.
    Utf8Validator validator;
    bool lastWasCr = false;
    bool pendingText = false;
    while (true) {
        const QByteArray chunk = file_.read(kChunk);
        if (chunk.isEmpty())
            break;
        validator.feed(chunk);
        for (char c : chunk) {
            if (c == '\n') {
                if (!lastWasCr)
                    ++lineCount_;
                pendingText = false;
                lastWasCr = false;
            } else if (c == '\r') {
                ++lineCount_;
                pendingText = false;
                lastWasCr = true;
            } else {
                pendingText = true;
                lastWasCr = false;
            }
        }
    }
    if (pendingText)
        ++lineCount_;
    utf8_ = validator.valid();
    file_.seek(0);
}

bool TextLineReader::fill() {
    if (eof_)
        return false;
    buffer_.remove(0, pos_);
    pos_ = 0;
    const QByteArray chunk = file_.read(kChunk);
    if (chunk.isEmpty()) {
        eof_ = true;
        return false;
    }
    buffer_.append(chunk);
    return true;
}

std::optional<QString> TextLineReader::next() {
    qsizetype scan = pos_;
    while (true) {
        if (skipLf_ && pos_ < buffer_.size()) {
            if (buffer_[pos_] == '\n')
                ++pos_;
            skipLf_ = false;
            scan = pos_;
        }
        for (; scan < buffer_.size(); ++scan) {
            const char c = buffer_[scan];
            if (c == '\n' || c == '\r') {
                if (scan - pos_ > kMaxLineBytes)
                    break;
                const QByteArray line = buffer_.mid(pos_, scan - pos_);
                pos_ = scan + 1;
                ++linesRead_;
                skipLf_ = c == '\r';
                return utf8_ ? QString::fromUtf8(line) : decodeWindows1252(line);
            }
        }
        const qsizetype consumed = scan - pos_;
        if (consumed > kMaxLineBytes)
            throw Error(QStringLiteral("Line %1 of %2 is longer than 1 MiB")
                            .arg(linesRead_ + 1)
                            .arg(file_.fileName()));
        if (!fill()) {
            if (pos_ >= buffer_.size())
                return std::nullopt;
            const QByteArray line = buffer_.mid(pos_);
            pos_ = buffer_.size();
            ++linesRead_;
            return utf8_ ? QString::fromUtf8(line) : decodeWindows1252(line);
        }
        scan = pos_ + consumed;
    }
}

} // namespace zot
