#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace zot {

// The application's font table, standing in for the system one: the font
// files one open design installs, added for the run and withdrawn at the next
// reset. A file named again is not added again, and the files read into
// memory (names Qt cannot spell) share one limit, so a script or a folder of
// copies cannot add up to the machine's memory.
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

  private:
    QHash<QByteArray, int> ids_; // by native path; -1 when not added
    qint64 dataBytes_ = 0;
};

} // namespace zot
