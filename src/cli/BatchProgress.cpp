#include "cli/BatchProgress.h"

#include <cmath>
#include <unistd.h>

BatchProgress::BatchProgress(std::FILE* out) : out_(out), terminal_(isatty(fileno(out)) == 1) {
    clock_.start();
}

QString BatchProgress::describe(qint64 done, qint64 total, double seconds) {
    QString text = total >= 0 ? QStringLiteral("%1 of %2 lines").arg(done).arg(total)
                              : QStringLiteral("%1 lines").arg(done);
    if (seconds <= 0 || done <= 0)
        return text;
    const double rate = double(done) / seconds;
    text += QStringLiteral(", %1 logos/s").arg(qRound64(rate));
    if (total >= 0 && done < total) {
        const qint64 left = qint64(std::ceil(double(total - done) / rate));
        text += left >= 120 ? QStringLiteral(", %1 min left").arg((left + 59) / 60)
                            : QStringLiteral(", %1 s left").arg(left);
    }
    return text;
}

void BatchProgress::show(qint64 done, qint64 total) {
    const QByteArray text = describe(done, total, double(clock_.nsecsElapsed()) / 1e9).toUtf8();
    if (terminal_)
        std::fprintf(out_, "\r\033[K%s", text.constData());
    else
        std::fprintf(out_, "%s\n", text.constData());
    std::fflush(out_);
    lastShownAt_ = clock_.elapsed();
}

void BatchProgress::update(qint64 done, qint64 total) {
    done_ = done;
    total_ = total;
    // A live line may change often; a log gets one line a second.
    const qint64 interval = terminal_ ? 100 : 1000;
    const bool last = total >= 0 && done == total;
    if (last || lastShownAt_ < 0 || clock_.elapsed() - lastShownAt_ >= interval) {
        show(done, total);
        shownDone_ = last;
    }
}

void BatchProgress::finish() {
    if (!shownDone_ && done_ > 0)
        show(done_, total_);
    if (terminal_ && lastShownAt_ >= 0)
        std::fputc('\n', out_);
    std::fflush(out_);
}
