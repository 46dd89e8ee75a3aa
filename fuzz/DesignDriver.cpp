#include "DesignDriver.h"

#include "batch/BatchProcessor.h"
#include "imaging/BmpCodec.h"
#include "logo/HeadlessEditor.h"
#include "logo/LogoEngine.h"
#include "platform/Error.h"

#include <QFile>
#include <cstdlib>

namespace zot::fuzz {

namespace {

// A logo written and read back must be the logo.
void checkWritten(const Bitmap& logo, const QString& outFile) {
    QFile file(outFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const std::optional<Bitmap> back = decodeBmp(file.readAll());
    if (!back || back->width() != logo.width() || back->height() != logo.height())
        std::abort();
}

} // namespace

void driveDesign(const QString& programFolder, const QString& folderName, const QStringList& texts,
                 const QString& outFile) {
    HeadlessEditor editor;
    LogoEngine engine(editor, programFolder);
    try {
        engine.OpenDesign(folderName);
        const int inputs = engine.LabelCount();
        for (int i = 0; i < inputs && !texts.isEmpty(); ++i)
            engine.setLabelText(i + 1, texts[i % texts.size()]);
        // The same texts again, turned round, as one batch line.
        QStringList line;
        for (int i = 0; i < inputs && !texts.isEmpty(); ++i)
            line.append(texts[(texts.size() - 1 - i % texts.size())]);
        engine.setLabelTexts(line);
        engine.MeasureLogoWidth();
        writeBmpFile(engine.logo(), outFile);
        checkWritten(engine.logo(), outFile);
    } catch (const Error&) {
        // Reported in the error box: a normal end.
    }
}

void driveBatch(const QString& programFolder, const QString& folderName, const QString& batchFile,
                const QString& outFolder) {
    HeadlessEditor editor;
    LogoEngine engine(editor, programFolder);
    try {
        engine.OpenDesign(folderName);
        RunBatch(engine, batchFile, outFolder);
    } catch (const Error&) {
    }
}

} // namespace zot::fuzz
