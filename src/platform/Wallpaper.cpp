// GLib first: its headers use names that Qt defines as macros.
#include <gio/gio.h>

#include "platform/Wallpaper.h"

#include "platform/Error.h"

#include <QFileInfo>
#include <QUrl>
#include <memory>

namespace zot {

namespace {

constexpr char kSchema[] = "org.gnome.desktop.background";

struct GObjectDeleter {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct SchemaDeleter {
    void operator()(GSettingsSchema* p) const { g_settings_schema_unref(p); }
};
struct SourceDeleter {
    void operator()(GSettingsSchemaSource* p) const { g_settings_schema_source_unref(p); }
};

Error failedToSet(const char* key) {
    return Error(QStringLiteral("Failed to set data for '%1'").arg(QLatin1String(key)));
}

} // namespace

QString wallpaperUri(const QString& file, bool escaped) {
    QString uri = QString::fromLatin1(
        QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded(QUrl::FullyEncoded));
    if (escaped) {
        // Same file, other spelling: "@" and "!" need no escaping in a path.
        const qsizetype slash = uri.lastIndexOf(u'/');
        QString name = uri.mid(slash + 1);
        name.replace(u'@', QStringLiteral("%40")).replace(u'!', QStringLiteral("%21"));
        uri = uri.left(slash + 1) + name;
    }
    return uri;
}

void setDesktopWallpaper(const QString& file, const QString& schemaDirectory) {
    std::unique_ptr<GSettingsSchemaSource, SourceDeleter> ownSource;
    GSettingsSchemaSource* source = nullptr;
    if (schemaDirectory.isEmpty()) {
        source = g_settings_schema_source_get_default();
    } else {
        ownSource.reset(g_settings_schema_source_new_from_directory(
            QFile::encodeName(schemaDirectory).constData(), nullptr, FALSE, nullptr));
        source = ownSource.get();
    }
    if (!source)
        return;
    // Looked up first: creating settings for a missing schema aborts.
    std::unique_ptr<GSettingsSchema, SchemaDeleter> schema(
        g_settings_schema_source_lookup(source, kSchema, TRUE));
    if (!schema)
        return;
    std::unique_ptr<GSettings, GObjectDeleter> settings(
        g_settings_new_full(schema.get(), nullptr, nullptr));

    auto write = [&](const char* key, const QString& value) {
        // A desktop whose schema lacks the key is like a missing registry key.
        if (!g_settings_schema_has_key(schema.get(), key))
            return;
        if (!g_settings_is_writable(settings.get(), key) ||
            !g_settings_set_string(settings.get(), key, value.toUtf8().constData()))
            throw failedToSet(key);
    };

    // Alternate the URI's spelling so that the desktop reloads the picture
    // although the file name is always the same.
    bool escaped = false;
    if (g_settings_schema_has_key(schema.get(), "picture-uri")) {
        gchar* current = g_settings_get_string(settings.get(), "picture-uri");
        escaped = QString::fromUtf8(current) == wallpaperUri(file, false);
        g_free(current);
    }
    const QString uri = wallpaperUri(file, escaped);
    write("picture-uri", uri);
    write("picture-uri-dark", uri);
    write("picture-options", QStringLiteral("centered"));
    write("primary-color", QStringLiteral("#ffffff"));
    g_settings_sync();
}

} // namespace zot
