#pragma once

// Files and folders named by raw bytes, as an archive made on Windows unpacks
// them: such names need not be UTF-8.
#include "platform/NativeFiles.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zot::test {

// A temporary folder that may hold names that are not UTF-8: QTemporaryDir
// alone would leave those behind.
class RawTemporaryDir : public QTemporaryDir {
  public:
    using QTemporaryDir::QTemporaryDir;
    RawTemporaryDir(const RawTemporaryDir&) = delete;
    RawTemporaryDir& operator=(const RawTemporaryDir&) = delete;
    ~RawTemporaryDir() {
        if (isValid())
            removeNativeTree(QFile::encodeName(path()));
    }
};

inline void mkdirRaw(const QByteArray& path) {
    ASSERT_EQ(::mkdir(path.constData(), 0755), 0);
}

inline void writeRaw(const QByteArray& path, const QByteArray& content) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path.constData();
    ASSERT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
    ::close(fd);
}

} // namespace zot::test
