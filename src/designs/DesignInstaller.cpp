#include "designs/DesignInstaller.h"

#include "designs/ArchiveReader.h"
#include "designs/DesignFolders.h"
#include "designs/SevenZipHeaders.h"
#include "designs/UnpackTree.h"
#include "platform/DirectoryListing.h"
#include "platform/Error.h"
#include "platform/NativeFiles.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

// The hidden folder an installation works in, removed with all it holds
// unless its design was moved out.
class WorkFolder {
  public:
    explicit WorkFolder(const QString& designsDir) {
        QByteArray pattern = nativePath(QDir(designsDir).filePath(u".installing-XXXXXX"_s));
        if (!::mkdtemp(pattern.data()))
            throw Error::cannotCreateFile(designsDir);
        path_ = pattern;
        fd_ = ::open(path_.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd_ < 0)
            throw Error::cannotCreateFile(designsDir);
    }
    ~WorkFolder() {
        if (fd_ >= 0)
            ::close(fd_);
        removeNativeTree(path_);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    int fd() const { return fd_; }
    const QByteArray& path() const { return path_; }

  private:
    QByteArray path_;
    int fd_ = -1;
};

QString readFailure(const QString& source, const QString& why) {
    return u"The archive %1 cannot be read: %2"_s.arg(source, why);
}

QString tooMuchMemory(const QString& source, const InstallLimits& limits) {
    return u"The archive %1 needs more than %2 MiB of memory to unpack"_s.arg(
        source, QString::number(limits.maxDecoderMemory / (1024 * 1024)));
}

void unpackArchive(const QString& source, UnpackTree& tree, const InstallLimits& limits) {
    ArchiveReader reader(limits.maxDecoderMemory);
    {
        Fd probe(::open(nativePath(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        // A zip lists all its entries at once: its claim is checked first.
        if (probe.fd >= 0 && ArchiveReader::zipEntriesClaimed(probe.fd) > limits.maxEntries)
            throw Error(u"The design holds more than %1 entries"_s.arg(limits.maxEntries));
        // So are a 7z's decoders, which libarchive makes as large as asked.
        const SevenZipMemory sevenZip =
            probe.fd >= 0 ? sevenZipDecoderMemory(probe.fd, limits.maxDecoderMemory)
                          : SevenZipMemory::NotSevenZip;
        if (sevenZip == SevenZipMemory::TooMuchMemory)
            throw Error(tooMuchMemory(source, limits));
        if (sevenZip == SevenZipMemory::Unreadable)
            throw Error(readFailure(source, u"its 7z headers cannot be followed"_s));
    }
    const auto failure = [&reader, &source, &limits] {
        if (reader.decoderMemoryExceeded())
            return tooMuchMemory(source, limits);
        return readFailure(source, reader.error());
    };
    if (!reader.open(source)) {
        if (reader.unreadableFile())
            throw Error::cannotOpenFile(source);
        throw Error(failure());
    }
    ArchiveEntry entry;
    for (;;) {
        const ArchiveReader::Step step = reader.next(entry);
        if (step == ArchiveReader::Step::End)
            break;
        tree.countEntry();
        if (step == ArchiveReader::Step::Failed) {
            if (!reader.refusedMethod().isEmpty())
                throw Error(u"The entry %1 is packed with %2, which Zotmaker does not unpack"_s.arg(
                    UnpackTree::shownName(entry.path), reader.refusedMethod()));
            throw Error(failure());
        }
        const auto parts = tree.parts(entry.path);
        if (!parts)
            continue;
        const QString shown = UnpackTree::shownName(entry.path);
        switch (entry.kind) {
        case ArchiveEntry::Kind::Link:
            throw Error(u"The entry %1 is a link"_s.arg(shown));
        case ArchiveEntry::Kind::Other:
            throw Error(u"The entry %1 is neither a file nor a folder"_s.arg(shown));
        case ArchiveEntry::Kind::Folder:
            tree.addFolder(*parts, entry.path);
            break;
        case ArchiveEntry::Kind::File:
            tree.addFile(
                *parts, entry.path,
                [&reader](char* buffer, qint64 size) { return reader.read(buffer, size); },
                failure);
            break;
        }
    }
}

// Copies the folder open as dirFd; prefix holds the names above it.
void copyFolder(int dirFd, const QStringList& prefix, const QString& source, UnpackTree& tree) {
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        throw Error::cannotOpenFile(source);
    }
    struct Closer {
        DIR* d;
        ~Closer() { ::closedir(d); }
    } closer{dir};
    // The names first: each sub-folder is copied with only its parents open.
    std::vector<QByteArray> names;
    errno = 0;
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..") {
            tree.countEntry();
            names.push_back(name);
        }
    }
    for (const QByteArray& raw : names) {
        const QString name = decodeFileName(raw);
        const QString entryName = prefix.isEmpty() ? name : prefix.join(u'/') + u'/' + name;
        const QString shown = UnpackTree::shownName(entryName);
        struct stat st {};
        if (::fstatat(::dirfd(dir), raw.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            throw Error::cannotOpenFile(childPath(source, entryName));
        // Names on disk never hold "/": the rules for archive entries apply.
        const auto found = tree.parts(entryName);
        if (!found)
            continue;
        const QStringList& parts = *found;
        if (S_ISLNK(st.st_mode))
            throw Error(u"The entry %1 is a link"_s.arg(shown));
        if (S_ISDIR(st.st_mode)) {
            tree.addFolder(parts, entryName);
            const int sub = ::openat(::dirfd(dir), raw.constData(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0)
                throw Error::cannotOpenFile(childPath(source, entryName));
            copyFolder(sub, parts, source, tree);
        } else if (S_ISREG(st.st_mode)) {
            Fd file(::openat(::dirfd(dir), raw.constData(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
            struct stat opened {};
            if (file.fd < 0 || ::fstat(file.fd, &opened) != 0 || !S_ISREG(opened.st_mode))
                throw Error::cannotOpenFile(childPath(source, entryName));
            const QString path = childPath(source, entryName);
            tree.addFile(
                parts, entryName,
                [&file](char* buffer, qint64 size) -> qint64 {
                    for (;;) {
                        const ssize_t n = ::read(file.fd, buffer, size_t(size));
                        if (n < 0 && errno == EINTR)
                            continue;
                        return n;
                    }
                },
                [&path] { return Error::cannotOpenFile(path).message(); });
        } else {
            throw Error(u"The entry %1 is neither a file nor a folder"_s.arg(shown));
        }
    }
}

QString realPathOf(const QString& path) {
    char* real = ::realpath(nativePath(path).constData(), nullptr);
    if (!real)
        return {};
    const QString out = decodeFileName(QByteArray(real));
    std::free(real);
    return out;
}

void checkName(const QString& name, const QStringList& sampleNames) {
    const QString shown = UnpackTree::shownName(name);
    switch (designNameFault(name)) {
    case DesignNameFault::None:
        break;
    case DesignNameFault::Empty:
        throw Error(u"The design name is empty"_s);
    case DesignNameFault::TooLong:
        throw Error(u"The design name %1 is longer than 255 bytes"_s.arg(shown));
    case DesignNameFault::Hidden:
        throw Error(u"The design name %1 starts with \".\", which hides it"_s.arg(shown));
    case DesignNameFault::Separator:
        throw Error(u"The design name %1 holds \"/\" or \"\\\""_s.arg(shown));
    }
    if (sampleNames.contains(name))
        throw Error(u"The design name %1 is a sample design's, which would hide it"_s.arg(shown));
}

// Where the design lies in what was unpacked, and its name.
struct DesignRoot {
    QByteArray relative; // below the unpacked folder; empty for the folder itself
    QString name;
};

bool isScriptName(const QString& name) {
    return name.compare(u"script.zot"_s, Qt::CaseInsensitive) == 0;
}

DesignRoot findRoot(const UnpackTree& tree, const QString& archiveName) {
    const QStringList& files = tree.topFiles();
    const QStringList& folders = tree.topFolders();
    if (std::any_of(files.begin(), files.end(), isScriptName))
        return {QByteArray(), archiveName};
    if (!files.isEmpty() && !folders.isEmpty())
        throw Error(u"The archive holds files beside its top folder: %1"_s.arg(
            UnpackTree::shownName(files.first())));
    if (folders.size() > 1)
        throw Error(u"The archive holds more than one top folder: %1 and %2"_s.arg(
            UnpackTree::shownName(folders[0]), UnpackTree::shownName(folders[1])));
    if (folders.size() == 1)
        return {folders.first().toUtf8(), folders.first()};
    throw Error(u"The design holds no script.zot"_s);
}

// script.zot as the program looks for it, whatever case Windows gave it.
void settleScript(int designFd) {
    DIR* dir = ::fdopendir(::dup(designFd));
    if (!dir)
        throw Error(u"The design holds no script.zot"_s);
    QByteArray found;
    while (const dirent* e = ::readdir(dir)) {
        if (isScriptName(QString::fromUtf8(e->d_name)))
            found = e->d_name;
    }
    ::closedir(dir);
    struct stat st {};
    if (found.isEmpty() || ::fstatat(designFd, found.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(st.st_mode))
        throw Error(u"The design holds no script.zot"_s);
    if (found != "script.zot" &&
        ::renameat(designFd, found.constData(), designFd, "script.zot") != 0)
        throw Error::cannotCreateFile(u"script.zot"_s);
}

QString sourceFolderName(const QString& source) {
    return QFileInfo(QDir::cleanPath(QDir::current().absoluteFilePath(source))).fileName();
}

} // namespace

QString archiveDesignName(const QString& archivePath) {
    QString name = QFileInfo(archivePath).fileName();
    static const char* const kExtensions[] = {".tar.gz", ".tar.xz", ".tar.bz2", ".tgz", ".txz",
                                              ".tbz2",   ".tbz",    ".tar",     ".zip", ".7z"};
    for (const char* extension : kExtensions) {
        if (name.endsWith(QLatin1StringView(extension), Qt::CaseInsensitive)) {
            name.chop(qsizetype(std::strlen(extension)));
            break;
        }
    }
    return name;
}

QStringList sampleDesignNames(const QString& programFolder) {
    QStringList names;
    // Every sample counts, not only those the strip has room for.
    for (const DesignFolderEntry& design : scanDesignFolders(programFolder, INT_MAX))
        names << design.name;
    return names;
}

InstallResult installDesign(const QString& source, const QString& designsDir,
                            const InstallOptions& options) {
    InstallResult result;
    try {
        struct stat sourceStat {};
        if (::stat(nativePath(source).constData(), &sourceStat) != 0 ||
            !(S_ISDIR(sourceStat.st_mode) || S_ISREG(sourceStat.st_mode)))
            throw Error::cannotOpenFile(source);
        const bool isFolder = S_ISDIR(sourceStat.st_mode);
        if (isFolder) {
            result.name = sourceFolderName(source);
            checkName(result.name, options.sampleNames);
        }
        if (!QDir().mkpath(designsDir))
            throw Error::cannotCreateFile(designsDir);
        const QString target = childPath(designsDir, result.name);
        if (isFolder) {
            const QString realSource = realPathOf(source);
            const QString realDesigns = realPathOf(designsDir);
            if (realSource == realPathOf(target))
                throw Error(u"The design %1 cannot replace itself"_s.arg(result.name));
            if (realDesigns == realSource || realDesigns.startsWith(realSource + u'/'))
                throw Error(u"The folder %1 holds the designs folder"_s.arg(source));
        }

        WorkFolder work(designsDir);
        if (::mkdirat(work.fd(), "design", 0755) != 0)
            throw Error::cannotCreateFile(designsDir);
        Fd unpacked(::openat(work.fd(), "design", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (unpacked.fd < 0)
            throw Error::cannotCreateFile(designsDir);
        UnpackTree tree(unpacked.fd, options.limits);

        DesignRoot root;
        if (isFolder) {
            const int top =
                ::open(nativePath(source).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (top < 0)
                throw Error::cannotOpenFile(source);
            copyFolder(top, {}, source, tree);
            root = {QByteArray(), result.name};
        } else {
            unpackArchive(source, tree, options.limits);
            root = findRoot(tree, archiveDesignName(source));
            result.name = root.name;
            checkName(result.name, options.sampleNames);
        }

        const QByteArray relative =
            root.relative.isEmpty() ? QByteArray("design") : "design/" + root.relative;
        {
            Fd design(::openat(work.fd(), relative.constData(),
                               O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (design.fd < 0)
                throw Error(u"The design holds no script.zot"_s);
            settleScript(design.fd);
        }

        const QString finalTarget = childPath(designsDir, result.name);
        const QByteArray targetName = result.name.toUtf8();
        Fd designs(::open(nativePath(designsDir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (designs.fd < 0)
            throw Error::cannotCreateFile(designsDir);
        // In place at once when the name is free; never over a design that
        // appeared meanwhile.
        if (::renameat2(work.fd(), relative.constData(), designs.fd, targetName.constData(),
                        RENAME_NOREPLACE) != 0) {
            if (errno != EEXIST && errno != ENOTEMPTY)
                throw Error::cannotCreateFile(finalTarget);
            if (!options.replace &&
                !(options.confirmReplace && options.confirmReplace(result.name))) {
                result.alreadyInstalled = true;
                throw Error(u"A design named %1 is installed already"_s.arg(result.name));
            }
            // The old design and the new one change places in one step; the
            // old one then goes with the work folder.
            if (::renameat2(work.fd(), relative.constData(), designs.fd, targetName.constData(),
                            RENAME_EXCHANGE) != 0) {
                // A file system without exchange: the old one is moved aside
                // first and put back if the new one cannot take its place.
                if (::renameat(designs.fd, targetName.constData(), work.fd(), "old") != 0)
                    throw Error::cannotCreateFile(finalTarget);
                if (::renameat(work.fd(), relative.constData(), designs.fd,
                               targetName.constData()) != 0) {
                    ::renameat(work.fd(), "old", designs.fd, targetName.constData());
                    throw Error::cannotCreateFile(finalTarget);
                }
            }
        }
        result.installed = true;
        result.folder = finalTarget;
        result.refusal.clear();
    } catch (const Error& error) {
        result.installed = false;
        result.folder.clear();
        result.refusal = error.message();
    }
    return result;
}

} // namespace zot
