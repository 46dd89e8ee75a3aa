#include "platform/FileWriting.h"

#include "platform/Error.h"
#include "platform/NativeFiles.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zot {

namespace {

// The permissions a new file gets, as open() would give it.
mode_t newFileMode() {
    static const mode_t mode = [] {
        const mode_t mask = umask(0);
        umask(mask);
        return mode_t(0666 & ~mask);
    }();
    return mode;
}

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

} // namespace

PendingFile PendingFile::write(const QString& path, QByteArrayView bytes) {
    const auto fail = [&path] { return Error::cannotCreateFile(path); };
    PendingFile pending;
    pending.path_ = path;
    // By the real bytes: the output folder may have a Windows-1252 name.
    QByteArray target = nativePath(path);
    if (target.isEmpty() || target.endsWith('/'))
        throw fail();

    // A new file (the usual case in a fresh output folder) is written in
    // place: there is nothing to protect, and a failed write is removed.
    int fd = ::open(target.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        const bool written = writeAll(fd, bytes.data(), bytes.size());
        if (::close(fd) != 0 || !written) {
            ::unlink(target.constData());
            throw fail();
        }
        pending.target_ = target;
        return pending;
    }
    if (errno != EEXIST)
        throw fail();

    // An existing file is replaced only by a complete new one.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* linked = ::realpath(target.constData(), nullptr)) {
            target = linked;
            std::free(linked);
        }
    }
    // An existing file we may not write stays as it is.
    if (::access(target.constData(), W_OK) != 0)
        throw fail();
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : target.left(slash + 1);
    QByteArray temporary = folder + '.' + target.mid(slash + 1).left(200) + ".XXXXXX";
    fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        throw fail();
    const bool written =
        ::fchmod(fd, newFileMode()) == 0 && writeAll(fd, bytes.data(), bytes.size());
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.constData());
        throw fail();
    }
    pending.target_ = target;
    pending.temporary_ = temporary;
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
    ::unlink(temporary_.isEmpty() ? target_.constData() : temporary_.constData());
    target_.clear();
    temporary_.clear();
}

void writeFileReplacing(const QString& path, QByteArrayView bytes) {
    PendingFile::write(path, bytes).commit();
}

} // namespace zot
