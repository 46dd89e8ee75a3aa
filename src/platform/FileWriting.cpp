#include "platform/FileWriting.h"

#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace zot {

namespace {

bool writeAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// ".zot-HOST-PID", worked out once: neither changes while the process runs.
const QByteArray& temporaryMark() {
    static const QByteArray suffix = [] {
        char host[HOST_NAME_MAX + 1] = {};
        if (::gethostname(host, sizeof host - 1) != 0 || host[0] == '\0')
            qstrcpy(host, "localhost");
        QByteArray name(host);
        name.replace('/', '_');
        return QByteArrayLiteral(".zot-") + name.left(64) + '-' +
               QByteArray::number(qint64(::getpid()));
    }();
    return suffix;
}

quint64 fnv1a64(QByteArrayView bytes) {
    quint64 h = 0xcbf29ce484222325ULL;
    for (char c : bytes) {
        h ^= quint8(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

// Numbered, so that no two files in flight share a name (two names may lead
// to one file).
quint64 nextNumber() {
    static std::atomic<quint64> counter{0};
    return counter.fetch_add(1, std::memory_order_relaxed);
}

// A write lock on the whole file, owned by the open file description: it
// conflicts with every other description of the file, in this process or
// any other, and goes when the last descriptor of it is closed.
int lockWhole(int fd, int command) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    int result;
    do
        result = ::fcntl(fd, command, &lock);
    while (result != 0 && errno == EINTR);
    return result;
}

// An empty temporary file that can be locked may be a writer's that has just
// created it by name and is about to lock it; past this age it is abandoned.
constexpr time_t kEmptyGraceSeconds = 60;

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes the temporary file name in folder if no writer holds it. The lock
// is kept while the name is removed, and the name must still lead to the
// file locked: a writer that put its file in place released it after.
bool removeIfAbandoned(int folder, const char* name) {
    struct stat named {};
    if (::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode))
        return false;
    // Opened for writing, as a write lock asks: a file we may not write is
    // left alone.
    const int fd =
        ::openat(folder, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat held {};
    struct stat now {};
    const bool abandoned =
        ::fstat(fd, &held) == 0 && sameFile(held, named) && lockWhole(fd, F_OFD_SETLK) == 0 &&
        ::fstat(fd, &held) == 0 &&
        (held.st_size > 0 || ::time(nullptr) - held.st_ctime >= kEmptyGraceSeconds) &&
        ::fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, held);
    const bool removed = abandoned && ::unlinkat(folder, name, 0) == 0;
    ::close(fd);
    return removed;
}

// The folder of target, for an unnamed file made there.
QByteArray folderOf(const QByteArray& target) {
    const qsizetype slash = target.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : target.left(slash);
}

// Gives the unnamed file fd a temporary name for target, the next number
// whose name is free (a leftover of a process gone may hold ours). False
// when it cannot be linked, as without /proc.
bool nameUnnamedFile(int fd, const QByteArray& target, QByteArray& temporary) {
    char self[40];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    for (int tries = 0; tries < 100; ++tries) {
        temporary = temporaryFileName(target, nextNumber());
        if (::linkat(AT_FDCWD, self, AT_FDCWD, temporary.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    temporary.clear();
    return false;
}

} // namespace

QByteArray temporaryFileName(const QByteArray& target, quint64 number) {
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    QByteArray name = target.mid(slash + 1);
    const QByteArray suffix =
        temporaryMark() + '-' + QByteArray::number(number) + QByteArrayLiteral(".tmp");
    // A file name holds at most 255 bytes here.
    constexpr qsizetype kNameMax = 255;
    const qsizetype room = kNameMax - 1 - suffix.size();
    if (name.size() > room) {
        const QByteArray hash = '~' + QByteArray::number(fnv1a64(name), 16);
        name = name.left(room - hash.size()) + hash;
    }
    return folder + '.' + name + suffix;
}

bool isTemporaryFileName(QByteArrayView name) {
    // ".NAME.zot-HOST-PID-NUMBER.tmp", read from the end: a HOST may hold
    // '-' and '.'.
    if (!name.startsWith('.') || !name.endsWith(".tmp"))
        return false;
    QByteArrayView rest = name.chopped(4);
    for (int field = 0; field < 2; ++field) {
        qsizetype digits = 0;
        while (digits < rest.size() && rest[rest.size() - 1 - digits] >= '0' &&
               rest[rest.size() - 1 - digits] <= '9')
            ++digits;
        if (digits == 0 || digits == rest.size() || rest[rest.size() - 1 - digits] != '-')
            return false;
        rest.chop(digits + 1);
    }
    // At least one byte of NAME after the leading '.', and of HOST.
    const qsizetype mark = rest.lastIndexOf(QByteArrayView(".zot-"));
    return mark >= 2 && mark + 5 < rest.size();
}

QByteArray followLinks(const QByteArray& target) {
    struct stat st {};
    return followLinks(target, st);
}

QByteArray followLinks(const QByteArray& target, struct stat& st) {
    QByteArray path = target;
    for (int hops = 0; hops < 40; ++hops) {
        if (::lstat(path.constData(), &st) != 0) {
            st = {};
            return path;
        }
        if (!S_ISLNK(st.st_mode))
            return path;
        QByteArray linked(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), linked.data(), size_t(linked.size()));
        if (n <= 0 || n >= linked.size())
            return {};
        linked.truncate(n);
        if (!linked.startsWith('/'))
            linked.prepend(path.left(path.lastIndexOf('/') + 1));
        path = linked;
    }
    return {};
}

PendingFile::PendingFile(PendingFile&& other) noexcept
    : path_(std::move(other.path_)), target_(std::move(other.target_)),
      temporary_(std::exchange(other.temporary_, {})), fd_(std::exchange(other.fd_, -1)) {}

PendingFile& PendingFile::operator=(PendingFile&& other) noexcept {
    if (this != &other) {
        discard();
        path_ = std::move(other.path_);
        target_ = std::move(other.target_);
        temporary_ = std::exchange(other.temporary_, {});
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::release() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

PendingFile PendingFile::write(const QString& path, QByteArrayView bytes) {
    const auto fail = [&path] { return Error::cannotCreateFile(path); };
    PendingFile pending;
    pending.path_ = path;
    // By the real bytes: the output folder may have a Windows-1252 name.
    const QByteArray named = nativePath(path);
    if (named.isEmpty() || named.endsWith('/'))
        throw fail();
    struct stat st {};
    const QByteArray target = followLinks(named, st);
    if (target.isEmpty())
        throw fail();
    // A folder is not replaced, nor a file we may not write. (A new file, the
    // usual case, costs one lstat here.)
    if (st.st_mode != 0 && (S_ISDIR(st.st_mode) || ::access(target.constData(), W_OK) != 0))
        throw fail();
    // A device or a pipe (a logo sent to /dev/null, or down a named pipe) is
    // written into, never replaced: a rename would put a plain file in the
    // place of a system's device. A pipe without a reader is not waited for.
    if (st.st_mode != 0 && !S_ISREG(st.st_mode)) {
        const int out = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (out < 0)
            throw fail();
        ::fcntl(out, F_SETFL, ::fcntl(out, F_GETFL) & ~O_NONBLOCK);
        const bool written = writeAll(out, bytes.data(), bytes.size());
        ::close(out);
        if (!written)
            throw fail();
        return pending; // nothing to put in place
    }
    // The file is made unnamed, locked and written, then named: no other
    // process ever sees it unlocked or incomplete while this one lives.
    QByteArray temporary;
    int fd = ::open(folderOf(target).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) {
        lockWhole(fd, F_OFD_SETLK);
        if (!writeAll(fd, bytes.data(), bytes.size())) {
            ::close(fd);
            throw fail();
        }
        if (!nameUnnamedFile(fd, target, temporary)) {
            ::close(fd);
            fd = -1;
        }
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        throw fail();
    }
    if (fd < 0) {
        // Where files cannot be made unnamed (some network file systems),
        // by name, locked before a byte is written: a cleaner leaves an
        // empty file alone for a while, and may hold the lock an instant.
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        for (int tries = 0; tries < 100 && fd < 0; ++tries) {
            temporary = temporaryFileName(target, nextNumber());
            fd = ::open(temporary.constData(), flags, 0666);
            if (fd < 0 && errno != EEXIST)
                break;
        }
        if (fd < 0)
            throw fail();
        lockWhole(fd, F_OFD_SETLKW);
        if (!writeAll(fd, bytes.data(), bytes.size())) {
            ::unlink(temporary.constData());
            ::close(fd);
            throw fail();
        }
    }
    // A lock that cannot be had (a file system without locks) is not
    // needed to write: no cleaner can lock such a file either.
    pending.target_ = target;
    pending.temporary_ = std::move(temporary);
    pending.fd_ = fd;
    return pending;
}

void PendingFile::commit() {
    if (temporary_.isEmpty())
        return;
    const bool placed = ::rename(temporary_.constData(), target_.constData()) == 0;
    if (!placed)
        ::unlink(temporary_.constData());
    temporary_.clear();
    // The lock goes only once the temporary name is gone.
    release();
    if (!placed)
        throw Error::cannotCreateFile(path_);
}

void PendingFile::discard() {
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
    release();
}

int removeAbandonedTemporaryFiles(const QByteArray& folder) {
    const int fd =
        ::open(folder.isEmpty() ? "." : folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    DIR* listing = ::fdopendir(fd);
    if (!listing) {
        ::close(fd);
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_REG)
            continue;
        if (isTemporaryFileName(entry->d_name) && removeIfAbandoned(fd, entry->d_name))
            ++removed;
    }
    ::closedir(listing);
    return removed;
}

qint64 raiseOpenFileLimit(qint64 wanted) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur != RLIM_INFINITY && rlim_t(wanted) > limit.rlim_cur) {
        struct rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY
                              ? rlim_t(wanted)
                              : std::min(rlim_t(wanted), limit.rlim_max);
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : qint64(limit.rlim_cur);
}

void writeFileReplacing(const QString& path, QByteArrayView bytes) {
    PendingFile::write(path, bytes).commit();
}

} // namespace zot
