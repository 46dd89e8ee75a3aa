#include "platform/NativeFiles.h"

#include "platform/Error.h"
#include "platform/TextDecoding.h"

#include <QHash>
#include <QStringDecoder>

#include <array>
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
    if (path.isEmpty() || existsBytes(utf8))
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

QStringList readScriptLines(const QString& path) {
    QFile file;
    if (!nativeIsFile(path) || !openNativeFile(file, path) || file.size() > kMaxScriptBytes)
        throw Error::cannotOpenFile(path);
    const QByteArray bytes = file.read(kMaxScriptBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxScriptBytes)
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
