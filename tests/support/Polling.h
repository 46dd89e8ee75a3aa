#pragma once

// Waits for something the event loop brings about (a file watcher's news),
// by polling. The bound only keeps a broken build from hanging; nothing is
// asserted about how long it took.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace zot::test {

template <class Predicate> bool waitUntil(Predicate done, int boundMs = 20000) {
    QDeadlineTimer deadline(boundMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Lets the event loop run until pending() has been false for a while in a
// row: whatever a watcher had to say has been said.
template <class Predicate> void settle(Predicate pending, int rounds = 50) {
    int quiet = 0;
    waitUntil([&] {
        quiet = pending() ? 0 : quiet + 1;
        return quiet >= rounds;
    });
}

} // namespace zot::test
