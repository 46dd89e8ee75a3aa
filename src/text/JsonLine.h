#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace zot {

// One line of a JSON Lines file: an object whose values are texts or
// numbers, read with Qt's JSON classes. A number is kept as it is written
// ("1.50" stays "1.50"), which a double would not do.
struct JsonLine {
    QStringList keys;   // in the order written
    QStringList values; // one per key
    // Not empty when the line is no such object: what is wrong with it.
    QString problem;
};

// A line of more keys than this is refused, as a row of more fields is.
constexpr qsizetype kMaxJsonKeys = 10000;

JsonLine readJsonLine(QByteArrayView utf8);

} // namespace zot
