#pragma once

#include "designs/DesignFolders.h"
#include "platform/QuietFileWatcher.h"

#include <QObject>
#include <QStringList>
#include <vector>

namespace zot {

// A design folder as the strip shows it, with its thumbnail as last seen so
// that a new picture is told from the old one.
struct CatalogueEntry {
    DesignFolderEntry design;
    FileStamp thumbnail;

    bool operator==(const CatalogueEntry& other) const {
        return design.name == other.design.name &&
               design.parentFolder == other.design.parentFolder &&
               design.thumbnailPath == other.design.thumbnailPath && thumbnail == other.thumbnail;
    }
    bool sameFolder(const CatalogueEntry& other) const {
        return design.name == other.design.name && design.parentFolder == other.design.parentFolder;
    }
};

// A design folder that qualifies but has no button, and why.
struct LeftOutDesign {
    DesignFolderEntry design;
    QString reason;
};

// What the catalogue's folders hold: the designs the strip shows, in order,
// and those left out.
struct CatalogueScan {
    std::vector<CatalogueEntry> shown;
    std::vector<LeftOutDesign> leftOut;
    // More were left out than are listed.
    bool moreLeftOut = false;
};

// The catalogue as its folders hold it now, followed while the program runs:
// a design folder added, changed or removed there is seen once the folders
// have been quiet for a moment. Knows nothing of buttons; the main window
// mirrors it.
class DesignCatalogue : public QObject {
    Q_OBJECT
  public:
    static constexpr int kQuietMs = 200;
    // Left-out designs named at most; listing on would make a huge folder slow.
    static constexpr int kMaxLeftOut = 100;
    // Sub-folders of each catalogue folder followed at most.
    static constexpr int kMaxWatchedFolders = 256;

    explicit DesignCatalogue(QStringList folders, QObject* parent = nullptr);

    // The folders in the order their designs are listed.
    const QStringList& folders() const { return folders_; }
    const CatalogueScan& current() const { return current_; }

    // Scans the folders again; true, and changed() emitted, when what the
    // strip shows or leaves out is different.
    bool rescan();
    // Follows the folders from now on.
    void startWatching();
    bool watching() const { return watching_; }

    static CatalogueScan scan(const QStringList& folders);

    static QString fullStripReason();
    static QString hiddenBySampleReason();

  signals:
    void changed();

  private:
    void watchWhatIsListed();

    QStringList folders_;
    CatalogueScan current_;
    QuietFileWatcher watcher_;
    bool watching_ = false;
};

} // namespace zot
