#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <optional>

namespace zot {

// Text files written on Windows are 8-bit: a file is read as UTF-8 when all
// its bytes are valid UTF-8, else as Windows-1252. A UTF-8 byte order mark is
// dropped at the start of a file only.

// Windows-1252; its undefined bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D keep their
// C1 control code, so every byte gives a character and decoding never fails.
QChar windows1252Char(uchar byte);
QString decodeWindows1252(QByteArrayView bytes);

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF, and no
// sequence cut short at the end. Fed piece by piece, so a stream can be
// checked without holding it.
class Utf8Validator {
  public:
    void feed(QByteArrayView bytes);
    bool valid() const { return valid_ && need_ == 0; }

  private:
    bool valid_ = true;
    int need_ = 0;
    uchar lo_ = 0x80, hi_ = 0xBF;
};

bool isValidUtf8(QByteArrayView bytes);
// Valid UTF-8 to text; a byte order mark in it is kept (as U+FEFF).
QString decodeUtf8(QByteArrayView bytes);
// The bytes after a leading UTF-8 byte order mark, if there is one.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes);

// The byte order mark a file starts with. Only UTF-16 ones change how the
// file is read: spreadsheets write "Unicode text" as UTF-16 with a mark.
enum class ByteOrderMark { None, Utf8, Utf16LE, Utf16BE };
ByteOrderMark byteOrderMarkOf(QByteArrayView start);
qsizetype byteOrderMarkSize(ByteOrderMark mark);

// UTF-16 as UTF-8, fed piece by piece: a character cut between two pieces
// waits for the next, and an unpaired surrogate becomes "?". What comes out
// is always valid UTF-8.
class Utf16ToUtf8 {
  public:
    explicit Utf16ToUtf8(bool bigEndian);
    QByteArray feed(QByteArrayView bytes);

  private:
    QStringDecoder decoder_;
    QString highSurrogate_; // the end of the last piece, waiting for its pair
};

// A whole file's bytes as text, by the rule above.
QString decodeText(const QByteArray& bytes);

// Cuts bytes into lines at CRLF, LF or CR; one line break at the very end adds
// no empty line. Bytes may come in pieces of any size, and a CRLF may be split
// between two pieces: it holds only the unfinished line. Decoding is left to
// the caller, who knows the encoding of the whole stream.
class LineSplitter {
  public:
    void feed(QByteArrayView bytes);
    // No more bytes will come: what is left becomes the last line.
    void finish();
    bool finished() const { return finished_; }
    // Bytes of the line not finished yet.
    qsizetype pendingBytes() const { return buffer_.size() - pos_; }

    // The next complete line without its break, or nothing until more bytes
    // come (or, once finished, at the end).
    std::optional<QByteArray> takeLine();
    // Passes over the next complete line without keeping its bytes, for
    // counting lines; false as takeLine() would give nothing. Use one or the
    // other on a splitter, not both.
    bool skipLine();

  private:
    // Where the next line break from pos_ is, or -1.
    qsizetype findBreak();
    void endLineAt(qsizetype breakAt);

    QByteArray buffer_;
    qsizetype pos_ = 0;  // start of the unfinished line in buffer_
    qsizetype scan_ = 0; // bytes before this hold no break
    bool skipLf_ = false;
    bool skippedText_ = false; // skipLine() dropped bytes of the unfinished line
    bool finished_ = false;
};

// A whole file's bytes as lines, by the rules above.
QStringList decodeLines(const QByteArray& bytes);

} // namespace zot
