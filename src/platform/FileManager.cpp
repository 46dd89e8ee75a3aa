// GLib first: its headers use names that Qt defines as macros.
#include <gio/gio.h>

#include "platform/FileManager.h"

#include "platform/Error.h"

#include <QDesktopServices>
#include <QUrl>

namespace zot {

namespace {

constexpr int kBusTimeoutMs = 5000;

} // namespace

bool showFolderOverBus(const QString& folder) {
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!address)
        return false;
    // A connection of our own, closed when done: it follows the session bus
    // address as it is now.
    GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_free(address);
    if (!bus)
        return false;
    const QByteArray uri = QUrl::fromLocalFile(folder).toEncoded();
    GVariantBuilder uris;
    g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
    g_variant_builder_add(&uris, "s", uri.constData());
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowFolders", g_variant_new("(ass)", &uris, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, kBusTimeoutMs, nullptr, nullptr);
    const bool shown = reply != nullptr;
    if (reply)
        g_variant_unref(reply);
    g_dbus_connection_close_sync(bus, nullptr, nullptr);
    g_object_unref(bus);
    return shown;
}

void showFolder(const QString& folder) {
    if (showFolderOverBus(folder))
        return;
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        throw Error(QStringLiteral("Cannot show the folder %1").arg(folder));
}

} // namespace zot
