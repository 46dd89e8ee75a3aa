#include "editor/BatchProcessor.h"

#include "platform/BmpCodec.h"
#include "platform/Paths.h"
#include "platform/TextLineReader.h"
#include "logo/LogoEngine.h"

namespace zot {

bool RunBatch(LogoEngine& engine, const QString& batchFile, const QString& outputFolder,
              const std::function<void(qint64, qint64)>& progress) {
    EditorHost& host = engine.host();
    // Streamed line by line: memory stays flat however long the file.
    TextLineReader reader(batchFile);
    const qint64 total = reader.lineCount();
    const int inputs = host.labelCount();
    QString folder = outputFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    qint64 lineNumber = 0;
    while (std::optional<QString> line = reader.next()) {
        ++lineNumber;
        QString rest = std::move(*line);
        for (int i = 1; i <= inputs; ++i) {
            const qsizetype semicolon = rest.indexOf(u';');
            if (semicolon < 0) {
                host.appendError(QStringLiteral("Missing ; at line ") +
                                 QString::number(lineNumber) + QStringLiteral(" : ") + rest);
                return false;
            }
            host.setLabelText(i, rest.left(semicolon));
            rest.remove(0, semicolon + 1);
        }
        if (const qsizetype semicolon = rest.indexOf(u';'); semicolon >= 0)
            rest.truncate(semicolon);
        writeBmpFile(engine.logo(), outputPath(folder, rest));
        if (progress)
            progress(lineNumber, total);
    }
    return true;
}

} // namespace zot
