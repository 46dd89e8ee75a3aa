// GLib first: its headers use names that Qt defines as macros.
#include <gio/gio.h>

#include "platform/Wallpaper.h"
#include "platform/WallpaperBackends.h"

#include <QRegularExpression>
#include <QString>
#include <map>
#include <memory>

// GDBus rather than QtDBus: GIO is already linked for GSettings, and the
// calls are a handful of synchronous ones, with no need for Qt's adaptors.
namespace zot::wallpaper {

namespace {

constexpr int kPlasmaTimeoutMs = 10000; // the shell runs the script before it answers
constexpr int kXfconfTimeoutMs = 5000;

struct ConnectionDeleter {
    void operator()(GDBusConnection* c) const {
        g_dbus_connection_close_sync(c, nullptr, nullptr);
        g_object_unref(c);
    }
};
using Connection = std::unique_ptr<GDBusConnection, ConnectionDeleter>;

struct VariantDeleter {
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using Variant = std::unique_ptr<GVariant, VariantDeleter>;

// A connection of our own, not GLib's shared one: it follows the session
// bus address as it is now and is gone when the wallpaper is set.
Connection sessionBus() {
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!address)
        return nullptr;
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address,
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    g_free(address);
    return Connection(connection);
}

// Sends one call; the reply, or null when the call failed in any way.
Variant call(GDBusConnection* bus, const char* service, const char* path, const char* interface,
             const char* method, GVariant* arguments, const GVariantType* replyType,
             int timeoutMs) {
    GError* error = nullptr;
    GVariant* reply =
        g_dbus_connection_call_sync(bus, service, path, interface, method, arguments, replyType,
                                    G_DBUS_CALL_FLAGS_NONE, timeoutMs, nullptr, &error);
    if (error)
        g_error_free(error);
    return Variant(reply);
}

// A JavaScript string literal holding text, safe whatever the text holds.
QString scriptString(const QString& text) {
    QString literal = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            literal += u'\\' + QString(c);
        else if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            literal += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            literal += c;
    }
    return literal + u'"';
}

} // namespace

QString plasmaScript(const QString& file) {
    // FillMode 6 is the image wallpaper's "Centered".
    return QStringLiteral(
               "var plain = %1;\n"
               "var other = %2;\n"
               "var all = desktops();\n"
               "for (var i = 0; i < all.length; i++) {\n"
               "    var d = all[i];\n"
               "    d.wallpaperPlugin = \"org.kde.image\";\n"
               "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
               "    d.writeConfig(\"Image\", d.readConfig(\"Image\") == plain ? other : plain);\n"
               "    d.writeConfig(\"FillMode\", 6);\n"
               "    d.writeConfig(\"Color\", \"#ffffff\");\n"
               "}\n")
        .arg(scriptString(wallpaperUri(file, false)), scriptString(wallpaperUri(file, true)));
}

void setThroughPlasmaShell(const QString& file) {
    const QString setting = QStringLiteral("Image");
    Connection bus = sessionBus();
    if (!bus)
        failedToSet(setting);
    // The shell answers with the script's output, or with an error.
    const Variant reply = call(
        bus.get(), "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell", "evaluateScript",
        g_variant_new("(s)", plasmaScript(file).toUtf8().constData()), nullptr, kPlasmaTimeoutMs);
    if (!reply)
        failedToSet(setting);
}

void setThroughXfconf(const QString& file) {
    constexpr char kChannel[] = "xfce4-desktop";
    Connection bus = sessionBus();
    if (!bus)
        failedToSet(QStringLiteral("last-image"));
    const Variant all = call(bus.get(), "org.xfce.Xfconf", "/org/xfce/Xfconf", "org.xfce.Xfconf",
                             "GetAllProperties", g_variant_new("(ss)", kChannel, "/backdrop"),
                             G_VARIANT_TYPE("(a{sv})"), kXfconfTimeoutMs);
    if (!all)
        failedToSet(QStringLiteral("last-image"));

    // One picture per monitor and workspace, each a property set of its own;
    // the current picture of each decides its spelling.
    static const QRegularExpression workspace(
        QStringLiteral("^(/backdrop/screen[^/]+/monitor[^/]+/workspace[^/]+/)[^/]+$"));
    std::map<QString, QString> pictures; // property set -> its last-image
    GVariantIter* iter = nullptr;
    g_variant_get(all.get(), "(a{sv})", &iter);
    const gchar* name = nullptr;
    GVariant* value = nullptr;
    while (g_variant_iter_loop(iter, "{&sv}", &name, &value)) {
        const QString property = QString::fromUtf8(name);
        const QRegularExpressionMatch match = workspace.match(property);
        if (!match.hasMatch())
            continue;
        QString& picture = pictures[match.captured(1)];
        if (property.endsWith(QStringLiteral("/last-image")) &&
            g_variant_is_of_type(value, G_VARIANT_TYPE_STRING))
            picture = QString::fromUtf8(g_variant_get_string(value, nullptr));
    }
    g_variant_iter_free(iter);
    if (pictures.empty())
        failedToSet(QStringLiteral("last-image")); // no desktop to put it on

    const auto set = [&](const QString& property, GVariant* newValue) {
        const Variant reply =
            call(bus.get(), "org.xfce.Xfconf", "/org/xfce/Xfconf", "org.xfce.Xfconf", "SetProperty",
                 g_variant_new("(ssv)", kChannel, property.toUtf8().constData(), newValue), nullptr,
                 kXfconfTimeoutMs);
        if (!reply)
            failedToSet(property);
    };
    for (const auto& [base, current] : pictures) {
        const QString path = wallpaperPath(file, current == wallpaperPath(file, false));
        set(base + QStringLiteral("last-image"), g_variant_new_string(path.toUtf8().constData()));
        set(base + QStringLiteral("image-style"), g_variant_new_int32(1)); // centred
        set(base + QStringLiteral("color-style"), g_variant_new_int32(0)); // solid
        GVariant* white[] = {g_variant_new_variant(g_variant_new_double(1.0)),
                             g_variant_new_variant(g_variant_new_double(1.0)),
                             g_variant_new_variant(g_variant_new_double(1.0)),
                             g_variant_new_variant(g_variant_new_double(1.0))};
        set(base + QStringLiteral("rgba1"), g_variant_new_array(G_VARIANT_TYPE_VARIANT, white, 4));
    }
}

} // namespace zot::wallpaper
