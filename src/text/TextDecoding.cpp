#include "text/TextDecoding.h"

namespace zot {

namespace {

// Windows-1252's 0x80..0x9F; the undefined bytes keep their C1 code.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

} // namespace

QChar windows1252Char(uchar b) {
    return QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
}

QString decodeWindows1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = windows1252Char(static_cast<uchar>(c));
    return text;
}

void Utf8Validator::feed(QByteArrayView bytes) {
    for (char ch : bytes) {
        if (!valid_)
            return;
        const auto b = static_cast<uchar>(ch);
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

bool isValidUtf8(QByteArrayView bytes) {
    Utf8Validator validator;
    validator.feed(bytes);
    return validator.valid();
}

QString decodeUtf8(QByteArrayView bytes) {
    // fromUtf8 drops a leading byte order mark; only a file's start may lose one.
    if (bytes.startsWith(kByteOrderMark))
        return QChar(0xFEFF) + QString::fromUtf8(bytes.sliced(3));
    return QString::fromUtf8(bytes);
}

QByteArrayView withoutByteOrderMark(QByteArrayView bytes) {
    return bytes.startsWith(kByteOrderMark) ? bytes.sliced(3) : bytes;
}

ByteOrderMark byteOrderMarkOf(QByteArrayView start) {
    if (start.startsWith(kByteOrderMark))
        return ByteOrderMark::Utf8;
    if (start.startsWith("\xFF\xFE"))
        return ByteOrderMark::Utf16LE;
    if (start.startsWith("\xFE\xFF"))
        return ByteOrderMark::Utf16BE;
    return ByteOrderMark::None;
}

qsizetype byteOrderMarkSize(ByteOrderMark mark) {
    switch (mark) {
    case ByteOrderMark::None:
        return 0;
    case ByteOrderMark::Utf8:
        return 3;
    case ByteOrderMark::Utf16LE:
    case ByteOrderMark::Utf16BE:
        return 2;
    }
    return 0;
}

Utf16ToUtf8::Utf16ToUtf8(bool bigEndian)
    : decoder_(bigEndian ? QStringDecoder::Utf16BE : QStringDecoder::Utf16LE) {}

QByteArray Utf16ToUtf8::feed(QByteArrayView bytes) {
    QString text = highSurrogate_ + decoder_.decode(bytes);
    highSurrogate_.clear();
    if (!text.isEmpty() && text.back().isHighSurrogate()) {
        highSurrogate_ = text.back();
        text.chop(1);
    }
    return text.toUtf8();
}

QString decodeText(const QByteArray& bytes) {
    if (isValidUtf8(bytes))
        return decodeUtf8(withoutByteOrderMark(bytes));
    return decodeWindows1252(bytes);
}

// ---------------------------------------------------------------------------

void LineSplitter::feed(QByteArrayView bytes) {
    if (finished_ || bytes.isEmpty())
        return;
    // Drop what earlier lines used, so memory holds one unfinished line.
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        scan_ -= pos_;
        pos_ = 0;
    }
    buffer_.append(bytes);
}

void LineSplitter::finish() {
    finished_ = true;
}

qsizetype LineSplitter::findBreak() {
    if (skipLf_) {
        if (pos_ >= buffer_.size())
            return -1; // the LF of a CRLF may still come
        if (buffer_[pos_] == '\n')
            ++pos_;
        skipLf_ = false;
        scan_ = std::max(scan_, pos_);
    }
    for (; scan_ < buffer_.size(); ++scan_) {
        const char c = buffer_[scan_];
        if (c == '\n' || c == '\r')
            return scan_;
    }
    return -1;
}

void LineSplitter::endLineAt(qsizetype breakAt) {
    skipLf_ = buffer_[breakAt] == '\r';
    pos_ = breakAt + 1;
    scan_ = pos_;
}

std::optional<QByteArray> LineSplitter::takeLine() {
    const qsizetype at = findBreak();
    if (at >= 0) {
        QByteArray line = buffer_.mid(pos_, at - pos_);
        endLineAt(at);
        return line;
    }
    if (finished_ && pos_ < buffer_.size()) {
        QByteArray line = buffer_.mid(pos_);
        pos_ = scan_ = buffer_.size();
        return line;
    }
    return std::nullopt;
}

bool LineSplitter::skipLine() {
    const qsizetype at = findBreak();
    if (at >= 0) {
        endLineAt(at);
        skippedText_ = false;
        return true;
    }
    if (finished_) {
        const bool last = skippedText_ || pos_ < buffer_.size();
        pos_ = scan_ = buffer_.size();
        skippedText_ = false;
        return last;
    }
    // The scanned bytes hold no break: keep only the fact that a line began.
    if (pos_ < buffer_.size() && !skipLf_) {
        skippedText_ = true;
        pos_ = scan_ = buffer_.size();
    }
    return false;
}

QStringList decodeLines(const QByteArray& bytes) {
    const bool utf8 = isValidUtf8(bytes);
    LineSplitter splitter;
    splitter.feed(utf8 ? withoutByteOrderMark(bytes) : QByteArrayView(bytes));
    splitter.finish();
    QStringList lines;
    while (const auto line = splitter.takeLine())
        lines.append(utf8 ? decodeUtf8(*line) : decodeWindows1252(*line));
    return lines;
}

} // namespace zot
