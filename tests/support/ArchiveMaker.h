#pragma once

// Archives made in the test itself: libarchive's writer for the formats it
// writes as asked, and a small zip writer of our own where the bytes of a
// name and its flags must be exactly those a Windows or macOS tool writes.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace zot::test {

struct Entry {
    enum Type { File, Folder, Symlink, Hardlink, Fifo, CharDevice };
    QByteArray name;
    QByteArray data;
    Type type = File;
    QByteArray target; // of a link
};

inline Entry file(const QByteArray& name, const QByteArray& data = "x") {
    return {name, data, Entry::File, {}};
}
inline Entry folder(const QByteArray& name) {
    return {name, {}, Entry::Folder, {}};
}

enum class Kind { Zip, Tar, TarGz, TarXz, TarBz2, SevenZip, Ustar };

inline const char* extensionOf(Kind kind) {
    switch (kind) {
    case Kind::Zip:
        return ".zip";
    case Kind::Tar:
    case Kind::Ustar:
        return ".tar";
    case Kind::TarGz:
        return ".tar.gz";
    case Kind::TarXz:
        return ".tar.xz";
    case Kind::TarBz2:
        return ".tar.bz2";
    case Kind::SevenZip:
        return ".7z";
    }
    return "";
}

// Writes entries as an archive of kind at path; options go to libarchive
// ("xz:compression-level=0", ...).
inline void writeArchive(const QString& path, Kind kind, const std::vector<Entry>& entries,
                         const char* options = nullptr) {
    archive* a = archive_write_new();
    switch (kind) {
    case Kind::Zip:
        archive_write_set_format_zip(a);
        break;
    case Kind::SevenZip:
        archive_write_set_format_7zip(a);
        break;
    case Kind::Ustar:
        archive_write_set_format_ustar(a);
        break;
    default:
        archive_write_set_format_pax_restricted(a);
    }
    if (kind == Kind::TarGz)
        archive_write_add_filter_gzip(a);
    if (kind == Kind::TarXz)
        archive_write_add_filter_xz(a);
    if (kind == Kind::TarBz2)
        archive_write_add_filter_bzip2(a);
    if (options) {
        ASSERT_EQ(archive_write_set_options(a, options), ARCHIVE_OK) << archive_error_string(a);
    }
    ASSERT_EQ(archive_write_open_filename(a, QFile::encodeName(path).constData()), ARCHIVE_OK)
        << archive_error_string(a);
    for (const Entry& e : entries) {
        archive_entry* entry = archive_entry_new();
        archive_entry_copy_pathname(entry, e.name.constData());
        archive_entry_set_perm(entry, 0644);
        switch (e.type) {
        case Entry::File:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_set_size(entry, e.data.size());
            break;
        case Entry::Folder:
            archive_entry_set_filetype(entry, AE_IFDIR);
            archive_entry_set_perm(entry, 0755);
            break;
        case Entry::Symlink:
            archive_entry_set_filetype(entry, AE_IFLNK);
            archive_entry_copy_symlink(entry, e.target.constData());
            break;
        case Entry::Hardlink:
            archive_entry_set_filetype(entry, AE_IFREG);
            archive_entry_copy_hardlink(entry, e.target.constData());
            break;
        case Entry::Fifo:
            archive_entry_set_filetype(entry, AE_IFIFO);
            break;
        case Entry::CharDevice:
            archive_entry_set_filetype(entry, AE_IFCHR);
            archive_entry_set_rdev(entry, makedev(1, 3));
            break;
        }
        ASSERT_GE(archive_write_header(a, entry), ARCHIVE_WARN) << archive_error_string(a);
        if (e.type == Entry::File && !e.data.isEmpty()) {
            ASSERT_EQ(archive_write_data(a, e.data.constData(), size_t(e.data.size())),
                      e.data.size());
        }
        archive_entry_free(entry);
    }
    ASSERT_EQ(archive_write_close(a), ARCHIVE_OK) << archive_error_string(a);
    archive_write_free(a);
}

// ------------------------------------------------------- a zip byte by byte

inline quint32 crc32Of(const QByteArray& data) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

struct ZipEntry {
    QByteArray name; // the bytes as stored
    QByteArray data;
    bool utf8Flag = false;
    quint32 unixMode = 0; // 0: made on Windows (no mode)
    quint16 method = 0;   // 0 stored; others only to be refused (the data stays stored)
};

// A stored (uncompressed) zip, as the Windows shell writes one: names in the
// bytes given, the UTF-8 flag only where asked.
inline QByteArray storedZip(const std::vector<ZipEntry>& entries) {
    QByteArray out, central;
    auto le16 = [](QByteArray& b, quint32 v) {
        b.append(char(v & 0xFF));
        b.append(char((v >> 8) & 0xFF));
    };
    auto le32 = [&](QByteArray& b, quint32 v) {
        le16(b, v & 0xFFFF);
        le16(b, v >> 16);
    };
    for (const ZipEntry& e : entries) {
        const quint32 offset = quint32(out.size());
        const quint32 crc = crc32Of(e.data);
        const quint32 flags = e.utf8Flag ? 0x0800 : 0;
        out.append("PK\3\4");
        le16(out, 20);
        le16(out, flags);
        le16(out, e.method);
        le16(out, 0);
        le16(out, 0x21);
        le32(out, crc);
        le32(out, quint32(e.data.size()));
        le32(out, quint32(e.data.size()));
        le16(out, quint32(e.name.size()));
        le16(out, 0);
        out.append(e.name);
        out.append(e.data);

        central.append("PK\1\2");
        le16(central, e.unixMode ? 0x0314 : 0x0014); // made by: Unix or MS-DOS
        le16(central, 20);
        le16(central, flags);
        le16(central, e.method);
        le16(central, 0);
        le16(central, 0x21);
        le32(central, crc);
        le32(central, quint32(e.data.size()));
        le32(central, quint32(e.data.size()));
        le16(central, quint32(e.name.size()));
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le16(central, 0);
        le32(central, e.unixMode << 16);
        le32(central, offset);
        central.append(e.name);
    }
    const quint32 centralAt = quint32(out.size());
    out.append(central);
    out.append("PK\5\6");
    le16(out, 0);
    le16(out, 0);
    le16(out, quint32(entries.size()));
    le16(out, quint32(entries.size()));
    le32(out, quint32(central.size()));
    le32(out, centralAt);
    le16(out, 0);
    return out;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace zot::test
