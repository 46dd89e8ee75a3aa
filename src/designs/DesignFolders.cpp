#include "designs/DesignFolders.h"

#include "platform/DirectoryListing.h"
#include "platform/Locations.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"

#include <QSet>
#include <algorithm>

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

bool designNameLess(const QString& a, const QString& b) {
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Numbers by value: without leading zeros, the longer is larger.
            qsizetype ei = i, ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            qsizetype si = i, sj = j;
            while (si + 1 < ei && a[si] == u'0')
                ++si;
            while (sj + 1 < ej && b[sj] == u'0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            if (const int c =
                    QStringView(a).mid(si, ei - si).compare(QStringView(b).mid(sj, ej - sj)))
                return c < 0;
            i = ei;
            j = ej;
            continue;
        }
        // Case folded code points: no locale's collation takes part.
        const qsizetype ni = i + (a[i].isHighSurrogate() && i + 1 < a.size() ? 2 : 1);
        const qsizetype nj = j + (b[j].isHighSurrogate() && j + 1 < b.size() ? 2 : 1);
        if (const int c = QStringView(a).mid(i, ni - i).compare(QStringView(b).mid(j, nj - j),
                                                                Qt::CaseInsensitive))
            return c < 0;
        i = ni;
        j = nj;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    return a < b;
}

std::vector<DesignFolderEntry> scanDesignFolders(const QString& programFolder, int limit) {
    std::vector<DesignFolderEntry> designs;
    // Folder listings come in the file system's own order (a hash, on most
    // Linux file systems); the catalogue shows names in an order a person
    // can follow, the same on every machine.
    QStringList names;
    for (const DirectoryEntry& entry : listDirectory(programFolder))
        if (entry.isDirectory && !entry.name.startsWith(u'.'))
            names.append(entry.name);
    std::sort(names.begin(), names.end(), designNameLess);
    for (const QString& name : std::as_const(names)) {
        if (int(designs.size()) >= limit)
            break;
        // The name comes from the listing; joining it as one component keeps
        // a "\" in a folder name from being read as a separator.
        const QString folder = childPath(programFolder, name);
        if (!nativeIsFile(joinPath(folder, u"script.zot"_s)))
            continue;
        DesignFolderEntry design{name, {}, programFolder};
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
