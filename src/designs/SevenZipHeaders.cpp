#include "designs/SevenZipHeaders.h"

#include <lzma.h>

#include <QByteArray>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zot {

namespace {

// The headers of a design are small; larger ones are not followed.
constexpr quint64 kMaxHeaderBytes = quint64(16) * 1024 * 1024;

// Property ids of the 7z header.
enum : quint8 {
    kEnd = 0x00,
    kHeader = 0x01,
    kArchiveProperties = 0x02,
    kAdditionalStreamsInfo = 0x03,
    kMainStreamsInfo = 0x04,
    kPackInfo = 0x06,
    kUnpackInfo = 0x07,
    kSubStreamsInfo = 0x08,
    kSize = 0x09,
    kCrc = 0x0A,
    kFolder = 0x0B,
    kCodersUnpackSize = 0x0C,
    kEncodedHeader = 0x17,
};

struct Coder {
    QByteArray id;
    QByteArray properties;
};

struct Folder {
    std::vector<Coder> coders;
    std::vector<quint64> unpackSizes;
};

struct StreamsInfo {
    quint64 packPos = 0;
    std::vector<quint64> packSizes;
    std::vector<Folder> folders;
};

// Thrown on anything that does not parse.
struct Bad {};

class Reader {
  public:
    explicit Reader(const QByteArray& bytes) : b_(bytes) {}
    quint8 byte() {
        if (pos_ >= b_.size())
            throw Bad{};
        return quint8(b_[pos_++]);
    }
    QByteArray bytes(quint64 n) {
        if (n > quint64(b_.size() - pos_))
            throw Bad{};
        const QByteArray out = b_.mid(pos_, qsizetype(n));
        pos_ += qsizetype(n);
        return out;
    }
    // 7z's variable-length number: the first byte's leading ones count the
    // bytes that follow.
    quint64 number() {
        const quint8 first = byte();
        quint8 mask = 0x80;
        quint64 value = 0;
        for (int i = 0; i < 8; ++i) {
            if ((first & mask) == 0)
                return value | (quint64(first & (mask - 1)) << (8 * i));
            value |= quint64(byte()) << (8 * i);
            mask >>= 1;
        }
        return value;
    }
    // A count of things that each take at least one byte.
    quint64 count() {
        const quint64 n = number();
        if (n > quint64(b_.size() - pos_) + 1)
            throw Bad{};
        return n;
    }

  private:
    const QByteArray& b_;
    qsizetype pos_ = 0;
};

void skipDigests(Reader& r, quint64 n) {
    const bool allDefined = r.byte() != 0;
    quint64 defined = n;
    if (!allDefined) {
        defined = 0;
        const QByteArray bits = r.bytes((n + 7) / 8);
        for (quint64 i = 0; i < n; ++i)
            defined += (quint8(bits[qsizetype(i / 8)]) >> (7 - i % 8)) & 1;
    }
    r.bytes(defined * 4);
}

Folder readFolder(Reader& r) {
    Folder folder;
    const quint64 coders = r.number();
    if (coders == 0 || coders > 64)
        throw Bad{};
    quint64 inTotal = 0, outTotal = 0;
    for (quint64 i = 0; i < coders; ++i) {
        const quint8 flags = r.byte();
        if (flags & 0x80) // alternative methods: never written
            throw Bad{};
        Coder coder;
        coder.id = r.bytes(flags & 0x0F);
        quint64 in = 1, out = 1;
        if (flags & 0x10) {
            in = r.number();
            out = r.number();
            if (in > 64 || out > 64)
                throw Bad{};
        }
        inTotal += in;
        outTotal += out;
        if (flags & 0x20)
            coder.properties = r.bytes(r.count());
        folder.coders.push_back(coder);
    }
    if (outTotal == 0)
        throw Bad{};
    for (quint64 i = 0; i + 1 < outTotal; ++i) {
        r.number();
        r.number();
    }
    if (inTotal < outTotal - 1)
        throw Bad{};
    const quint64 packed = inTotal - (outTotal - 1);
    if (packed > 1)
        for (quint64 i = 0; i < packed; ++i)
            r.number();
    folder.unpackSizes.resize(outTotal);
    return folder;
}

StreamsInfo readStreamsInfo(Reader& r) {
    StreamsInfo info;
    for (;;) {
        const quint8 id = r.byte();
        if (id == kEnd || id == kSubStreamsInfo) // the rest names no decoder
            return info;
        if (id == kPackInfo) {
            info.packPos = r.number();
            const quint64 streams = r.count();
            for (quint8 p = r.byte(); p != kEnd; p = r.byte()) {
                if (p == kSize) {
                    for (quint64 i = 0; i < streams; ++i)
                        info.packSizes.push_back(r.number());
                } else if (p == kCrc) {
                    skipDigests(r, streams);
                } else {
                    throw Bad{};
                }
            }
        } else if (id == kUnpackInfo) {
            if (r.byte() != kFolder)
                throw Bad{};
            const quint64 folders = r.count();
            if (r.byte() != 0) // folders kept elsewhere: never written
                throw Bad{};
            for (quint64 i = 0; i < folders; ++i)
                info.folders.push_back(readFolder(r));
            if (r.byte() != kCodersUnpackSize)
                throw Bad{};
            for (Folder& folder : info.folders)
                for (quint64& size : folder.unpackSizes)
                    size = r.number();
            for (quint8 p = r.byte(); p != kEnd; p = r.byte()) {
                if (p != kCrc)
                    throw Bad{};
                skipDigests(r, info.folders.size());
            }
        } else {
            throw Bad{};
        }
    }
}

quint64 le32(const QByteArray& b, int at) {
    return quint64(quint8(b[at])) | quint64(quint8(b[at + 1])) << 8 |
           quint64(quint8(b[at + 2])) << 16 | quint64(quint8(b[at + 3])) << 24;
}

// The memory a coder's properties ask for; 0 for coders whose need is small
// and fixed (copy, deflate, bzip2, the branch filters).
quint64 coderMemory(const Coder& coder) {
    static const QByteArray kLzma("\x03\x01\x01", 3), kLzma2("\x21", 1), kPpmd("\x03\x04\x01", 3);
    if (coder.id == kLzma) {
        if (coder.properties.size() < 5)
            throw Bad{};
        return le32(coder.properties, 1);
    }
    if (coder.id == kLzma2) {
        if (coder.properties.size() < 1)
            throw Bad{};
        const quint8 d = quint8(coder.properties[0]);
        if (d > 40)
            throw Bad{};
        return d == 40 ? 0xFFFFFFFFull : quint64(2 | (d & 1)) << (d / 2 + 11);
    }
    if (coder.id == kPpmd) {
        if (coder.properties.size() < 5)
            throw Bad{};
        return le32(coder.properties, 1);
    }
    return 0;
}

bool withinLimit(const StreamsInfo& info, quint64 limit) {
    for (const Folder& folder : info.folders)
        for (const Coder& coder : folder.coders)
            if (coderMemory(coder) > limit)
                return false;
    return true;
}

QByteArray readAt(int fd, quint64 at, quint64 size) {
    if (size > kMaxHeaderBytes)
        throw Bad{};
    QByteArray bytes(qsizetype(size), '\0');
    if (::pread(fd, bytes.data(), size_t(size), off_t(at)) != ssize_t(size))
        throw Bad{};
    return bytes;
}

// Unpacks an encoded header: one folder of one LZMA or LZMA2 coder, as
// every 7z writer makes it. Its dictionary has been checked already.
QByteArray decodeHeader(int fd, const StreamsInfo& info) {
    if (info.folders.size() != 1 || info.folders[0].coders.size() != 1 ||
        info.packSizes.size() != 1 || info.folders[0].unpackSizes.size() != 1)
        throw Bad{};
    const Coder& coder = info.folders[0].coders[0];
    const quint64 unpacked = info.folders[0].unpackSizes[0];
    if (unpacked > kMaxHeaderBytes)
        throw Bad{};
    const QByteArray packed = readAt(fd, 32 + info.packPos, info.packSizes[0]);

    lzma_filter filters[2] = {};
    filters[0].id = coder.id.size() == 1 ? LZMA_FILTER_LZMA2 : LZMA_FILTER_LZMA1;
    filters[1].id = LZMA_VLI_UNKNOWN;
    if (coder.id != QByteArray("\x03\x01\x01", 3) && coder.id != QByteArray("\x21", 1))
        throw Bad{};
    if (lzma_properties_decode(&filters[0], nullptr,
                               reinterpret_cast<const uint8_t*>(coder.properties.constData()),
                               size_t(coder.properties.size())) != LZMA_OK)
        throw Bad{};
    lzma_stream stream = LZMA_STREAM_INIT;
    const lzma_ret ready = lzma_raw_decoder(&stream, filters);
    std::free(filters[0].options);
    if (ready != LZMA_OK) {
        lzma_end(&stream);
        throw Bad{};
    }
    QByteArray out(qsizetype(unpacked), '\0');
    stream.next_in = reinterpret_cast<const uint8_t*>(packed.constData());
    stream.avail_in = size_t(packed.size());
    stream.next_out = reinterpret_cast<uint8_t*>(out.data());
    stream.avail_out = size_t(out.size());
    lzma_ret ret = LZMA_OK;
    while (ret == LZMA_OK && stream.avail_out > 0 && stream.avail_in > 0)
        ret = lzma_code(&stream, LZMA_RUN);
    if (stream.avail_out > 0 && (ret == LZMA_OK || ret == LZMA_STREAM_END))
        ret = lzma_code(&stream, LZMA_FINISH);
    const bool full = stream.avail_out == 0;
    lzma_end(&stream);
    if (!full)
        throw Bad{};
    return out;
}

} // namespace

SevenZipMemory sevenZipDecoderMemory(int fd, quint64 maxDecoderMemory) {
    static const char kMagic[6] = {'7', 'z', char(0xBC), char(0xAF), 0x27, 0x1C};
    char start[32];
    if (::pread(fd, start, sizeof start, 0) != sizeof start ||
        std::memcmp(start, kMagic, sizeof kMagic) != 0)
        return SevenZipMemory::NotSevenZip;
    try {
        const QByteArray s(start, sizeof start);
        const quint64 offset = le32(s, 12) | le32(s, 16) << 32;
        const quint64 size = le32(s, 20) | le32(s, 24) << 32;
        struct stat st {};
        if (::fstat(fd, &st) != 0 || offset > quint64(st.st_size) ||
            size > quint64(st.st_size) - offset)
            throw Bad{};
        if (size == 0)
            return SevenZipMemory::WithinLimit; // an empty archive
        QByteArray header = readAt(fd, 32 + offset, size);
        // An encoded header is unpacked and read again; writers nest it once.
        for (int depth = 0;; ++depth) {
            Reader r(header);
            const quint8 id = r.byte();
            if (id == kEncodedHeader && depth < 4) {
                const StreamsInfo info = readStreamsInfo(r);
                if (!withinLimit(info, maxDecoderMemory))
                    return SevenZipMemory::TooMuchMemory;
                header = decodeHeader(fd, info);
                continue;
            }
            if (id != kHeader)
                throw Bad{};
            quint8 p = r.byte();
            if (p == kArchiveProperties) {
                for (quint8 type = r.byte(); type != kEnd; type = r.byte())
                    r.bytes(r.count());
                p = r.byte();
            }
            if (p == kAdditionalStreamsInfo) {
                if (!withinLimit(readStreamsInfo(r), maxDecoderMemory))
                    return SevenZipMemory::TooMuchMemory;
                p = r.byte();
            }
            // The main streams' decoders come before their files: the rest
            // is not needed.
            if (p == kMainStreamsInfo && !withinLimit(readStreamsInfo(r), maxDecoderMemory))
                return SevenZipMemory::TooMuchMemory;
            return SevenZipMemory::WithinLimit;
        }
    } catch (const Bad&) {
        return SevenZipMemory::Unreadable;
    }
}

} // namespace zot
