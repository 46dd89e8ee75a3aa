#include "text/RichTextReader.h"

#include "text/TextDecoding.h"

#include <QColor>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace zot {

namespace {

// Groups nested deeper than this are read as if they held nothing: no real
// file comes near it, and it bounds the state stack.
constexpr int kMaxDepth = 200;
// A twip is 1/1440 inch; at 96 pixels per inch that is 15 twips a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kMaxTwips = 1440 * 22; // anything wider than a page is noise
constexpr int kMaxHalfPoints = 2 * 1000;

enum class Destination { Text, Skip, FontTable, ColorTable };

struct State {
    Destination destination = Destination::Text;
    // Character properties
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int vertical = 0;   // 1 superscript, -1 subscript
    int halfPoints = 0; // 0: the document's default size
    int colour = 0;     // colour table index, 0 = automatic
    int background = 0;
    int font = -1;
    int skipAfterUnicode = 1; // \uc
    // Paragraph properties
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    void resetCharacter() {
        bold = italic = underline = strike = false;
        vertical = halfPoints = colour = background = 0;
        font = -1;
    }
    void resetParagraph() {
        alignment = Qt::AlignLeft;
        leftIndent = rightIndent = firstIndent = spaceBefore = spaceAfter = 0;
    }
};

bool isSkippedDestination(std::string_view word) {
    static constexpr std::string_view kSkipped[] = {"annotation",
                                                    "atnauthor",
                                                    "atnid",
                                                    "author",
                                                    "bkmkend",
                                                    "bkmkstart",
                                                    "buptim",
                                                    "colorschememapping",
                                                    "comment",
                                                    "creatim",
                                                    "datastore",
                                                    "docvar",
                                                    "doccomm",
                                                    "fldinst",
                                                    "filetbl",
                                                    "footer",
                                                    "footerf",
                                                    "footerl",
                                                    "footerr",
                                                    "footnote",
                                                    "generator",
                                                    "header",
                                                    "headerf",
                                                    "headerl",
                                                    "headerr",
                                                    "info",
                                                    "keywords",
                                                    "latentstyles",
                                                    "listoverridetable",
                                                    "listtable",
                                                    "mmathPr",
                                                    "nonshppict",
                                                    "object",
                                                    "operator",
                                                    "pgdsctbl",
                                                    "pict",
                                                    "printim",
                                                    "revtbl",
                                                    "revtim",
                                                    "rsidtbl",
                                                    "shppict",
                                                    "stylesheet",
                                                    "subject",
                                                    "tc",
                                                    "template",
                                                    "themedata",
                                                    "title",
                                                    "userprops",
                                                    "xe",
                                                    "xmlnstbl"};
    return std::find(std::begin(kSkipped), std::end(kSkipped), word) != std::end(kSkipped);
}

int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

class RtfReader {
  public:
    RtfReader(const QByteArray& data, QTextDocument& document) : data_(data), cursor_(&document) {}

    void run() {
        const qsizetype n = data_.size();
        while (pos_ < n) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                flush();
                openGroup();
                break;
            case '}':
                flush();
                closeGroup();
                break;
            case '\\':
                readControl();
                break;
            case '\r':
            case '\n':
                break;
            default:
                character(windows1252Char(uchar(c)));
                break;
            }
        }
        flush();
        cursor_.setBlockFormat(blockFormat());
        // The closing \par of a file leaves an empty last line; drop it.
        if (cursor_.block().text().isEmpty() && cursor_.blockNumber() > 0)
            cursor_.deletePreviousChar();
    }

  private:
    const QByteArray& data_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    State state_;
    std::vector<State> stack_;
    int ignoredDepth_ = 0;
    int pendingSkip_ = 0; // characters still to drop after a \u
    QString pending_;     // text in the current character format
    std::map<int, QString> fonts_;
    int fontEntry_ = -1;
    QString fontName_;
    std::vector<QColor> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourGiven_ = false;

    void openGroup() {
        pendingSkip_ = 0;
        if (ignoredDepth_ > 0 || int(stack_.size()) >= kMaxDepth) {
            ++ignoredDepth_;
            return;
        }
        stack_.push_back(state_);
    }

    void closeGroup() {
        pendingSkip_ = 0;
        if (ignoredDepth_ > 0) {
            --ignoredDepth_;
            return;
        }
        if (state_.destination == Destination::FontTable)
            commitFont();
        if (stack_.empty())
            return; // an unbalanced "}" closes nothing
        state_ = stack_.back();
        stack_.pop_back();
    }

    void commitFont() {
        if (fontEntry_ >= 0 && !fontName_.trimmed().isEmpty())
            fonts_[fontEntry_] = fontName_.trimmed();
        fontName_.clear();
    }

    void character(QChar ch) {
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (ignoredDepth_ > 0)
            return;
        switch (state_.destination) {
        case Destination::Text:
            pending_ += ch;
            break;
        case Destination::FontTable:
            if (ch == u';') {
                commitFont();
            } else {
                fontName_ += ch;
            }
            break;
        case Destination::ColorTable:
            if (ch == u';') {
                colours_.push_back(colourGiven_ ? QColor(red_, green_, blue_) : QColor());
                red_ = green_ = blue_ = 0;
                colourGiven_ = false;
            }
            break;
        case Destination::Skip:
            break;
        }
    }

    void readControl() {
        const qsizetype n = data_.size();
        if (pos_ >= n)
            return;
        const char c = data_[pos_];
        if (!std::isalpha(uchar(c))) {
            ++pos_;
            controlSymbol(c);
            return;
        }
        const qsizetype start = pos_;
        while (pos_ < n && std::isalpha(uchar(data_[pos_])))
            ++pos_;
        const std::string_view word(data_.constData() + start,
                                    size_t(std::min<qsizetype>(pos_ - start, 32)));
        bool negative = false;
        if (pos_ < n && data_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        bool hasParam = false;
        long long value = 0;
        while (pos_ < n && std::isdigit(uchar(data_[pos_]))) {
            hasParam = true;
            if (value < 100000000000LL)
                value = value * 10 + (data_[pos_] - '0');
            ++pos_;
        }
        if (negative)
            value = -value;
        if (pos_ < n && data_[pos_] == ' ')
            ++pos_; // the delimiting space belongs to the word
        const int param = int(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
        flush();
        if (word == "bin") {
            // Raw bytes follow; their count comes from the file.
            pos_ += std::clamp<qsizetype>(param, 0, n - pos_);
            return;
        }
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        if (ignoredDepth_ > 0)
            return;
        controlWord(word, hasParam, param);
    }

    void controlSymbol(char c) {
        switch (c) {
        case '\'': {
            const qsizetype n = data_.size();
            if (pos_ + 2 <= n) {
                bool ok = false;
                const int code = data_.mid(pos_, 2).toInt(&ok, 16);
                pos_ += 2;
                if (ok)
                    character(windows1252Char(uchar(code)));
            } else {
                pos_ = n;
            }
            break;
        }
        case '\\':
        case '{':
        case '}':
            character(QChar(uchar(c)));
            break;
        case '~':
            character(QChar(0x00A0));
            break;
        case '_':
            character(QChar(0x2011));
            break;
        case '*':
            if (ignoredDepth_ == 0)
                state_.destination = Destination::Skip;
            break;
        case '\r':
        case '\n':
            flush();
            if (pendingSkip_ > 0)
                --pendingSkip_;
            else if (ignoredDepth_ == 0)
                controlWord("par", false, 0);
            break;
        default:
            // \- (optional hyphen), \| and the like show nothing.
            if (pendingSkip_ > 0)
                --pendingSkip_;
            break;
        }
    }

    void special(QChar ch) { character(ch); }

    void controlWord(std::string_view w, bool hasParam, int param) {
        State& s = state_;
        const bool on = !hasParam || param != 0;
        if (s.destination == Destination::ColorTable) {
            int* channel = w == "red"     ? &red_
                           : w == "green" ? &green_
                           : w == "blue"  ? &blue_
                                          : nullptr;
            if (channel) {
                *channel = std::clamp(param, 0, 255);
                colourGiven_ = true;
            }
            return;
        }
        if (s.destination == Destination::FontTable) {
            if (w == "f") {
                commitFont();
                fontEntry_ = param;
            } else if (isSkippedDestination(w) || w == "panose" || w == "falt") {
                s.destination = Destination::Skip;
            }
            return;
        }
        if (s.destination == Destination::Skip)
            return;

        if (w == "fonttbl") {
            s.destination = Destination::FontTable;
            fontEntry_ = -1;
        } else if (w == "colortbl") {
            s.destination = Destination::ColorTable;
            colours_.clear();
        } else if (isSkippedDestination(w)) {
            s.destination = Destination::Skip;
        } else if (w == "par" || w == "sect") {
            cursor_.setBlockFormat(blockFormat());
            cursor_.insertBlock();
        } else if (w == "line") {
            special(QChar(QChar::LineSeparator));
        } else if (w == "tab") {
            special(u'\t');
        } else if (w == "emdash") {
            special(QChar(0x2014));
        } else if (w == "endash") {
            special(QChar(0x2013));
        } else if (w == "bullet") {
            special(QChar(0x2022));
        } else if (w == "lquote") {
            special(QChar(0x2018));
        } else if (w == "rquote") {
            special(QChar(0x2019));
        } else if (w == "ldblquote") {
            special(QChar(0x201C));
        } else if (w == "rdblquote") {
            special(QChar(0x201D));
        } else if (w == "emspace" || w == "enspace" || w == "qmspace") {
            special(u' ');
        } else if (w == "u") {
            if (hasParam) {
                // Written as a signed 16-bit number; surrogate halves pair up
                // in the QString by themselves.
                const int code = param < 0 ? param + 65536 : param;
                if (code >= 0 && code <= 0xFFFF)
                    character(QChar(char16_t(code)));
                pendingSkip_ = s.skipAfterUnicode;
            }
        } else if (w == "uc") {
            s.skipAfterUnicode = std::clamp(param, 0, 16);
        } else if (w == "plain") {
            s.resetCharacter();
        } else if (w == "pard") {
            s.resetParagraph();
        } else if (w == "b") {
            s.bold = on;
        } else if (w == "i") {
            s.italic = on;
        } else if (w == "strike") {
            s.strike = on;
        } else if (w == "ul") {
            s.underline = on;
        } else if (w == "ulnone") {
            s.underline = false;
        } else if (w.size() > 2 && w.substr(0, 2) == "ul" && w != "ulc") {
            s.underline = !hasParam || param != 0; // dotted, double, word... all underline
        } else if (w == "super") {
            s.vertical = 1;
        } else if (w == "sub") {
            s.vertical = -1;
        } else if (w == "nosupersub") {
            s.vertical = 0;
        } else if (w == "fs") {
            s.halfPoints = hasParam && param > 0 ? std::min(param, kMaxHalfPoints) : 0;
        } else if (w == "cf") {
            s.colour = std::max(param, 0);
        } else if (w == "cb" || w == "highlight") {
            s.background = std::max(param, 0);
        } else if (w == "f") {
            s.font = param;
        } else if (w == "ql") {
            s.alignment = Qt::AlignLeft;
        } else if (w == "qc") {
            s.alignment = Qt::AlignHCenter;
        } else if (w == "qr") {
            s.alignment = Qt::AlignRight;
        } else if (w == "qj") {
            s.alignment = Qt::AlignJustify;
        } else if (w == "li") {
            s.leftIndent = clampTwips(param);
        } else if (w == "ri") {
            s.rightIndent = clampTwips(param);
        } else if (w == "fi") {
            s.firstIndent = clampTwips(param);
        } else if (w == "sb") {
            s.spaceBefore = clampTwips(param);
        } else if (w == "sa") {
            s.spaceAfter = clampTwips(param);
        }
        // Every other word (document settings, \rtf, \ansi...) changes nothing shown.
    }

    QColor tableColour(int index) const {
        if (index <= 0 || size_t(index) >= colours_.size())
            return {};
        return colours_[size_t(index)];
    }

    QTextCharFormat charFormat() const {
        const State& s = state_;
        QTextCharFormat f;
        f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(s.italic);
        f.setFontUnderline(s.underline);
        f.setFontStrikeOut(s.strike);
        if (s.vertical != 0)
            f.setVerticalAlignment(s.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                  : QTextCharFormat::AlignSubScript);
        if (s.halfPoints > 0)
            f.setFontPointSize(s.halfPoints / 2.0);
        if (const QColor c = tableColour(s.colour); c.isValid())
            f.setForeground(c);
        if (const QColor c = tableColour(s.background); c.isValid())
            f.setBackground(c);
        if (const auto it = fonts_.find(s.font); it != fonts_.end())
            f.setFontFamilies(QStringList{it->second});
        return f;
    }

    QTextBlockFormat blockFormat() const {
        const State& s = state_;
        QTextBlockFormat b;
        b.setAlignment(s.alignment);
        b.setLeftMargin(s.leftIndent / kTwipsPerPixel);
        b.setRightMargin(s.rightIndent / kTwipsPerPixel);
        b.setTextIndent(s.firstIndent / kTwipsPerPixel);
        b.setTopMargin(s.spaceBefore / kTwipsPerPixel);
        b.setBottomMargin(s.spaceAfter / kTwipsPerPixel);
        return b;
    }

    void flush() {
        if (pending_.isEmpty())
            return;
        cursor_.insertText(pending_, charFormat());
        pending_.clear();
    }
};

} // namespace

bool isRichText(const QByteArray& data) {
    return data.startsWith("{\\rtf");
}

void loadRichText(QTextDocument& document, const QByteArray& data) {
    document.clear();
    if (!isRichText(data)) {
        document.setPlainText(decodeText(data));
        return;
    }
    RtfReader(data, document).run();
}

} // namespace zot
