#pragma once

#include <QStringView>

namespace zot {

// Texts are counted and cut by characters: one outside the Basic
// Multilingual Plane (an emoji) is two UTF-16 units but one character.

// UTF-16 units of the character that starts at i (1 or 2; 0 at the end).
inline qsizetype characterLength(QStringView text, qsizetype i) {
    if (i < 0 || i >= text.size())
        return 0;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return 2;
    return 1;
}

// UTF-16 units of the last character (0 for an empty text).
inline qsizetype lastCharacterLength(QStringView text) {
    const qsizetype n = text.size();
    if (n >= 2 && text[n - 1].isLowSurrogate() && text[n - 2].isHighSurrogate())
        return 2;
    return n > 0 ? 1 : 0;
}

inline qsizetype characterCount(QStringView text) {
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += characterLength(text, i))
        ++count;
    return count;
}

// The first count characters of text (all of it when shorter).
inline QStringView leftCharacters(QStringView text, qsizetype count) {
    qsizetype i = 0;
    for (; i < text.size() && count > 0; --count)
        i += characterLength(text, i);
    return text.left(i);
}

} // namespace zot
