#pragma once

#include <QString>
#include <QStringList>

namespace zot {

// The script lines, consumed from the front by every parser.
class ScriptLines {
  public:
    ScriptLines() = default;
    explicit ScriptLines(QStringList lines) : lines_(std::move(lines)) {}
    bool isEmpty() const { return next_ >= lines_.size(); }
    qsizetype remaining() const { return lines_.size() - next_; }
    const QString& front() const { return lines_[next_]; }
    void popFront() { ++next_; }
    void assign(QStringList lines) {
        lines_ = std::move(lines);
        next_ = 0;
    }
    void clear() { assign({}); }

  private:
    QStringList lines_;
    qsizetype next_ = 0;
};

struct ScriptLine {
    QString rawLine;
    QString command;
    QString value;
};

// Reads lines until one has a command or the lines run out, adding 1 to
// lineNumber for every line taken. Precondition: lines is not empty.
ScriptLine ReadScriptLine(ScriptLines& lines, qint32& lineNumber);

QString unknownCommandReport(qint32 lineNumber, const QString& rawLine);
QString unknownValueReport(qint32 lineNumber, const QString& rawLine);

} // namespace zot
