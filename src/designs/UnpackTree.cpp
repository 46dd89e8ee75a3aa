#include "designs/UnpackTree.h"

#include "platform/Error.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace zot {

namespace {

// Closes a descriptor when it goes.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
};

Error cannotCreate(const QString& shown) {
    return Error::cannotCreateFile(UnpackTree::shownName(shown));
}

bool writeAll(int fd, const char* data, qint64 size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= n;
    }
    return true;
}

} // namespace

UnpackTree::UnpackTree(int rootFd, const InstallLimits& limits) : root_(rootFd), limits_(limits) {}

QString UnpackTree::shownName(const QString& name) {
    constexpr qsizetype kShown = 200;
    return name.size() <= kShown ? name : name.left(kShown) + u"\u2026"_s;
}

std::optional<QStringList> UnpackTree::parts(const QString& entryName) const {
    const QString shown = shownName(entryName);
    if (entryName.startsWith(u'/'))
        throw Error(u"The entry %1 would land outside the design folder"_s.arg(shown));
    QStringList out;
    const QStringList pieces = entryName.split(u'/', Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString& piece = pieces[i];
        if (piece == u".")
            continue;
        // "..", and a drive ("C:") that Windows would take as a root.
        const bool drive = i == 0 && piece.size() >= 2 && piece[1] == u':' &&
                           piece[0].unicode() < 0x80 && piece[0].isLetter();
        if (piece == u".." || drive)
            throw Error(u"The entry %1 would land outside the design folder"_s.arg(shown));
        const QString part = piece.normalized(QString::NormalizationForm_C);
        // No file system takes a longer name; a top folder's is the design's.
        if (part.toUtf8().size() > 255) {
            if (out.isEmpty() && i + 1 < pieces.size())
                throw Error(u"The design name %1 is longer than 255 bytes"_s.arg(shownName(part)));
            throw Error(u"The entry %1 has a name longer than 255 bytes"_s.arg(shown));
        }
        out << part;
    }
    if (out.isEmpty())
        return std::nullopt; // the archive's "./"
    // What macOS adds to the archives it makes.
    if (out.first() == u"__MACOSX" || out.last() == u".DS_Store")
        return std::nullopt;
    if (out.size() > limits_.maxDepth + 1)
        throw Error(
            u"The entry %1 lies more than %2 folders deep"_s.arg(shown).arg(limits_.maxDepth));
    return out;
}

void UnpackTree::countEntry() {
    if (++entries_ > limits_.maxEntries)
        throw Error(u"The design holds more than %1 entries"_s.arg(limits_.maxEntries));
}

void UnpackTree::claim(const QStringList& parts, qsizetype count, bool folder,
                       const QString& shown) {
    const QString exact = parts.first(count).join(u'/');
    const QString key = exact.toCaseFolded();
    const auto it = names_.constFind(key);
    if (it == names_.constEnd()) {
        names_.insert(key, {exact, folder});
        if (count == 1)
            (folder ? topFolders_ : topFiles_) << exact;
        return;
    }
    if (it->exact != exact)
        throw Error(u"The entries %1 and %2 differ only in case"_s.arg(shownName(it->exact),
                                                                       shownName(shown)));
    // A folder may be named again (as the parent of each of its entries);
    // a file only once.
    if (!(folder && it->folder))
        throw Error(u"The entry %1 appears twice"_s.arg(shownName(shown)));
}

int UnpackTree::openFolder(const QStringList& parts, qsizetype count, const QString& shown) {
    int fd = ::dup(root_);
    if (fd < 0)
        throw cannotCreate(shown);
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray name = parts[i].toUtf8();
        if (::mkdirat(fd, name.constData(), 0755) != 0 && errno != EEXIST) {
            ::close(fd);
            throw cannotCreate(shown);
        }
        const int next =
            ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        if (next < 0)
            throw cannotCreate(shown);
        fd = next;
    }
    return fd;
}

void UnpackTree::addFolder(const QStringList& parts, const QString& shown) {
    for (qsizetype i = 1; i <= parts.size(); ++i)
        claim(parts, i, true, shown);
    Fd folder(openFolder(parts, parts.size(), shown));
}

void UnpackTree::addFile(const QStringList& parts, const QString& shown, const Reader& read,
                         const std::function<QString()>& failure) {
    for (qsizetype i = 1; i < parts.size(); ++i)
        claim(parts, i, true, shown);
    claim(parts, parts.size(), false, shown);
    Fd folder(openFolder(parts, parts.size() - 1, shown));
    const QByteArray name = parts.last().toUtf8();
    Fd file(::openat(folder.fd, name.constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (file.fd < 0)
        throw cannotCreate(shown);
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const qint64 got = read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            throw Error(failure());
        if (got == 0)
            break;
        // Counted as written, whatever the entry's header claimed.
        if (got > limits_.maxBytes - bytes_)
            throw Error(
                u"The design unpacks to more than %1 MiB"_s.arg(limits_.maxBytes / (1024 * 1024)));
        if (!writeAll(file.fd, buffer.data(), got))
            throw cannotCreate(shown);
        bytes_ += got;
    }
}

} // namespace zot
