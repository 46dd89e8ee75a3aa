#pragma once

#include "platform/Bitmap.h"

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace zot {

// More design folders than this are ignored (the first ones in listing order count).
inline constexpr int kMaxDesigns = 25;

struct DesignFolderEntry {
    QString name;          // the folder's bare name, the design's identity
    QString thumbnailPath; // empty when the folder has no thumbnail.bmp
    QString parentFolder;  // the folder it was found in
};

// The design folders of programFolder in the order the file system lists
// them: folders not starting with "." that hold a file script.zot. At most
// limit of them.
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

// A catalogue button's internal name: the folder name with " " as "_".
QString menuButtonName(const QString& folderName);

// A button caption that shows the name as written ("&" is not a shortcut).
QString literalButtonText(const QString& text);

// The glyph a thumbnail gives a button of buttonSize: the part the button
// shows (centred, clipped by its edges), with the colour of the picture's
// bottom-left pixel see-through.
QImage thumbnailGlyph(const Bitmap& thumbnail, QSize buttonSize);

// Reads a thumbnail file and makes its glyph. Throws Error "Cannot open file
// %s" or "Bitmap image is not valid". Something that is not a regular file
// gives no glyph, as a folder without a thumbnail has none.
QImage loadThumbnailGlyph(const QString& path, QSize buttonSize);

// The strip's arrows: black triangles, 6 x 19, on a see-through ground; grey
// ones for the disabled look.
QPixmap arrowGlyph(Qt::ArrowType direction, bool enabled = true);

} // namespace zot
