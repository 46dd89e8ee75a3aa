#pragma once

#include <QString>
#include <QStringList>

namespace zot::fuzz {

// Everything the fuzz targets ask of the engine, in one place so an engine
// interface change touches only this file.

// Opens the design folderName of programFolder as the editor does, types
// texts into the label inputs (text i into input i + 1, repeating when there
// are more inputs), then writes the logo to outFile and reads it back.
// Failures the program reports (zot::Error) are expected outcomes.
void driveDesign(const QString& programFolder, const QString& folderName, const QStringList& texts,
                 const QString& outFile);

// Opens the design and runs batchFile through the batch into outFolder.
void driveBatch(const QString& programFolder, const QString& folderName, const QString& batchFile,
                const QString& outFolder);

} // namespace zot::fuzz
