#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace zot::fuzz {

// A QGuiApplication on the offscreen platform, made once: fonts need it.
void initQt();

// A scratch folder for this process, removed at exit.
QString scratchFolder();

void writeFile(const QString& path, const QByteArray& bytes);
// A file named by raw bytes, which need not be UTF-8.
void writeRawFile(const QByteArray& path, const QByteArray& bytes);

// A program folder holding the design "D": a background, three pieces, a
// PNG, GIF and JPEG picture, a TrueType font file and character folders
// (one with a Windows-1252 name, one with names that are no characters).
// Made once; every picture in it is generated here.
QString fixtureProgramFolder();

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace zot::fuzz
