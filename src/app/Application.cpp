#include "app/Application.h"

#include "app/AppIcon.h"

#include <QGuiApplication>

namespace zot {

void configureApplication() {
    QGuiApplication::setApplicationName(QStringLiteral("Zotmaker"));
    // The taskbar and the Wayland compositor find the icon and name here.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.zotmaker.Zotmaker"));
    QGuiApplication::setWindowIcon(applicationIcon());
}

} // namespace zot
