#include "text/JsonLine.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

namespace zot {

namespace {

// A walk over the members of an object Qt has found valid, for what
// QJsonValue does not keep: the order of the keys and how each number is
// written.
class MemberScanner {
  public:
    explicit MemberScanner(QByteArrayView text) : s_(text) {}

    struct Member {
        QByteArrayView key; // the key's literal, quotes included
        QByteArrayView number;
        bool isNumber = false;
    };
    // The next member, or false after the last one.
    bool next(Member& member) {
        skipSpace();
        if (at_ < s_.size() && (s_[at_] == '{' || s_[at_] == ','))
            ++at_;
        skipSpace();
        if (at_ >= s_.size() || s_[at_] != '"')
            return false;
        const qsizetype keyStart = at_;
        skipString();
        member.key = s_.sliced(keyStart, at_ - keyStart);
        skipSpace();
        ++at_; // ':'
        skipSpace();
        member.isNumber = false;
        if (at_ >= s_.size())
            return false;
        const char c = s_[at_];
        if (c == '"') {
            skipString();
        } else if (c == '{' || c == '[') {
            skipNested();
        } else if (c == 't' || c == 'f' || c == 'n') {
            while (at_ < s_.size() && s_[at_] >= 'a' && s_[at_] <= 'z')
                ++at_;
        } else {
            const qsizetype start = at_;
            while (at_ < s_.size() && isNumberChar(s_[at_]))
                ++at_;
            member.number = s_.sliced(start, at_ - start);
            member.isNumber = true;
        }
        return true;
    }

  private:
    static bool isNumberChar(char c) {
        return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
    }
    void skipSpace() {
        while (at_ < s_.size() &&
               (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
            ++at_;
    }
    void skipString() {
        for (++at_; at_ < s_.size() && s_[at_] != '"'; ++at_) {
            if (s_[at_] == '\\')
                ++at_;
        }
        ++at_;
    }
    void skipNested() {
        int depth = 0;
        while (at_ < s_.size()) {
            const char c = s_[at_];
            if (c == '"') {
                skipString();
                continue;
            }
            ++at_;
            if (c == '{' || c == '[')
                ++depth;
            else if ((c == '}' || c == ']') && --depth == 0)
                return;
        }
    }

    QByteArrayView s_;
    qsizetype at_ = 0;
};

QString keyText(QByteArrayView literal) {
    if (!literal.contains('\\'))
        return QString::fromUtf8(literal.sliced(1, literal.size() - 2));
    // Escapes are read as Qt reads them.
    const QByteArray array = '[' + literal.toByteArray() + ']';
    return QJsonDocument::fromJson(array).array().at(0).toString();
}

} // namespace

JsonLine readJsonLine(QByteArrayView utf8) {
    JsonLine line;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(utf8.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError) {
        line.problem = QStringLiteral("it is not valid JSON: %1").arg(error.errorString());
        return line;
    }
    if (!document.isObject()) {
        line.problem = QStringLiteral("it is not a JSON object");
        return line;
    }
    const QJsonObject object = document.object();
    if (object.size() > kMaxJsonKeys) {
        line.problem = QStringLiteral("it has more than 10,000 fields");
        return line;
    }
    QSet<QString> seen;
    MemberScanner scanner(utf8);
    MemberScanner::Member member;
    while (scanner.next(member)) {
        const QString key = keyText(member.key);
        if (seen.contains(key)) {
            line.problem = QStringLiteral("the key \"%1\" is given twice").arg(key);
            return line;
        }
        seen.insert(key);
        const QJsonValue value = object.value(key);
        if (value.isString()) {
            line.values.append(value.toString());
        } else if (value.isDouble() && member.isNumber) {
            line.values.append(QString::fromLatin1(member.number));
        } else {
            line.problem =
                QStringLiteral("the value of \"%1\" is neither a text nor a number").arg(key);
            return line;
        }
        line.keys.append(key);
    }
    return line;
}

} // namespace zot
