#include "designs/ArchiveReader.h"

#include "platform/NativeFiles.h"
#include "platform/TextDecoding.h"

#include <archive.h>
#include <archive_entry.h>
#include <lzma.h>

#include <array>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zot {

namespace {

// Code page 437 from 0x80 on; below it is ASCII.
constexpr std::array<char16_t, 128> kCodePage437High = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

QString decodeCodePage437(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const uchar b = uchar(c);
        text += b < 0x80 ? QChar(b) : QChar(kCodePage437High[b - 0x80]);
    }
    return text;
}

// libarchive turns names into the locale's charset, and leaves the names an
// archive stores without a charset as they are. Under a UTF-8 locale the
// first come out as UTF-8 and the second keep their bytes for us to decode,
// whatever the user's locale is (LANG=C would turn "é" into "?").
class Utf8LocaleScope {
  public:
    Utf8LocaleScope() {
        static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        if (utf8)
            previous_ = ::uselocale(utf8);
    }
    ~Utf8LocaleScope() {
        if (previous_)
            ::uselocale(previous_);
    }
    Utf8LocaleScope(const Utf8LocaleScope&) = delete;
    Utf8LocaleScope& operator=(const Utf8LocaleScope&) = delete;

  private:
    locale_t previous_ = nullptr;
};

// Zip methods whose decoders need little memory whatever the entry says.
bool zipMethodAllowed(const QByteArray& formatName) {
    const qsizetype open = formatName.lastIndexOf('(');
    if (open < 0)
        return true; // not a zip entry's name
    const QByteArray method = formatName.mid(open + 1).chopped(1);
    return method == "uncompressed" || method == "deflation" || method == "bzip";
}

QByteArray zipMethod(const QByteArray& formatName) {
    const qsizetype open = formatName.lastIndexOf('(');
    return open < 0 ? QByteArray() : formatName.mid(open + 1).chopped(1);
}

constexpr size_t kBufferSize = 64 * 1024;

} // namespace

struct ArchiveReader::State {
    archive* a = nullptr;
    int fd = -1;
    bool zip = false;
    // xz is unpacked here, where its memory can be capped, before libarchive sees it.
    bool xz = false;
    bool xzEnded = false;
    bool inputEnded = false;
    bool memoryExceeded = false;
    quint64 maxDecoderMemory = 0;
    lzma_stream stream = LZMA_STREAM_INIT;
    std::vector<uint8_t> in = std::vector<uint8_t>(kBufferSize);
    std::vector<uint8_t> out = std::vector<uint8_t>(kBufferSize);

    ~State() {
        if (a)
            archive_read_free(a);
        lzma_end(&stream);
        if (fd >= 0)
            ::close(fd);
    }

    static la_ssize_t readXz(archive* a, void* client, const void** buffer) {
        auto* s = static_cast<State*>(client);
        *buffer = s->out.data();
        if (s->xzEnded)
            return 0;
        s->stream.next_out = s->out.data();
        s->stream.avail_out = s->out.size();
        for (;;) {
            if (s->stream.avail_in == 0 && !s->inputEnded) {
                const ssize_t got = ::read(s->fd, s->in.data(), s->in.size());
                if (got < 0) {
                    if (errno == EINTR)
                        continue;
                    archive_set_error(a, errno, "cannot read the file");
                    return -1;
                }
                s->inputEnded = got == 0;
                s->stream.next_in = s->in.data();
                s->stream.avail_in = size_t(got);
            }
            const lzma_ret ret = lzma_code(&s->stream, s->inputEnded ? LZMA_FINISH : LZMA_RUN);
            const size_t produced = s->out.size() - s->stream.avail_out;
            if (ret == LZMA_STREAM_END) {
                s->xzEnded = true;
                return la_ssize_t(produced);
            }
            if (ret == LZMA_MEMLIMIT_ERROR) {
                s->memoryExceeded = true;
                archive_set_error(a, ENOMEM, "the xz stream asks for too much memory");
                return -1;
            }
            if (ret != LZMA_OK) {
                archive_set_error(a, EINVAL, "damaged xz data");
                return -1;
            }
            if (produced > 0)
                return la_ssize_t(produced);
        }
    }
};

ArchiveReader::ArchiveReader(quint64 maxDecoderMemory) : d(std::make_unique<State>()) {
    d->maxDecoderMemory = maxDecoderMemory;
}

ArchiveReader::~ArchiveReader() = default;

bool ArchiveReader::decoderMemoryExceeded() const {
    return d->memoryExceeded;
}

qint64 ArchiveReader::zipEntriesClaimed(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_size < 22)
        return -1;
    // The end record lies in the last 64 KiB + 22 bytes (its comment is at
    // most 65535 bytes); every record there that looks like one counts.
    const qint64 tailSize = std::min<qint64>(st.st_size, 65535 + 22 + 20);
    QByteArray tail(tailSize, '\0');
    if (::pread(fd, tail.data(), size_t(tailSize), st.st_size - tailSize) != tailSize)
        return -1;
    const auto le = [](const char* p, int bytes) {
        quint64 v = 0;
        for (int i = bytes - 1; i >= 0; --i)
            v = (v << 8) | uchar(p[i]);
        return v;
    };
    qint64 claimed = -1;
    for (qsizetype at = tail.lastIndexOf("PK\5\6"); at >= 0;
         at = at > 0 ? tail.lastIndexOf("PK\5\6", at - 1) : -1) {
        if (at + 22 > tail.size())
            continue;
        quint64 count = le(tail.constData() + at + 10, 2);
        // A zip64 locator just before it points at the zip64 end record.
        if (at >= 20 && tail.mid(at - 20, 4) == "PK\6\7") {
            const quint64 where = le(tail.constData() + at - 20 + 8, 8);
            char record[40];
            if (where < quint64(st.st_size) &&
                ::pread(fd, record, sizeof record, off_t(where)) == sizeof record &&
                std::memcmp(record, "PK\6\6", 4) == 0)
                count = std::max(count, le(record + 32, 8));
        }
        claimed = std::max(claimed, qint64(std::min<quint64>(count, quint64(1) << 62)));
    }
    return claimed;
}

bool ArchiveReader::open(const QString& path) {
    const Utf8LocaleScope utf8;
    d->fd = ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    struct stat st {};
    if (d->fd < 0 || ::fstat(d->fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        unreadableFile_ = true;
        return false;
    }
    ::fcntl(d->fd, F_SETFL, ::fcntl(d->fd, F_GETFL) & ~O_NONBLOCK);

    static const unsigned char kXzMagic[6] = {0xFD, '7', 'z', 'X', 'Z', 0x00};
    unsigned char magic[6] = {};
    d->xz = ::pread(d->fd, magic, sizeof magic, 0) == sizeof magic &&
            std::memcmp(magic, kXzMagic, sizeof magic) == 0;

    d->a = archive_read_new();
    archive_read_support_format_zip(d->a);
    archive_read_support_format_tar(d->a);
    archive_read_support_format_7zip(d->a);
    // Their decoders' memory is small and fixed; xz is unpacked above.
    archive_read_support_filter_gzip(d->a);
    archive_read_support_filter_bzip2(d->a);

    int r;
    if (d->xz) {
        if (lzma_stream_decoder(&d->stream, d->maxDecoderMemory, LZMA_CONCATENATED) != LZMA_OK) {
            error_ = QStringLiteral("out of memory");
            return false;
        }
        r = archive_read_open(d->a, d.get(), nullptr, &State::readXz, nullptr);
    } else {
        r = archive_read_open_fd(d->a, d->fd, kBufferSize);
    }
    if (r != ARCHIVE_OK) {
        error_ = QString::fromLocal8Bit(archive_error_string(d->a));
        return false;
    }
    return true;
}

ArchiveReader::Step ArchiveReader::next(ArchiveEntry& entry) {
    const Utf8LocaleScope utf8;
    archive_entry* e = nullptr;
    const int r = archive_read_next_header(d->a, &e);
    if (r == ARCHIVE_EOF)
        return Step::End;
    if (r < ARCHIVE_WARN || e == nullptr) {
        const char* why = archive_error_string(d->a);
        error_ = why ? QString::fromUtf8(why) : QStringLiteral("damaged archive");
        return Step::Failed;
    }
    const bool zip = (archive_format(d->a) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_ZIP;
    const char* raw = archive_entry_pathname(e);
    const QByteArray bytes(raw ? raw : "");
    // A name that libarchive could not read (a zip name flagged UTF-8 that
    // is not) comes out empty: refused, never passed over unseen.
    if (bytes.isEmpty()) {
        const char* why = r == ARCHIVE_WARN ? archive_error_string(d->a) : nullptr;
        error_ = why ? QString::fromUtf8(why) : QStringLiteral("an entry has no name");
        return Step::Failed;
    }
    entry.path = isValidUtf8(bytes) ? QString::fromUtf8(bytes)
                 : zip              ? decodeCodePage437(bytes)
                                    : decodeWindows1252(bytes);
    entry.path.replace(u'\\', u'/');

    const mode_t type = archive_entry_filetype(e);
    if (archive_entry_hardlink(e) || type == AE_IFLNK)
        entry.kind = ArchiveEntry::Kind::Link;
    else if (type == AE_IFDIR)
        entry.kind = ArchiveEntry::Kind::Folder;
    else if (type == AE_IFREG)
        entry.kind = ArchiveEntry::Kind::File;
    else
        entry.kind = ArchiveEntry::Kind::Other;

    refusedMethod_.clear();
    if (zip && entry.kind == ArchiveEntry::Kind::File) {
        const QByteArray format(archive_format_name(d->a) ? archive_format_name(d->a) : "");
        if (!zipMethodAllowed(format)) {
            refusedMethod_ = QString::fromLatin1(zipMethod(format));
            return Step::Failed;
        }
    }
    return Step::Entry;
}

qint64 ArchiveReader::read(char* buffer, qint64 size) {
    const Utf8LocaleScope utf8;
    const la_ssize_t got = archive_read_data(d->a, buffer, size_t(size));
    if (got < 0) {
        const char* why = archive_error_string(d->a);
        error_ = why ? QString::fromUtf8(why) : QStringLiteral("damaged archive");
        return -1;
    }
    return qint64(got);
}

} // namespace zot
