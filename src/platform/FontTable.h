#pragma once

#include "platform/SfntNames.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

namespace zot {

// A face a design installs: its file and what its tables say of it.
struct DesignFace {
    QString file;
    SfntFace face;
};

// The application's font table, standing in for the system one: the font
// files one open design installs, added for the run and withdrawn at the next
// reset. A file named again is not added again, and the files read share one
// limit, so a script or a folder of copies cannot add up to the machine's
// memory.
//
// Each family is added under a name of its own, never seen by another design
// or by the system's fonts: a design's "DejaVu Sans" is drawn with the faces it
// ships even where the machine has a DejaVu Sans of another version.
class InstalledFonts {
  public:
    // Far past the fonts of any design; one file may take at most 64 MiB.
    static constexpr qint64 kMaxDataBytes = qint64(256) * 1024 * 1024;

    InstalledFonts() = default;
    InstalledFonts(const InstalledFonts&) = delete;
    InstalledFonts& operator=(const InstalledFonts&) = delete;
    ~InstalledFonts() { removeAll(); }

    // Adds the font file at path; false when it cannot be added (also when
    // it could not be the first time it was named).
    bool add(const QString& path);
    void removeAll();
    // Distinct files named, and the font-table ids of those added.
    qsizetype filesNamed() const { return ids_.size(); }
    QList<int> ids() const;

    // The family to ask Qt for when a script names a typeface: the design's
    // own when one of its files carries that family name (compared as
    // fontconfig compares them), else nothing.
    std::optional<QString> familyFor(const QString& name) const;
    // The design's face that draws name in that style: the nearest by slant,
    // then weight, as the font database picks it. Null when familyFor has none.
    const DesignFace* faceFor(const QString& name, bool bold, bool italic) const;

  private:
    struct Family {
        QString original; // as its files name it
        QString added;    // as it is in the font table
        QList<DesignFace> faces;
        QStringList keys; // every family name of its faces, as familyKey gives them
    };
    const Family* familyNamed(const QString& name) const;

    QHash<QByteArray, int> ids_; // by native path; -1 when not added
    QList<Family> families_;
    qint64 dataBytes_ = 0;
};

// What the system's font matching (fontconfig, on which Qt's font database
// is built here) draws a family with: its file and the family names it has.
struct SystemFontMatch {
    QString file;
    QStringList families;
};
std::optional<SystemFontMatch> matchSystemFont(const QString& family, bool bold, bool italic);

} // namespace zot
