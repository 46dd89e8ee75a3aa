#include "designs/DesignCatalogue.h"

#include "platform/DirectoryListing.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

bool sameLeftOut(const std::vector<LeftOutDesign>& a, const std::vector<LeftOutDesign>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].design.name != b[i].design.name ||
            a[i].design.parentFolder != b[i].design.parentFolder || a[i].reason != b[i].reason)
            return false;
    }
    return true;
}

} // namespace

DesignCatalogue::DesignCatalogue(QStringList folders, QObject* parent)
    : QObject(parent), folders_(std::move(folders)), watcher_(kQuietMs) {
    current_ = scan(folders_);
    connect(&watcher_, &QuietFileWatcher::settled, this, [this] {
        rescan();
        watchWhatIsListed(); // new design folders, and a designs folder made since
    });
}

QString DesignCatalogue::fullStripReason() {
    return u"the strip holds at most 25 designs"_s;
}

QString DesignCatalogue::hiddenBySampleReason() {
    return u"a design of the program folder has the same name"_s;
}

CatalogueScan DesignCatalogue::scan(const QStringList& folders) {
    CatalogueScan result;
    QHash<QString, bool> listed;
    const auto leaveOut = [&result](DesignFolderEntry design, const QString& reason) {
        if (int(result.leftOut.size()) >= kMaxLeftOut) {
            result.moreLeftOut = true;
            return;
        }
        result.leftOut.push_back({std::move(design), reason});
    };
    for (const QString& folder : folders) {
        // Enough to fill the strip and the list of those left out; a folder
        // that lists more says so.
        const int limit = kMaxDesigns + kMaxLeftOut + 1;
        std::vector<DesignFolderEntry> designs = scanDesignFolders(folder, limit);
        if (int(designs.size()) >= limit)
            result.moreLeftOut = true;
        for (DesignFolderEntry& design : designs) {
            if (listed.contains(design.name)) {
                leaveOut(std::move(design), hiddenBySampleReason());
                continue;
            }
            listed.insert(design.name, true);
            if (int(result.shown.size()) >= kMaxDesigns) {
                leaveOut(std::move(design), fullStripReason());
                continue;
            }
            CatalogueEntry entry{std::move(design), {}};
            if (!entry.design.thumbnailPath.isEmpty())
                entry.thumbnail = stampOf(entry.design.thumbnailPath);
            result.shown.push_back(std::move(entry));
        }
    }
    return result;
}

bool DesignCatalogue::rescan() {
    CatalogueScan next = scan(folders_);
    const bool same = next.shown == current_.shown && sameLeftOut(next.leftOut, current_.leftOut) &&
                      next.moreLeftOut == current_.moreLeftOut;
    current_ = std::move(next);
    if (same)
        return false;
    emit changed();
    return true;
}

void DesignCatalogue::startWatching() {
    watching_ = true;
    watchWhatIsListed();
}

void DesignCatalogue::watchWhatIsListed() {
    if (!watching_)
        return;
    QStringList paths;
    for (const QString& folder : folders_) {
        // A designs folder not made yet is seen coming through the nearest
        // folder above it that is there.
        QString path = QDir::cleanPath(folder);
        paths.append(path);
        while (!QFileInfo(path).isDir()) {
            const QString up = QFileInfo(path).absolutePath();
            if (up == path)
                break;
            path = up;
            paths.append(path);
        }
    }
    const auto addDesign = [&paths](const DesignFolderEntry& design) {
        paths.append(childPath(design.parentFolder, design.name));
        if (!design.thumbnailPath.isEmpty())
            paths.append(design.thumbnailPath);
    };
    // A folder becomes a design when its script.zot arrives, which only the
    // folder itself sees.
    for (const QString& folder : folders_) {
        int subfolders = 0;
        for (const DirectoryEntry& entry : listDirectory(folder)) {
            if (!entry.isDirectory || entry.name.startsWith(u'.'))
                continue;
            if (++subfolders > kMaxWatchedFolders)
                break;
            paths.append(childPath(folder, entry.name));
        }
    }
    for (const CatalogueEntry& entry : current_.shown)
        addDesign(entry.design);
    for (const LeftOutDesign& left : current_.leftOut)
        addDesign(left.design);
    watcher_.watch(paths);
}

} // namespace zot
