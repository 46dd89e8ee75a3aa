#include "editor/DesignReloader.h"

#include "logo/LogoEngine.h"
#include "platform/DirectoryListing.h"
#include "platform/NativeFiles.h"

#include <QFile>

namespace zot {

namespace {

bool readable(const QString& path, const FileStamp& before) {
    if (before.isFolder)
        return stampOf(path).isFolder;
    QFile file;
    return nativeIsFile(path) && openNativeFile(file, path);
}

} // namespace

DesignReloader::DesignReloader(QObject* parent) : QObject(parent), watcher_(kQuietMs) {
    retry_.setSingleShot(true);
    retry_.setInterval(kRetryMs);
    connect(&watcher_, &QuietFileWatcher::settled, this, &DesignReloader::check);
    connect(&retry_, &QTimer::timeout, this, &DesignReloader::check);
}

void DesignReloader::follow(const LogoEngine& engine) {
    retry_.stop();
    tries_ = 0;
    waiting_ = false;
    followed_.clear();
    if (engine.hasDesign()) {
        for (const QString& path : engine.filesRead()) {
            followed_.append(path);
            if (!stampOf(path).isFolder)
                continue;
            // A character folder: every picture in it is the design's.
            QString folder = path;
            if (!folder.endsWith(u'/'))
                folder += u'/';
            int files = 0;
            for (const DirectoryEntry& entry : listDirectory(folder)) {
                if (entry.isDirectory)
                    continue;
                if (++files > kMaxFolderFiles)
                    break;
                followed_.append(folder + entry.name);
            }
        }
    }
    followed_.removeDuplicates();
    stamps_ = stampsOf(followed_);
    watcher_.watch(followed_);
}

void DesignReloader::stop() {
    retry_.stop();
    waiting_ = false;
    followed_.clear();
    stamps_.clear();
    watcher_.clear();
}

void DesignReloader::setHeld(bool held) {
    held_ = held;
    // Checked from the event loop, once the batch's handler is over.
    if (!held_ && waiting_) {
        waiting_ = false;
        retry_.start();
    }
}

QString DesignReloader::cannotReadReport(const QString& path) {
    return QStringLiteral("Cannot read %1: the design was not opened again.").arg(path);
}

void DesignReloader::check() {
    if (followed_.isEmpty())
        return;
    if (held_) {
        waiting_ = true;
        return;
    }
    const QList<FileStamp> now = stampsOf(followed_);
    if (now == stamps_) {
        tries_ = 0;
        return;
    }
    for (qsizetype i = 0; i < followed_.size(); ++i) {
        if (!stamps_[i].exists || readable(followed_[i], stamps_[i]))
            continue;
        if (tries_ < kRetries) {
            ++tries_;
            retry_.start();
            return;
        }
        // Reported once: the next change starts from what is there now.
        tries_ = 0;
        stamps_ = now;
        emit unreadable(followed_[i]);
        return;
    }
    tries_ = 0;
    emit reopenWanted();
}

} // namespace zot
