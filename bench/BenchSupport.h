#pragma once

// What the benchmarks that run zotmaker-cli share: their options and how
// they sum up interleaved runs.
#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace zot::bench {

// The middle of the values (the mean of the two middle ones for an even
// count), 0 for none.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Takes "NAME VALUE" out of args and gives VALUE; fallback when the option
// is not there.
inline QString takeOption(QStringList& args, const char* name, const QString& fallback = {}) {
    const qsizetype i = args.indexOf(QString::fromLatin1(name));
    if (i < 0 || i + 1 >= args.size())
        return fallback;
    const QString value = args[i + 1];
    args.remove(i, 2);
    return value;
}

// The same for a number.
inline int takeIntOption(QStringList& args, const char* name, int fallback) {
    const QString value = takeOption(args, name);
    return value.isNull() ? fallback : value.toInt();
}

} // namespace zot::bench
