#include "script/IntegerConversion.h"

#include "platform/Error.h"

namespace zot {

namespace {

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

std::optional<qint32> tryStrToInt(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    int prefix = 0;
    if (n >= 1 && (text[0] == u'$' || text[0] == u'x' || text[0] == u'X'))
        prefix = 1;
    else if (n >= 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X'))
        prefix = 2;
    if (prefix > 0) {
        i = prefix;
        if (i >= n)
            return std::nullopt;
        quint64 value = 0;
        for (; i < n; ++i) {
            const int d = hexDigit(text[i]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + quint64(d);
            if (value > 0xffffffffull)
                return std::nullopt;
        }
        return static_cast<qint32>(static_cast<quint32>(value));
    }
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i >= n)
        return std::nullopt;
    qint64 value = 0;
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        value = value * 10 + (u - u'0');
        if (value > qint64(1) << 31)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(value);
}

qint32 StrToInt(const QString& text) {
    if (const auto value = tryStrToInt(text))
        return *value;
    throw Error::invalidInteger(text);
}

} // namespace zot
