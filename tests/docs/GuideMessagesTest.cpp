// The design guide lists every message the program gives, and only those:
// its messages table is compared with the message texts written in src/.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kSourceDir = QStringLiteral(ZOT_SOURCE_DIR);
// Stands for "filled in here" in both the guide's and the program's texts.
const QChar kHole = QChar(0x1);

QString readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

// Texts in src/ that read like sentences but are no message: captions,
// tooltips, font names, the command-line tool's own help, checks at build time.
const QSet<QString> kNotMessages = {
    QStringLiteral("Arial Black"),
    QStringLiteral("MS Sans Serif"),
    QStringLiteral("Batch process"),
    QStringLiteral("Comma Seperated Files|*.txt;*.csv;"),
    QStringLiteral("Spreadsheet with a header row|*.csv;*.tsv;"),
    QStringLiteral("1 design has no button: right-click here for the list"),
    QStringLiteral("%n designs have no button: right-click here for the list"),
    QStringLiteral("%1 of %2 lines"),
    QStringLiteral("%1 lines"),
    QStringLiteral("BMP picture|*|PNG picture|*.png"),
    QStringLiteral("Copy 2 clipboard"),
    QStringLiteral("Copyright \u00A9 2024"),
    QStringLiteral("Image size"),
    QStringLiteral("Save to file"),
    QStringLiteral("Set as wallpaper"),
    QStringLiteral("Zotmaker authors"),
    QStringLiteral("Choose Folder"),
    QStringLiteral("Making logos\u2026"),
    QStringLiteral("Earlier designs"),
    QStringLiteral("Later designs"),
    QStringLiteral("Designs without a button"),
    QStringLiteral("Open a design"),
    QStringLiteral("Texts of the logo"),
    QStringLiteral("Logo view"),
    QStringLiteral("About Zotmaker"),
    QStringLiteral("Error list"),
    QStringLiteral("Zoom of the logo view, in percent"),
    QStringLiteral("Problems found in the design's script"),
    QStringLiteral("Text %1"),
    QStringLiteral("%1 \u00d7 %2 pixels: %3"),
    QStringLiteral("Designs"),
    QStringLiteral("Open design folder"),
    QStringLiteral("Make my own copy"),
    QStringLiteral("Make my own copy\u2026"),
    QStringLiteral("Name of the copy:"),
    QStringLiteral("Move to trash"),
    QStringLiteral("Zotmaker: "),
    QStringLiteral("Bitmap storage access assumes a little-endian host"),
    QStringLiteral("BMP pixel rows are copied as little-endian"),
};

// ------------------------------------------------------------- the sources

// The string literals of a C++ file, adjacent ones joined, escapes read.
// Comments, character literals and raw strings are passed over.
QStringList stringLiterals(const QString& code) {
    QStringList out;
    QString current;
    bool inLiteral = false; // current holds a literal that may continue
    const qsizetype n = code.size();
    auto flush = [&] {
        if (inLiteral)
            out << current;
        current.clear();
        inLiteral = false;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = code[i];
        if (c == u'/' && i + 1 < n && code[i + 1] == u'/') {
            i = code.indexOf(u'\n', i);
            if (i < 0)
                break;
            continue;
        }
        if (c == u'/' && i + 1 < n && code[i + 1] == u'*') {
            const qsizetype end = code.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == u'R' && i + 1 < n && code[i + 1] == u'"') {
            flush();
            const qsizetype open = code.indexOf(u'(', i);
            const QString close = u')' + code.mid(i + 2, open - i - 2) + u'"';
            const qsizetype end = code.indexOf(close, open);
            i = end < 0 ? n : end + close.size();
            continue;
        }
        if (c == u'\'') {
            flush();
            for (++i; i < n && code[i] != u'\''; ++i)
                if (code[i] == u'\\')
                    ++i;
            ++i;
            continue;
        }
        if (c == u'"') {
            inLiteral = true;
            for (++i; i < n && code[i] != u'"'; ++i) {
                if (code[i] != u'\\') {
                    current += code[i];
                    continue;
                }
                const QChar e = code[++i];
                if (e == u'n')
                    current += u'\n';
                else if (e == u't')
                    current += u'\t';
                else if (e == u'u') {
                    current += QChar(code.mid(i + 1, 4).toUShort(nullptr, 16));
                    i += 4;
                } else
                    current += e;
            }
            ++i;
            continue;
        }
        // A prefix (u, u8, U, L) or a suffix (_s) stays with its literal.
        if (c.isLetterOrNumber() || c == u'_') {
            qsizetype j = i;
            while (j < n && (code[j].isLetterOrNumber() || code[j] == u'_'))
                ++j;
            const QString word = code.mid(i, j - i);
            const bool prefix = j < n && code[j] == u'"' &&
                                (word == u"u" || word == u"u8" || word == u"U" || word == u"L");
            if (!prefix && !(inLiteral && word == u"_s"))
                flush();
            i = j;
            continue;
        }
        flush();
        ++i;
    }
    flush();
    return out;
}

QStringList sourceLiterals() {
    QStringList all;
    QDirIterator it(kSourceDir + QStringLiteral("/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        all << stringLiterals(readFile(it.next()));
    return all;
}

// Reads like a sentence: a capital or a quote first, or a hole and a word
// ("%1 row %2 ...": a message that opens with a file's name), and more than
// one word. The command-line tool's help is its own page, not a message.
bool readsLikeAMessage(const QString& text) {
    const bool holeFirst = text.size() > 3 && text[0] == u'%' && text[1].isDigit() &&
                           text[2] == u' ' && text[3].isLower();
    return !text.isEmpty() && (text[0].isUpper() || text[0] == u'\'' || holeFirst) &&
           text.contains(u' ') && !text.startsWith(QStringLiteral("Usage: zotmaker-cli"));
}

// The program's "%1" holes as kHole.
QString withHoles(const QString& literal) {
    QString s = literal;
    static const QRegularExpression arg(QStringLiteral("%[1-9]"));
    return s.replace(arg, QString(kHole));
}

// ----------------------------------------------------------------- the guide

QString guide() {
    return readFile(kSourceDir + QStringLiteral("/docs/script-language.md"));
}

// The guide's "*value*" holes as kHole.
QString guideText(QString cell) {
    static const QRegularExpression hole(QStringLiteral("\\*[^*]+\\*"));
    return cell.trimmed().replace(hole, QString(kHole));
}

// The first column of the table between the messages markers.
QStringList guideTable(const QString& text) {
    const qsizetype begin = text.indexOf(QStringLiteral("<!-- messages:begin -->"));
    const qsizetype end = text.indexOf(QStringLiteral("<!-- messages:end -->"));
    EXPECT_GE(begin, 0);
    EXPECT_GT(end, begin);
    QStringList messages;
    const QStringList rows = text.mid(begin, end - begin).split(u'\n');
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString row = rows[r].trimmed();
        if (!row.startsWith(u'|') || row.startsWith(QStringLiteral("|---")) ||
            row.startsWith(QStringLiteral("| message |")))
            continue;
        messages << guideText(row.section(u'|', 1, 1));
    }
    return messages;
}

// The messages the Messages section explains: in bold at a line's start
// (bold) or in the last column of a table outside the messages table (cells).
QStringList guideExplained(const QString& text, bool cells) {
    const qsizetype begin = text.indexOf(QStringLiteral("\n## Messages\n"));
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), begin + 1);
    const qsizetype tableBegin = text.indexOf(QStringLiteral("<!-- messages:begin -->"));
    EXPECT_GE(begin, 0);
    QString section = text.mid(begin, end - begin);
    if (tableBegin > begin && tableBegin < end)
        section.truncate(tableBegin - begin);
    QStringList messages;
    static const QRegularExpression bold(QStringLiteral("^\\*\\*(.+)\\*\\*$"));
    for (const QString& line : section.split(u'\n')) {
        if (cells) {
            if (line.startsWith(u'|') && !line.startsWith(QStringLiteral("|---")))
                messages << guideText(line.section(u'|', -2, -2));
            continue;
        }
        for (const QString& part : line.split(QStringLiteral(" / "))) {
            const auto m = bold.match(part.trimmed());
            if (m.hasMatch())
                messages << guideText(m.captured(1));
        }
    }
    return messages;
}

// A piece of the program's text, holes matching anything, found in a guide text.
bool fitsInto(const QString& programText, const QString& guideMessage) {
    QString pattern;
    for (const QString& piece : programText.split(kHole))
        pattern += QRegularExpression::escape(piece) + QStringLiteral(".*");
    pattern.chop(2);
    return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
        .match(guideMessage)
        .hasMatch();
}

// How a text opens: up to its first hole, or, when it opens with a hole,
// that hole and the words after it.
QString opening(const QString& text) {
    if (!text.startsWith(kHole))
        return text.section(kHole, 0, 0);
    return kHole + text.section(kHole, 1, 1);
}

std::string shown(const QString& s) {
    QString t = s;
    return t.replace(kHole, QStringLiteral("…")).toStdString();
}

// ------------------------------------------------------------------- tests

TEST(GuideMessages, TheLiteralScannerReadsWhatTheCompilerReads) {
    const QString code = QStringLiteral(
        "// \"not this\"\n"
        "auto a = QStringLiteral(\"Missing \\\"x\\\" at \" \n \"end!\"); /* \"nor this\" */\n"
        "auto b = u\"Copyright \\u00A9\"_s + u\"more\"_s; char q = '\"';\n"
        "auto c = R\"(raw \"text\")\"; f(\"a\", \"b\");\n");
    EXPECT_EQ(
        stringLiterals(code),
        (QStringList{QStringLiteral("Missing \"x\" at end!"), QStringLiteral("Copyright \u00A9"),
                     QStringLiteral("more"), QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(GuideMessages, EveryMessageOfTheProgramIsInTheGuide) {
    const QStringList table = guideTable(guide());
    ASSERT_FALSE(table.isEmpty());
    int checked = 0;
    for (const QString& literal : sourceLiterals()) {
        if (!readsLikeAMessage(literal) || kNotMessages.contains(literal))
            continue;
        ++checked;
        const QString text = withHoles(literal);
        const bool listed = std::any_of(table.begin(), table.end(),
                                        [&](const QString& m) { return fitsInto(text, m); });
        EXPECT_TRUE(listed) << "the program can say \"" << shown(text)
                            << "\" but the guide's messages table does not list it";
    }
    EXPECT_GE(checked, int(table.size()) / 2) << "the source scan found almost nothing";
}

TEST(GuideMessages, EveryMessageInTheGuideIsOneTheProgramGives) {
    const QStringList literals = sourceLiterals();
    QStringList starts; // texts that open a message
    for (const QString& literal : literals)
        if (readsLikeAMessage(literal) && !kNotMessages.contains(literal))
            starts << withHoles(literal);
    for (const QString& message : guideTable(guide())) {
        SCOPED_TRACE(shown(message));
        const QStringList pieces = message.split(kHole, Qt::SkipEmptyParts);
        ASSERT_FALSE(pieces.isEmpty());
        // It begins as one of the program's texts begins ...
        EXPECT_TRUE(std::any_of(starts.begin(), starts.end(), [&](const QString& s) {
            return message.startsWith(opening(s));
        })) << "no text in src/ opens this message";
        // ... and every fixed piece of it is written in the program.
        for (const QString& piece : pieces) {
            EXPECT_TRUE(std::any_of(literals.begin(), literals.end(),
                                    [&](const QString& l) { return withHoles(l).contains(piece); }))
                << "\"" << piece.toStdString() << "\" is in no text of src/";
        }
    }
}

TEST(GuideMessages, TheExplanationsAndTheTableListTheSameMessages) {
    const QString text = guide();
    const QStringList table = guideTable(text);
    const QSet<QString> tableSet(table.begin(), table.end());
    EXPECT_EQ(table.size(), tableSet.size()) << "a message is listed twice";
    QSet<QString> explained;
    for (QString m : guideExplained(text, false)) {
        // Message boxes add a full stop; the table has the message as written.
        if (!tableSet.contains(m) && m.endsWith(u'.') && tableSet.contains(m.chopped(1)))
            m.chop(1);
        EXPECT_TRUE(tableSet.contains(m)) << "explained but not in the table: " << shown(m);
        explained << m;
    }
    for (const QString& m : guideExplained(text, true))
        explained << m;
    for (const QString& m : table)
        EXPECT_TRUE(explained.contains(m) || explained.contains(m + u'.'))
            << "in the table but not explained: " << shown(m);
}

} // namespace
