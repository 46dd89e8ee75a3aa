#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace zot {

class LogoEngine;

// One line of a batch file for a design with a given number of label inputs.
struct BatchLine {
    QStringList fields;  // the texts for inputs 1, 2, ... (all of them when complete)
    bool complete = false;
    QString outputName;  // when complete: up to the next ";" or the end
    QString missing;     // when not: what was left of the line at the missing ";"
};
BatchLine parseBatchLine(const QString& line, int inputs);
QString missingSeparatorReport(qint64 lineNumber, const QString& rest);

// Makes one logo per line of a batch file: the line's fields go into the
// label inputs in order, the next part up to ";" names the output file in
// outputFolder. A line short of fields stops the batch with a message in the
// error list. Throws zot::Error when the batch file cannot be read or an
// output file cannot be created (the batch ends there).
// Returns false when the batch stopped at a line with a missing ";".
bool RunBatch(LogoEngine& engine, const QString& batchFile, const QString& outputFolder,
              const std::function<void(qint64 done, qint64 total)>& progress = {});

} // namespace zot
