#pragma once

#include <QElapsedTimer>
#include <QString>
#include <cstdio>

// The progress of a batch on standard error: on a terminal one live line
// with the lines done, the rate and the time left; elsewhere (a log file, a
// pipe) a plain line a second. Either way the last line gives the total.
class BatchProgress {
  public:
    explicit BatchProgress(std::FILE* out = stderr);
    void update(qint64 done, qint64 total);
    void finish();

    // The text of one report: "120 of 1000 lines, 850 logos/s, 2 s left".
    static QString describe(qint64 done, qint64 total, double seconds);

  private:
    void show(qint64 done, qint64 total);

    std::FILE* out_;
    bool terminal_;
    QElapsedTimer clock_;
    qint64 lastShownAt_ = -1;
    qint64 done_ = 0;
    qint64 total_ = -1;
    bool shownDone_ = false;
};
