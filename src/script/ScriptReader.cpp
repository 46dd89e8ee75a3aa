#include "script/ScriptReader.h"

#include "text/Characters.h"

namespace zot {

namespace {

// Trims characters with codes 32 and below from both ends.
QString trimControl(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start].unicode() <= 32)
        ++start;
    while (end > start && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(start, end - start);
}

} // namespace

ScriptLine ReadScriptLine(ScriptLines& lines, qint32& lineNumber) {
    ScriptLine line;
    do {
        ++lineNumber;
        QString working = lines.front();
        // A "#" starts a comment wherever it stands, quotes included.
        if (const qsizetype hash = working.indexOf(u'#'); hash >= 0)
            working.truncate(hash);
        if (const qsizetype eq = working.indexOf(u'='); eq >= 0) {
            line.command = trimControl(working.left(eq));
            line.value = trimControl(working.mid(eq + 1));
        } else {
            line.command = trimControl(working);
            line.value.clear();
        }
        if (!line.value.isEmpty() && (line.value[0] == u'"' || line.value[0] == u'\'')) {
            // First and last character go, whatever the last one is.
            const qsizetype kept = line.value.size() - 1 - lastCharacterLength(line.value);
            line.value = kept > 0 ? line.value.mid(1, kept) : QString();
        }
        line.rawLine = lines.front();
        lines.popFront();
    } while (line.command.isEmpty() && !lines.isEmpty());
    return line;
}

QString unknownCommandReport(qint32 lineNumber, const QString& rawLine) {
    return QStringLiteral("Unknown command on line %1 : %2").arg(lineNumber).arg(rawLine);
}

QString unknownValueReport(qint32 lineNumber, const QString& rawLine) {
    return QStringLiteral("Unknown value on line %1 : %2").arg(lineNumber).arg(rawLine);
}

} // namespace zot
