#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace zot {

// True when the bytes are a rich text file (they begin with "{\rtf").
bool isRichText(const QByteArray& data);

// Replaces the document's content with the rich text in data: character
// formatting (bold, italic, underline, strike-out, sizes, colours, typefaces,
// super- and subscript), paragraphs with their alignment, indents and
// spacing, and "\'hh" and "\u" characters. Pictures, objects and other
// destinations are left out. Content that is not rich text is taken as plain
// text (UTF-8 when it is valid UTF-8, else Windows-1252).
void loadRichText(QTextDocument& document, const QByteArray& data);

} // namespace zot
