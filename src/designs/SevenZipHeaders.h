#pragma once

#include <QtGlobal>

namespace zot {

// What a 7z archive's headers say its decoders will ask for. libarchive
// allocates an LZMA dictionary or a PPMd model of whatever size the archive
// names, with no limit to pass it; so the headers are read here first.
enum class SevenZipMemory {
    NotSevenZip,   // some other kind of file
    WithinLimit,   // every decoder fits maxDecoderMemory
    TooMuchMemory, // a decoder asks for more
    Unreadable,    // headers that cannot be followed: refused unread
};

// fd: the archive, open for reading; only read with pread.
SevenZipMemory sevenZipDecoderMemory(int fd, quint64 maxDecoderMemory);

} // namespace zot
