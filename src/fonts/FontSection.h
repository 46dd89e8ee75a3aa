#pragma once

#include "script/LogoEngine.h"

#include <QString>

namespace zot {

// Upper-cases a-z only, as the script's alignment letters are read.
inline QChar upperAZ(QChar c) {
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - 32) : c;
}

// Lower-cases A-Z only, as texts are matched against character names.
inline QChar lowerAZ(QChar c) {
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 32) : c;
}

// The first letter of an "align" value; an empty value aligns nowhere.
inline QChar alignLetter(const QString& value) {
    return value.isEmpty() ? QChar(0) : upperAZ(value[0]);
}

inline QString tooManyFontsReport(qint32 lineNumber) {
    return QStringLiteral("A design holds at most 25 fonts: the font section ending on line ") +
           QString::number(lineNumber) + QStringLiteral(" is ignored.");
}

} // namespace zot
