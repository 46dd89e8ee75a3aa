#pragma once

#include "platform/Error.h"

#include <QString>
#include <exception>
#include <functional>
#include <new>

namespace zot {

// The command-line tool's one top-level error path: whatever escapes a
// command ends it with one "Zotmaker: ..." line and status 1, never an abort.
inline int runGuarded(const std::function<int()>& command,
                      const std::function<void(const QString&)>& printLine) {
    const QString prefix = QStringLiteral("Zotmaker: ");
    try {
        return command();
    } catch (const Error& error) {
        printLine(prefix + errorBoxText(error.message()));
    } catch (const std::bad_alloc&) {
        printLine(prefix + errorBoxText(QStringLiteral("Out of memory")));
    } catch (const std::exception& error) {
        printLine(prefix + errorBoxText(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        printLine(prefix + errorBoxText(QStringLiteral("Unexpected error")));
    }
    return 1;
}

} // namespace zot
