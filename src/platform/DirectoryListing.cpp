#include "platform/DirectoryListing.h"

#include "platform/NativeFiles.h"

#include <QFile>
#include <dirent.h>
#include <sys/stat.h>

namespace zot {

std::vector<DirectoryEntry> listDirectory(const QString& folder) {
    std::vector<DirectoryEntry> entries;
    const QByteArray native = nativePath(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir)
        return entries;
    while (const dirent* ent = ::readdir(dir)) {
        const QByteArray name(ent->d_name);
        if (name == "." || name == "..")
            continue;
        DirectoryEntry entry;
        entry.name = decodeFileName(name);
        entry.rawName = name;
        entry.isHidden = name.startsWith('.');
        bool isDir = ent->d_type == DT_DIR;
        if (ent->d_type == DT_UNKNOWN || ent->d_type == DT_LNK) {
            struct stat st {};
            const QByteArray full = native + '/' + name;
            isDir = ::stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        entry.isDirectory = isDir;
        entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

} // namespace zot
