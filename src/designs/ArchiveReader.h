#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

namespace zot {

// One entry of an archive as the archive states it.
struct ArchiveEntry {
    enum class Kind { File, Folder, Link, Other };
    // The name as text, "\" turned into "/": names stored without an
    // encoding read as UTF-8 when they are valid UTF-8, else as code page 437
    // in a zip (what Windows writes there) and as Windows-1252 elsewhere.
    QString path;
    Kind kind = Kind::Other;
};

// Reads zip, tar (plain, gzip, bzip2, xz) and 7z archives entry by entry,
// through libarchive. Names come out the same whatever the locale.
class ArchiveReader {
  public:
    // maxDecoderMemory bounds what an xz stream may ask for its dictionary;
    // a zip entry packed with a method whose memory cannot be bounded before
    // it is allocated is refused.
    explicit ArchiveReader(quint64 maxDecoderMemory);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Opens the regular file at path. False otherwise: with
    // unreadableFile() when it is no readable file, else with error() set.
    bool open(const QString& path);
    bool unreadableFile() const { return unreadableFile_; }

    enum class Step { Entry, End, Failed };
    Step next(ArchiveEntry& entry);
    // Up to size bytes of the current entry's data: 0 at its end, -1 on failure.
    qint64 read(char* buffer, qint64 size);

    QString error() const { return error_; }
    // The last failure was an xz stream asking for more than maxDecoderMemory.
    bool decoderMemoryExceeded() const;
    // The zip method of the last entry when it was refused, else empty.
    QString refusedMethod() const { return refusedMethod_; }

    // How many entries a zip's end records claim (the largest claim), or -1
    // when the file is no zip. Read before libarchive lists them all at once.
    static qint64 zipEntriesClaimed(int fd);

  private:
    struct State;
    std::unique_ptr<State> d;
    QString error_;
    QString refusedMethod_;
    bool unreadableFile_ = false;
};

} // namespace zot
