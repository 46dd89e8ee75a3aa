#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zot {

struct TreeCopyLimits {
    qint64 maxBytes = qint64(512) * 1024 * 1024;
    int maxEntries = 20000;
    int maxDepth = 64;
};

enum class TreeCopyResult {
    Copied,
    TooLarge, // a limit was reached; the copy is incomplete
    Failed,   // something could not be read or written (failedPath says what)
};

// Copies the folders and regular files under the native path from into the
// folder to, which must exist. Links are never followed and never copied,
// nor are devices, pipes and sockets. Within limits, counted as read.
TreeCopyResult copyTreeWithoutLinks(const QByteArray& from, const QByteArray& to,
                                    const TreeCopyLimits& limits, QByteArray* failedPath);

// Renames from to to unless something named to is there; false otherwise.
bool renameNoReplace(const QByteArray& from, const QByteArray& to);

} // namespace zot
