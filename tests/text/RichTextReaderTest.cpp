#include "text/RichTextReader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace zot {
namespace {

QString plainText(const QByteArray& rtf) {
    QTextDocument doc;
    loadRichText(doc, rtf);
    return doc.toRawText();
}

// The character format at the first occurrence of needle's first character.
QTextCharFormat formatAt(const QTextDocument& doc, const QString& needle) {
    const qsizetype at = doc.toRawText().indexOf(needle);
    EXPECT_GE(at, 0) << needle.toStdString();
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(int(at) + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

struct TextCase {
    const char* name;
    QByteArray rtf;
    QString text;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class RichTextContent : public ::testing::TestWithParam<TextCase> {};

TEST_P(RichTextContent, GivesTheShownText) {
    EXPECT_EQ(plainText(GetParam().rtf), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RichTextContent,
    ::testing::Values(
        TextCase{"Words", "{\\rtf1 Hello world}", u"Hello world"_s},
        TextCase{"DelimiterSpaceIsEaten", "{\\rtf1\\b Bold\\b0  plain}", u"Bold plain"_s},
        TextCase{"LineBreaksInTheFileAreNotText", "{\\rtf1 one\r\ntwo}", u"onetwo"_s},
        TextCase{"Paragraphs", "{\\rtf1 one\\par two\\par}", u"one\u2029two"_s},
        TextCase{"LineAndTab", "{\\rtf1 a\\line b\\tab c}", u"a\u2028b\tc"_s},
        TextCase{"EscapedSymbols", "{\\rtf1 \\{x\\} \\\\ y}", u"{x} \\ y"_s},
        TextCase{"HexCharacters", "{\\rtf1 caf\\'e9 \\'80 \\'93q\\'94}",
                 u"caf\u00e9 \u20ac \u201cq\u201d"_s},
        // The same Windows-1252 as scripts and batch files: undefined bytes keep their code.
        TextCase{"UndefinedWindows1252Bytes", "{\\rtf1 \\'81\\'8d\\'8f\\'90\\'9d}",
                 u"\u0081\u008d\u008f\u0090\u009d"_s},
        TextCase{"UnicodeSkipsItsFallback", "{\\rtf1 \\u8364?5}", u"\u20ac5"_s},
        TextCase{"UnicodeNegative", "{\\rtf1 \\u-4064?}", u"\uf020"_s},
        TextCase{"UnicodeFallbackOfTwo", "{\\rtf1\\uc2 \\u8364\\'80\\'80x}", u"\u20acx"_s},
        TextCase{"UnicodeFallbackAsHex", "{\\rtf1 \\u233\\'e9t\\'e9}", u"\u00e9t\u00e9"_s},
        TextCase{"SurrogatePair", "{\\rtf1 \\u-10179?\\u-8704?}", u"\U0001F600"_s},
        TextCase{"SpecialCharacters", "{\\rtf1 a\\~b\\emdash c\\bullet}",
                 u"a\u00a0b\u2014c\u2022"_s},
        TextCase{"TablesAreNotShown",
                 "{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red1\\green2\\blue3;}"
                 "{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}Body}",
                 u"Body"_s},
        TextCase{"IgnorableDestination", "{\\rtf1 a{\\*\\generator Writer 1.0;}b}", u"ab"_s},
        TextCase{"PicturesAreLeftOut", "{\\rtf1 a{\\pict\\pngblip 89504e47}b}", u"ab"_s},
        TextCase{"BinaryDataIsSkipped", "{\\rtf1 a{\\pict\\bin4 }{x}}b}", u"ab"_s},
        TextCase{"BinaryCountPastTheEnd", "{\\rtf1 a\\bin99999 xyz", u"a"_s},
        TextCase{"ExtraClosingBrace", "{\\rtf1 a}}b}", u"ab"_s},
        TextCase{"UnclosedGroups", "{\\rtf1 a{\\b b", u"ab"_s},
        TextCase{"TruncatedHex", "{\\rtf1 a\\'e", u"a"_s},
        TextCase{"HugeParameter", "{\\rtf1\\fs99999999999999999999 big}", u"big"_s},
        TextCase{"UnknownWordsShowNothing", "{\\rtf1\\ansi\\deff0\\viewkind4\\uc1 ok}", u"ok"_s},
        TextCase{"BackslashNewlineIsAParagraph", "{\\rtf1 a\\\nb}", u"a\u2029b"_s}),
    [](const ::testing::TestParamInfo<TextCase>& p) { return std::string(p.param.name); });

TEST(RichTextReader, VeryDeepNestingIsReadWithoutFailing) {
    QByteArray rtf = "{\\rtf1 start";
    rtf += QByteArray(100000, '{') + "deep" + QByteArray(100000, '}');
    rtf += " end}";
    // What lies past the depth limit is dropped; what follows it is read again.
    EXPECT_EQ(plainText(rtf), u"start end"_s);
}

TEST(RichTextReader, CharacterFormattingFollowsGroupsAndResets) {
    QTextDocument doc;
    loadRichText(doc, "{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 DejaVu Serif;}}"
                      "{\\colortbl;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}"
                      "n {\\b B {\\i BI} B2} {\\ul U\\ulnone N} {\\strike S} "
                      "\\fs40 big\\fs0  \\cf1 blue\\cf0  \\highlight2 hl\\highlight0  "
                      "\\f1 serif \\b\\i\\plain reset x\\super sup\\nosupersub  "
                      "\\uldb dbl\\ul0  end}");
    const QTextCharFormat n = formatAt(doc, u"n "_s);
    EXPECT_EQ(n.fontWeight(), QFont::Normal);
    EXPECT_EQ(formatAt(doc, u"B "_s).fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatAt(doc, u"B "_s).fontItalic());
    EXPECT_TRUE(formatAt(doc, u"BI"_s).fontItalic());
    EXPECT_EQ(formatAt(doc, u"BI"_s).fontWeight(), QFont::Bold);
    EXPECT_EQ(formatAt(doc, u"B2"_s).fontWeight(), QFont::Bold);
    EXPECT_FALSE(formatAt(doc, u"B2"_s).fontItalic());
    EXPECT_TRUE(formatAt(doc, u"U"_s).fontUnderline());
    EXPECT_FALSE(formatAt(doc, u"N "_s).fontUnderline());
    EXPECT_TRUE(formatAt(doc, u"S"_s).fontStrikeOut());
    EXPECT_DOUBLE_EQ(formatAt(doc, u"big"_s).fontPointSize(), 20.0);
    EXPECT_EQ(formatAt(doc, u"blue"_s).foreground().color(), QColor(0, 0, 255));
    EXPECT_FALSE(formatAt(doc, u"hl"_s).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatAt(doc, u"hl"_s).background().color(), QColor(0, 128, 0));
    EXPECT_EQ(formatAt(doc, u"serif"_s).fontFamilies().toStringList(),
              QStringList{u"DejaVu Serif"_s});
    const QTextCharFormat reset = formatAt(doc, u"reset"_s);
    EXPECT_EQ(reset.fontWeight(), QFont::Normal);
    EXPECT_FALSE(reset.fontItalic());
    EXPECT_FALSE(reset.hasProperty(QTextFormat::FontFamilies));
    EXPECT_EQ(formatAt(doc, u"sup"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_TRUE(formatAt(doc, u"dbl"_s).fontUnderline());
    EXPECT_FALSE(formatAt(doc, u"end"_s).fontUnderline());
}

TEST(RichTextReader, ParagraphsKeepAlignmentAndIndents) {
    QTextDocument doc;
    loadRichText(doc, "{\\rtf1\\qc centred\\par\\qr right\\par\\pard\\li300\\fi-150\\sa150 "
                      "indented\\par\\qj justified\\par}");
    ASSERT_EQ(doc.blockCount(), 4);
    const QTextBlock centred = doc.findBlockByNumber(0);
    EXPECT_EQ(centred.text(), u"centred"_s);
    EXPECT_EQ(centred.blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(doc.findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
    const QTextBlockFormat indented = doc.findBlockByNumber(2).blockFormat();
    EXPECT_EQ(indented.alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(indented.leftMargin(), 20.0);
    EXPECT_DOUBLE_EQ(indented.textIndent(), -10.0);
    EXPECT_DOUBLE_EQ(indented.bottomMargin(), 10.0);
    EXPECT_EQ(doc.findBlockByNumber(3).blockFormat().alignment(), Qt::AlignJustify);
}

TEST(RichTextReader, NotRichTextIsTakenAsPlainText) {
    struct Case {
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {" {\\rtf1 leading space}", u" {\\rtf1 leading space}"_s},
        {"caf\xc3\xa9", u"caf\u00e9"_s},         // UTF-8
        {"caf\xe9 \x80", u"caf\u00e9 \u20ac"_s}, // not UTF-8: Windows-1252
        {"", QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        QTextDocument doc;
        loadRichText(doc, c.bytes);
        EXPECT_EQ(doc.toPlainText(), c.text);
    }
}

} // namespace
} // namespace zot
