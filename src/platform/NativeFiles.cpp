#include "platform/NativeFiles.h"

#include "platform/Error.h"
#include "text/TextDecoding.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zot {

namespace {

// Windows-1252 is one byte per character and every byte has a character, so
// the encoder is the decoder turned round.
const QHash<char16_t, char>& windows1252Bytes() {
    static const QHash<char16_t, char> table = [] {
        QHash<char16_t, char> t;
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = char(b);
        const QString decoded = decodeWindows1252(all);
        for (int b = 0; b < 256; ++b)
            t.insert(decoded[b].unicode(), char(b));
        return t;
    }();
    return table;
}

bool existsBytes(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

} // namespace

QString decodeFileName(const QByteArray& bytes) {
    // A byte-order mark in a name is part of the name.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString name = utf8.decode(bytes);
    if (!utf8.hasError())
        return name;
    return decodeWindows1252(bytes);
}

std::optional<QByteArray> encodeWindows1252(QStringView text) {
    const QHash<char16_t, char>& table = windows1252Bytes();
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const auto it = table.constFind(c.unicode());
        if (it == table.constEnd())
            return std::nullopt;
        out.append(*it);
    }
    return out;
}

QByteArray nativePath(const QString& path) {
    const QByteArray utf8 = path.toUtf8();
    // Plain ASCII reads the same in both encodings: nothing to look up (a
    // batch names thousands of new files).
    const bool ascii =
        std::all_of(utf8.begin(), utf8.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii || existsBytes(utf8))
        return utf8;
    const QStringList parts = path.split(u'/');
    QByteArray out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += '/';
        const QString& part = parts[i];
        const QByteArray asUtf8 = part.toUtf8();
        if (part.isEmpty() || existsBytes(out + asUtf8)) {
            out += asUtf8;
            continue;
        }
        const std::optional<QByteArray> asWindows = encodeWindows1252(part);
        if (asWindows && *asWindows != asUtf8 && existsBytes(out + *asWindows))
            out += *asWindows;
        else
            out += asUtf8;
    }
    return out;
}

bool nativeExists(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0;
}

bool nativeIsFile(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool nativeIsNonFolderEntry(const QString& path) {
    if (path.isEmpty())
        return false;
    const QByteArray native = nativePath(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return false;
    if (!S_ISLNK(st.st_mode))
        return !S_ISDIR(st.st_mode);
    struct stat target {};
    return ::stat(native.constData(), &target) != 0 || !S_ISDIR(target.st_mode);
}

bool openNativeFile(QFile& file, const QString& path) {
    if (path.isEmpty())
        return false;
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

QByteArray readStandardInputChunk(qint64 maxBytes) {
    QByteArray chunk(maxBytes, Qt::Uninitialized);
    ssize_t n = 0;
    do
        n = ::read(STDIN_FILENO, chunk.data(), size_t(chunk.size()));
    while (n < 0 && errno == EINTR);
    chunk.resize(n > 0 ? n : 0);
    return chunk;
}

NativeRead readNativeFile(const QString& path, qint64 maxBytes, QByteArray& bytes) {
    bytes.clear();
    if (path.isEmpty())
        return NativeRead::Unreadable;
    const QByteArray native = nativePath(path);
    // A device is not even opened: opening one may have effects of its own.
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return NativeRead::Unreadable;
    if (!S_ISREG(st.st_mode))
        return NativeRead::NotAFile;
    // Should a pipe take the file's place meanwhile, opening it does not wait
    // for a writer; fstat then tells what was opened.
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return NativeRead::Unreadable;
    const auto result = [&] {
        if (::fstat(fd, &st) != 0)
            return NativeRead::Unreadable;
        if (!S_ISREG(st.st_mode))
            return NativeRead::NotAFile;
        if (st.st_size > maxBytes)
            return NativeRead::TooLarge;
        // One byte past the limit tells a file that grew since.
        const qint64 limit = maxBytes + 1;
        qint64 have = 0;
        bytes.resize(qsizetype(std::min<qint64>(qint64(st.st_size) + 1, limit)));
        while (have < limit) {
            if (have == bytes.size())
                bytes.resize(qsizetype(std::min<qint64>(limit, 2 * have)));
            const ssize_t n = ::read(fd, bytes.data() + have, size_t(bytes.size() - have));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return NativeRead::Unreadable;
            if (n == 0)
                break;
            have += n;
        }
        bytes.resize(qsizetype(have));
        return have > maxBytes ? NativeRead::TooLarge : NativeRead::Read;
    }();
    ::close(fd);
    if (result != NativeRead::Read)
        bytes.clear();
    return result;
}

QStringList readScriptLines(const QString& path) {
    QByteArray bytes;
    if (readNativeFile(path, kMaxScriptBytes, bytes) != NativeRead::Read)
        throw Error::cannotOpenFile(path);
    return decodeLines(bytes);
}

bool removeNativeTree(const QByteArray& path) {
    // Children before their folder; FTW_PHYS so a link's target is never touched.
    const auto removeEntry = [](const char* entry, const struct stat*, int, struct FTW*) {
        return std::remove(entry) == 0 ? 0 : 1;
    };
    return ::nftw(path.constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

} // namespace zot
