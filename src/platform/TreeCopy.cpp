#include "platform/TreeCopy.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zot {

namespace {

struct Walk {
    const TreeCopyLimits& limits;
    QByteArray* failedPath;
    qint64 bytes = 0;
    int entries = 0;

    TreeCopyResult fail(const QByteArray& path) {
        if (failedPath)
            *failedPath = path;
        return TreeCopyResult::Failed;
    }

    TreeCopyResult copyFile(const QByteArray& from, const QByteArray& to, mode_t mode) {
        const int in = ::open(from.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (in < 0)
            return fail(from);
        struct stat info {};
        // Checked on the open file: it may have been swapped for a link or a pipe.
        if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(in);
            return fail(from);
        }
        const int out =
            ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, (mode & 0777) | 0600);
        if (out < 0) {
            ::close(in);
            return fail(to);
        }
        std::vector<char> buffer(64 * 1024);
        TreeCopyResult result = TreeCopyResult::Copied;
        for (;;) {
            const ssize_t got = ::read(in, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                result = fail(from);
                break;
            }
            if (got == 0)
                break;
            bytes += got;
            if (bytes > limits.maxBytes) {
                result = TreeCopyResult::TooLarge;
                break;
            }
            for (ssize_t done = 0; done < got;) {
                const ssize_t put = ::write(out, buffer.data() + done, size_t(got - done));
                if (put < 0 && errno == EINTR)
                    continue;
                if (put <= 0) {
                    result = fail(to);
                    break;
                }
                done += put;
            }
            if (result != TreeCopyResult::Copied)
                break;
        }
        ::close(in);
        if (::close(out) != 0 && result == TreeCopyResult::Copied)
            result = fail(to);
        return result;
    }

    TreeCopyResult copyFolder(const QByteArray& from, const QByteArray& to, int depth) {
        if (depth > limits.maxDepth)
            return TreeCopyResult::TooLarge;
        // The folder asked for may be a link; nothing inside it is followed.
        const int fd = ::open(from.constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC | (depth > 0 ? O_NOFOLLOW : 0));
        if (fd < 0)
            return fail(from);
        DIR* dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            return fail(from);
        }
        TreeCopyResult result = TreeCopyResult::Copied;
        while (const dirent* entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name == "." || name == "..")
                continue;
            if (++entries > limits.maxEntries) {
                result = TreeCopyResult::TooLarge;
                break;
            }
            const QByteArray source = from + '/' + name;
            const QByteArray target = to + '/' + name;
            struct stat info {};
            if (::lstat(source.constData(), &info) != 0) {
                result = fail(source);
                break;
            }
            if (S_ISDIR(info.st_mode)) {
                if (::mkdir(target.constData(), 0755) != 0) {
                    result = fail(target);
                    break;
                }
                result = copyFolder(source, target, depth + 1);
            } else if (S_ISREG(info.st_mode)) {
                result = copyFile(source, target, info.st_mode);
            }
            // Links, devices, pipes and sockets are no part of a design.
            if (result != TreeCopyResult::Copied)
                break;
        }
        ::closedir(dir);
        return result;
    }
};

} // namespace

TreeCopyResult copyTreeWithoutLinks(const QByteArray& from, const QByteArray& to,
                                    const TreeCopyLimits& limits, QByteArray* failedPath) {
    Walk walk{limits, failedPath};
    return walk.copyFolder(from, to, 0);
}

bool renameNoReplace(const QByteArray& from, const QByteArray& to) {
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
}

} // namespace zot
