#include "designs/DesignFolders.h"

#include "platform/DirectoryListing.h"
#include "platform/Locations.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"

#include <QDir>
#include <QSet>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

// A regular file of that name is there, or a dangling link, so that its
// failure to open is reported rather than hidden. A pipe or a device (an
// unpacked link to /dev/zero) is no thumbnail: reading it would never end.
bool fileEntryExists(const QString& path) {
    return nativeIsFile(path) || (nativeIsNonFolderEntry(path) && !nativeExists(path));
}

} // namespace

std::vector<DesignFolderEntry> scanDesignFolders(const QString& programFolder, int limit) {
    std::vector<DesignFolderEntry> designs;
    for (const DirectoryEntry& entry : listDirectory(programFolder)) {
        if (int(designs.size()) >= limit)
            break;
        if (!entry.isDirectory || entry.name.startsWith(u'.'))
            continue;
        // The name comes from the listing; joining it as one component keeps
        // a "\" in a folder name from being read as a separator.
        const QString folder = QDir(programFolder).filePath(entry.name);
        if (!nativeIsFile(joinPath(folder, u"script.zot"_s)))
            continue;
        DesignFolderEntry design{entry.name, {}, programFolder};
        const QString thumbnail = joinPath(folder, u"thumbnail.bmp"_s);
        if (fileEntryExists(thumbnail))
            design.thumbnailPath = thumbnail;
        designs.push_back(std::move(design));
    }
    return designs;
}

std::vector<DesignFolderEntry> scanCatalogue(const QStringList& parentFolders, int limit) {
    std::vector<DesignFolderEntry> designs;
    QSet<QString> listed;
    for (const QString& folder : parentFolders) {
        if (int(designs.size()) >= limit)
            break; // a full strip needs no further listing
        // limit entries of a folder always suffice: no more of them are
        // skipped than are listed already.
        for (DesignFolderEntry& design : scanDesignFolders(folder, limit)) {
            if (int(designs.size()) >= limit)
                return designs;
            if (listed.contains(design.name))
                continue;
            listed.insert(design.name);
            designs.push_back(std::move(design));
        }
    }
    return designs;
}

QStringList catalogueFolders(const QString& programFolder) {
    return {programFolder, userDesignsFolder()};
}

DesignNameFault designNameFault(const QString& name) {
    if (name.isEmpty())
        return DesignNameFault::Empty;
    if (name.toUtf8().size() > 255)
        return DesignNameFault::TooLong;
    if (name.startsWith(u'.'))
        return DesignNameFault::Hidden;
    if (name.contains(u'/') || name.contains(u'\\'))
        return DesignNameFault::Separator;
    return DesignNameFault::None;
}

QString userDesignsFolder() {
    return userDataFolder() + u"designs/"_s;
}

} // namespace zot
