#include "platform/FileWriting.h"

#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // Numbered, so that no two files in flight share a name (two names may
    // lead to one file); a name taken (by a process gone that had our
    // number) is left alone and the next number tried.
    static std::atomic<quint64> counter{0};
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    QByteArray temporary;
    int fd = -1;
    for (int tries = 0; tries < 100 && fd < 0; ++tries) {
        temporary = temporaryFileName(target, counter.fetch_add(1, std::memory_order_relaxed));
        fd = ::open(temporary.constData(), flags, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        throw fail();
    const bool written = writeAll(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.constData());
        throw fail();
    }
    pending.target_ = target;
    pending.temporary_ = std::move(temporary);
    return pending;
}

void PendingFile::commit() {
    if (temporary_.isEmpty())
        return;
    const bool placed = ::rename(temporary_.constData(), target_.constData()) == 0;
    if (!placed)
        ::unlink(temporary_.constData());
    temporary_.clear();
    if (!placed)
        throw Error::cannotCreateFile(path_);
}

void PendingFile::discard() {
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

void writeFileReplacing(const QString& path, QByteArrayView bytes) {
    PendingFile::write(path, bytes).commit();
}

} // namespace zot
