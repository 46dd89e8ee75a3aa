#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace zot {

// More design folders than this are ignored (the first ones in name order count).
inline constexpr int kMaxDesigns = 25;

struct DesignFolderEntry {
    QString name;          // the folder's bare name, the design's identity
    QString thumbnailPath; // empty when the folder has no thumbnail.bmp
    QString parentFolder;  // the folder it was found in
};

// Whether design name a comes before b, as a person sorts names: case
// ignored, a run of digits read as a number ("Logo 2" before "Logo 10"),
// ties broken by the exact name. The same under every locale.
bool designNameLess(const QString& a, const QString& b);

// The design folders of programFolder in name order (designNameLess):
// folders not starting with "." that hold a file script.zot. At most limit
// of them, the first in that order.
std::vector<DesignFolderEntry> scanDesignFolders(const QString& programFolder,
                                                 int limit = kMaxDesigns);

// The design folders of each of parentFolders in turn, by the rules above,
// at most limit of them together. A name already listed from an earlier
// folder is skipped, so a shipped design is never hidden by a copy of the
// same name in a later folder.
std::vector<DesignFolderEntry> scanCatalogue(const QStringList& parentFolders,
                                             int limit = kMaxDesigns);

// The folders the catalogue scans: the program folder, then the user's own
// designs folder.
QStringList catalogueFolders(const QString& programFolder);

// What keeps a name from naming a design folder of its own: empty, over 255
// bytes, hidden by a leading ".", or holding a separator ("/", or "\" as
// Windows-made designs and batch files read it).
enum class DesignNameFault { None, Empty, TooLong, Hidden, Separator };
DesignNameFault designNameFault(const QString& name);

// The user's own designs: userDataFolder() + "designs/".
QString userDesignsFolder();

} // namespace zot
