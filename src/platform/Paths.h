#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace zot {

// Finds the files a design names. "\" in a name separates folders, so designs
// written on Windows work unchanged, and each component that does not exist as
// written is looked up ignoring case. Each folder is listed at most once per
// resolver and each lookup is one hash probe, so a script or font that names
// many missing files in a large folder stays linear.
class PathResolver {
  public:
    QString resolve(const QString& folder, const QString& name);
    // Forget what was listed: the folders may have changed.
    void clear() { listings_.clear(); }

  private:
    // A folder's names by their case-folded form.
    using Listing = QHash<QString, QString>;
    const Listing& listing(const QString& folder);
    QHash<QString, Listing> listings_;
};

// One-off lookup of a file a design names (see PathResolver).
QString joinPath(const QString& folder, const QString& name);

// The entry name in folder, taken as a name: Qt's own joining would take a
// name that starts with ":" (a design from an archive may) for one of its
// resources and drop the folder.
QString childPath(const QString& folder, const QString& name);

// A path the program writes: the name exactly as given, "\" still a
// separator, never case-folded, so an existing "acme.bmp" is never taken for
// "ACME.bmp".
QString outputPath(const QString& folder, const QString& name);

// Whether a name given for a file in a folder stays inside it: ".." may
// climb back only as far as the name went down. A downloaded batch file must
// not write over files elsewhere.
bool staysInFolder(const QString& name);

// The folder that holds the running executable.
QString programFolder();

} // namespace zot
