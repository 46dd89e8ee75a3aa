#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace zot {

struct DirectoryEntry {
    QString name;       // decodeFileName(rawName)
    QByteArray rawName; // the name's bytes on disk
    bool isDirectory = false;
    bool isHidden = false; // name starts with "."
};

// The entries of a folder in the order the file system returns them, without
// "." and "..". A folder that cannot be read lists nothing.
std::vector<DirectoryEntry> listDirectory(const QString& folder);

} // namespace zot
