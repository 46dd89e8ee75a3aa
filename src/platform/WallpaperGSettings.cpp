// GLib first: its headers use names that Qt defines as macros.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include "platform/Wallpaper.h"
#include "platform/WallpaperBackends.h"

#include <QFile>
#include <QString>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace zot::wallpaper {

namespace {

struct GObjectDeleter {
    void operator()(gpointer p) const { g_object_unref(p); }
};
struct SchemaDeleter {
    void operator()(GSettingsSchema* p) const { g_settings_schema_unref(p); }
};
struct SourceDeleter {
    void operator()(GSettingsSchemaSource* p) const { g_settings_schema_source_unref(p); }
};

// How a schema names the picture and how it is centred on white.
struct SchemaKeys {
    const char* schemaId;
    const char* pictureKey;     // decides the spelling; the schema must have it
    bool pictureIsUri;          // a file URI, or else a plain path
    const char* darkPictureKey; // GNOME's second picture, when the schema has it
};

constexpr SchemaKeys kSchemas[] = {
    {"org.gnome.desktop.background", "picture-uri", true, "picture-uri-dark"},
    {"org.cinnamon.desktop.background", "picture-uri", true, nullptr},
    {"org.mate.background", "picture-filename", false, nullptr},
};

const SchemaKeys& keysOf(const char* schemaId) {
    for (const SchemaKeys& keys : kSchemas)
        if (std::strcmp(keys.schemaId, schemaId) == 0)
            return keys;
    return kSchemas[0];
}

QString readString(GSettings* settings, const char* key) {
    gchar* value = g_settings_get_string(settings, key);
    QString text = QString::fromUtf8(value);
    g_free(value);
    return text;
}

// The memory backend is GLib's last resort: it takes every write and keeps
// none, so the desktop would never see the change.
bool backendKeepsWrites() {
    GSettingsBackend* backend = g_settings_backend_get_default();
    const bool keeps = std::strcmp(G_OBJECT_TYPE_NAME(backend), "GMemorySettingsBackend") != 0;
    g_object_unref(backend);
    return keeps;
}

} // namespace

void setThroughGSettings(const char* schemaId, const QString& file,
                         const QString& schemaDirectory) {
    const SchemaKeys& keys = keysOf(schemaId);
    const QString pictureKey = QString::fromLatin1(keys.pictureKey);

    std::unique_ptr<GSettingsSchemaSource, SourceDeleter> ownSource;
    GSettingsSchemaSource* source = nullptr;
    if (schemaDirectory.isEmpty()) {
        source = g_settings_schema_source_get_default();
    } else {
        ownSource.reset(g_settings_schema_source_new_from_directory(
            QFile::encodeName(schemaDirectory).constData(), nullptr, FALSE, nullptr));
        source = ownSource.get();
    }
    // Looked up first: creating settings for a missing schema aborts.
    std::unique_ptr<GSettingsSchema, SchemaDeleter> schema(
        source ? g_settings_schema_source_lookup(source, schemaId, TRUE) : nullptr);
    if (!schema || !g_settings_schema_has_key(schema.get(), keys.pictureKey) ||
        !backendKeepsWrites())
        failedToSet(pictureKey);
    std::unique_ptr<GSettings, GObjectDeleter> settings(
        g_settings_new_full(schema.get(), nullptr, nullptr));

    // Alternate the spelling so that the desktop reloads the picture although
    // the file name is always the same.
    const QString current = readString(settings.get(), keys.pictureKey);
    const QString picture = keys.pictureIsUri
                                ? wallpaperUri(file, current == wallpaperUri(file, false))
                                : wallpaperPath(file, current == wallpaperPath(file, false));

    std::vector<std::pair<const char*, QString>> values{{keys.pictureKey, picture}};
    if (keys.darkPictureKey)
        values.emplace_back(keys.darkPictureKey, picture);
    values.emplace_back("picture-options", QStringLiteral("centered"));
    values.emplace_back("primary-color", QStringLiteral("#ffffff"));
    values.emplace_back("color-shading-type", QStringLiteral("solid"));

    std::vector<std::pair<const char*, QString>> written;
    for (const auto& [key, value] : values) {
        // A desktop whose schema lacks a key is like a missing registry key.
        if (!g_settings_schema_has_key(schema.get(), key))
            continue;
        if (!g_settings_is_writable(settings.get(), key) ||
            !g_settings_set_string(settings.get(), key, value.toUtf8().constData()))
            failedToSet(QString::fromLatin1(key));
        written.emplace_back(key, value);
    }
    g_settings_sync();
    // A backend may take a write and drop it later (dconf without its
    // service): what did not stay is reported like a refused write.
    for (const auto& [key, value] : written)
        if (readString(settings.get(), key) != value)
            failedToSet(QString::fromLatin1(key));
}

} // namespace zot::wallpaper
