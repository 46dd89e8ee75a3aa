#include "batch/BatchShard.h"

#include <QDir>

namespace zot {

quint64 outputNameHash(const QString& outputName) {
    QString name = outputName;
    name.replace(u'\\', u'/');
    const QByteArray bytes = QDir::cleanPath(name).toUtf8();
    quint64 h = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        h ^= quint8(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

bool BatchShard::owns(const QString& outputName) const {
    if (count <= 1)
        return true;
    return outputNameHash(outputName) % quint64(count) == quint64(index - 1);
}

std::optional<BatchShard> parseBatchShard(const QString& text) {
    const qsizetype slash = text.indexOf(u'/');
    if (slash <= 0)
        return std::nullopt;
    // Digits only: no sign, no spaces, no "0x".
    const auto number = [](QStringView digits) -> std::optional<int> {
        if (digits.isEmpty() || digits.size() > 9)
            return std::nullopt;
        for (QChar c : digits) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        return digits.toInt();
    };
    const std::optional<int> k = number(QStringView(text).left(slash));
    const std::optional<int> n = number(QStringView(text).mid(slash + 1));
    if (!k || !n || *k < 1 || *k > *n)
        return std::nullopt;
    return BatchShard{*k, *n};
}

} // namespace zot
