#pragma once

#include <QString>
#include <QStringList>

namespace zot {

// What an installation may unpack. Archives and folders come from anyone:
// these bound the disk, the entries and the decoders' memory they can cost.
struct InstallLimits {
    qint64 maxBytes = qint64(512) * 1024 * 1024;           // file data written, all files together
    int maxEntries = 20000;                                // every entry read, ignored ones too
    quint64 maxDecoderMemory = quint64(128) * 1024 * 1024; // an xz stream's dictionary
    int maxDepth = 32;                                     // folders within the design
};

struct InstallOptions {
    // Put the design in place of one already installed under its name.
    bool replace = false;
    // The sample designs' names: a user design of the same name would be
    // hidden by the sample in the catalogue.
    QStringList sampleNames;
    InstallLimits limits;
};

struct InstallResult {
    bool installed = false;
    QString name;   // the design's name, once it is known
    QString folder; // the installed design folder, when installed
    // Why nothing was installed: one sentence naming the reason or the entry.
    QString refusal;
    // Refused only because a design of that name is installed already;
    // installing again with replace puts the new one in its place.
    bool alreadyInstalled = false;
};

// Installs the design in source (a .zip, .tar, .tar.gz, .tar.xz, .tar.bz2 or
// .7z archive, or a design folder) into designsDir/NAME. It is unpacked into
// a hidden folder beside the target and moved into place only when complete;
// on refusal nothing is left behind. designsDir is created when missing.
InstallResult installDesign(const QString& source, const QString& designsDir,
                            const InstallOptions& options = {});

// The design name an archive without a top folder gets: its file name
// without the archive extensions ("Blue Sky.tar.gz" gives "Blue Sky").
QString archiveDesignName(const QString& archivePath);

// The names of the design folders in programFolder (the sample designs).
QStringList sampleDesignNames(const QString& programFolder);

} // namespace zot
