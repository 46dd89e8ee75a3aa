#pragma once

#include "platform/QuietFileWatcher.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

namespace zot {

class LogoEngine;

// Follows the files the open design was read from, and asks for the design
// to be opened again once they changed and have been quiet for a while: a
// burst of saves is one reopening. A file that was there at the last
// opening and cannot be read now (an editor is still writing it) is tried a
// few times more, then reported instead. While held (a batch runs) a
// reopening waits for the release.
class DesignReloader : public QObject {
    Q_OBJECT
  public:
    static constexpr int kQuietMs = 300;
    static constexpr int kRetries = 3;
    static constexpr int kRetryMs = 100;
    // Files of a character folder followed at most; a folder holds 100
    // pictures the design uses.
    static constexpr int kMaxFolderFiles = 256;

    explicit DesignReloader(QObject* parent = nullptr);

    // Follows what the engine's last opening read; nothing when it has no design.
    void follow(const LogoEngine& engine);
    void stop();
    void setHeld(bool held);
    bool held() const { return held_; }
    bool waitingForRelease() const { return waiting_; }
    // A change waits to be looked at: its quiet time, a retry, or a hold.
    bool busy() const { return watcher_.pending() || retry_.isActive() || waiting_; }
    // What is followed: the files read, and the files of the folders among them.
    const QStringList& followed() const { return followed_; }

    // The line for the error list when path could not be read again.
    static QString cannotReadReport(const QString& path);

  signals:
    void reopenWanted();
    // A file stayed unreadable: the design stays as it was.
    void unreadable(const QString& path);

  private:
    void check();

    QuietFileWatcher watcher_;
    QTimer retry_;
    QStringList followed_;
    QList<FileStamp> stamps_;
    int tries_ = 0;
    bool held_ = false;
    bool waiting_ = false; // a change came while held
};

} // namespace zot
