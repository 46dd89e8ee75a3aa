#include "widgets/ErrorBox.h"

#include "platform/Error.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>
#include <new>

namespace zot {

namespace {

ErrorBoxHandler& installedHandler() {
    static ErrorBoxHandler handler;
    return handler;
}

void showMessageBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Zotmaker"), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    // Messages quote paths and design texts: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void showErrorBox(const QString& message) {
    const QString text = errorBoxText(message);
    if (const ErrorBoxHandler& handler = installedHandler())
        handler(text);
    else
        showMessageBox(text);
}

ErrorBoxHandler setErrorBoxHandler(ErrorBoxHandler handler) {
    ErrorBoxHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

void runGuarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        showErrorBox(e.message());
    } catch (const std::bad_alloc&) {
        showErrorBox(QCoreApplication::translate("zot::ErrorBox", "Out of memory"));
    } catch (const std::exception& e) {
        showErrorBox(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace zot
