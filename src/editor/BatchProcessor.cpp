#include "editor/BatchProcessor.h"

#include "logo/LogoEngine.h"
#include "platform/BmpCodec.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"

namespace zot {

BatchLine parseBatchLine(const QString& line, int inputs) {
    BatchLine parsed;
    qsizetype from = 0;
    for (int i = 1; i <= inputs; ++i) {
        const qsizetype semicolon = line.indexOf(u';', from);
        if (semicolon < 0) {
            parsed.missing = line.mid(from);
            return parsed;
        }
        parsed.fields.append(line.mid(from, semicolon - from));
        from = semicolon + 1;
    }
    parsed.complete = true;
    const qsizetype end = line.indexOf(u';', from);
    parsed.outputName = end < 0 ? line.mid(from) : line.mid(from, end - from);
    return parsed;
}

QString missingSeparatorReport(qint64 lineNumber, const QString& rest) {
    return QStringLiteral("Missing ; at line ") + QString::number(lineNumber) +
           QStringLiteral(" : ") + rest;
}

bool RunBatch(LogoEngine& engine, const QString& batchFile, const QString& outputFolder,
              const std::function<void(qint64, qint64)>& progress) {
    // Streamed line by line: memory stays flat however long the file.
    TextLineReader reader(batchFile);
    const qint64 total = reader.lineCount();
    const int inputs = engine.LabelCount();
    qint64 lineNumber = 0;
    while (std::optional<QString> line = reader.next()) {
        ++lineNumber;
        const BatchLine parsed = parseBatchLine(*line, inputs);
        // The fields before a missing ";" are set all the same.
        engine.setLabelTexts(parsed.fields);
        if (!parsed.complete) {
            engine.appendError(missingSeparatorReport(lineNumber, parsed.missing));
            return false;
        }
        writeBmpFile(engine.logo(), outputPath(outputFolder, parsed.outputName));
        if (progress)
            progress(lineNumber, total);
    }
    return true;
}

} // namespace zot
