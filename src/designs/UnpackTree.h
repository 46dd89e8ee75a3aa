#pragma once

#include "designs/DesignInstaller.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace zot {

// Writes the entries of an untrusted design into an empty folder of our own,
// refusing (with zot::Error) whatever could escape it or outgrow the limits.
// Names are stored as UTF-8 in composed form; no link is ever followed and
// no existing file is ever opened for writing.
class UnpackTree {
  public:
    // rootFd: the empty folder, kept open by the caller.
    UnpackTree(int rootFd, const InstallLimits& limits);

    // The parts of an entry's name ("/" separated; "\" already turned into
    // "/"), or nothing for an entry to pass over (__MACOSX/, .DS_Store, the
    // top folder "."). Refuses names that would land outside.
    std::optional<QStringList> parts(const QString& entryName) const;

    // Counts an entry read, passed over or not.
    void countEntry();
    void addFolder(const QStringList& parts, const QString& shown);
    // read(buffer, size) gives the file's bytes: 0 at the end, -1 on failure
    // (then failure() is the refusal).
    using Reader = std::function<qint64(char*, qint64)>;
    void addFile(const QStringList& parts, const QString& shown, const Reader& read,
                 const std::function<QString()>& failure);

    // What lies at the top: names of files, names of folders.
    const QStringList& topFiles() const { return topFiles_; }
    const QStringList& topFolders() const { return topFolders_; }
    qint64 bytesWritten() const { return bytes_; }

    // A name as shown in a message: long names cut short.
    static QString shownName(const QString& name);

  private:
    // Opens (making it when missing) the folder of the first count parts.
    int openFolder(const QStringList& parts, qsizetype count, const QString& shown);
    // Claims a name; refuses a second spelling of it or a second file.
    void claim(const QStringList& parts, qsizetype count, bool folder, const QString& shown);

    int root_;
    InstallLimits limits_;
    int entries_ = 0;
    qint64 bytes_ = 0;
    struct Claimed {
        QString exact;
        bool folder;
    };
    QHash<QString, Claimed> names_; // by case-folded path
    QStringList topFiles_, topFolders_;
};

} // namespace zot
