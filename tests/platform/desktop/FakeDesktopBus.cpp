// Stands in, on a private session bus, for the two desktop services the
// wallpaper talks to: the Plasma shell's scripting interface and xfconf.
// Every call received is appended to a log, one line each, before it is
// answered (a script also to LOG.script). Arguments: LOG [refuse] [no-backdrop]. Prints "ready"
// once both names are owned.
#include <gio/gio.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

const char kPlasmaXml[] = "<node><interface name='org.kde.PlasmaShell'>"
                          "<method name='evaluateScript'><arg type='s' direction='in'/>"
                          "<arg type='s' direction='out'/></method>"
                          "</interface></node>";
const char kXfconfXml[] = "<node><interface name='org.xfce.Xfconf'>"
                          "<method name='GetAllProperties'><arg type='s' direction='in'/>"
                          "<arg type='s' direction='in'/><arg type='a{sv}' direction='out'/>"
                          "</method>"
                          "<method name='SetProperty'><arg type='s' direction='in'/>"
                          "<arg type='s' direction='in'/><arg type='v' direction='in'/></method>"
                          "</interface></node>";

FILE* gLog = nullptr;
std::string gScriptPath; // the last script received, as sent
bool gRefuse = false;
int gNamesOwned = 0;
std::map<std::string, GVariant*> gProperties; // xfce4-desktop, owned refs

void record(const char* method, GVariant* parameters) {
    gchar* text = g_variant_print(parameters, FALSE);
    std::fprintf(gLog, "%s %s\n", method, text);
    std::fflush(gLog);
    g_free(text);
}

void setProperty(const char* name, GVariant* value) {
    auto found = gProperties.find(name);
    if (found != gProperties.end())
        g_variant_unref(found->second);
    gProperties[name] = g_variant_ref_sink(value);
}

void onPlasmaCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    record(method, parameters);
    const gchar* script = nullptr;
    g_variant_get(parameters, "(&s)", &script);
    if (FILE* out = std::fopen(gScriptPath.c_str(), "w")) {
        std::fputs(script, out);
        std::fclose(out);
    }
    if (gRefuse) {
        g_dbus_method_invocation_return_dbus_error(invocation, "org.kde.plasmashell.Error",
                                                   "script refused");
        return;
    }
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(s)", ""));
}

void onXfconfCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                  GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    record(method, parameters);
    if (std::strcmp(method, "GetAllProperties") == 0) {
        const gchar* channel = nullptr;
        const gchar* base = nullptr;
        g_variant_get(parameters, "(&s&s)", &channel, &base);
        GVariantBuilder builder;
        g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
        if (std::strcmp(channel, "xfce4-desktop") == 0)
            for (const auto& [name, value] : gProperties)
                if (name.rfind(base, 0) == 0)
                    g_variant_builder_add(&builder, "{sv}", name.c_str(), value);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(a{sv})", &builder));
        return;
    }
    if (gRefuse) {
        g_dbus_method_invocation_return_dbus_error(
            invocation, "org.xfce.Xfconf.Error.PermissionDenied", "channel is locked");
        return;
    }
    const gchar* property = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", nullptr, &property, &value);
    setProperty(property, value);
    g_variant_unref(value);
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

void exportObject(GDBusConnection* bus, const char* xml, const char* path,
                  GDBusInterfaceMethodCallFunc handler) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
    static GDBusInterfaceVTable vtables[2];
    static int used = 0;
    GDBusInterfaceVTable* vtable = &vtables[used++];
    vtable->method_call = handler;
    g_dbus_connection_register_object(bus, path, node->interfaces[0], vtable, nullptr, nullptr,
                                      nullptr);
    g_dbus_node_info_unref(node);
}

void onBus(GDBusConnection* bus, const gchar*, gpointer) {
    static bool exported = false;
    if (exported)
        return;
    exported = true;
    exportObject(bus, kPlasmaXml, "/PlasmaShell", onPlasmaCall);
    exportObject(bus, kXfconfXml, "/org/xfce/Xfconf", onXfconfCall);
}

void onName(GDBusConnection*, const gchar*, gpointer) {
    if (++gNamesOwned == 2) {
        std::printf("ready\n");
        std::fflush(stdout);
    }
}

void onNameLost(GDBusConnection*, const gchar* name, gpointer loop) {
    std::fprintf(stderr, "could not own %s\n", name);
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    gLog = std::fopen(argv[1], "a");
    if (!gLog)
        return 2;
    gScriptPath = std::string(argv[1]) + ".script";
    bool backdrop = true;
    for (int i = 2; i < argc; ++i) {
        gRefuse = gRefuse || std::strcmp(argv[i], "refuse") == 0;
        backdrop = backdrop && std::strcmp(argv[i], "no-backdrop") != 0;
    }
    // Two monitors, the first with two workspaces, and settings beside them.
    if (backdrop) {
        for (const char* set : {"/backdrop/screen0/monitorHDMI-1/workspace0/",
                                "/backdrop/screen0/monitorHDMI-1/workspace1/",
                                "/backdrop/screen0/monitoreDP-1/workspace0/"}) {
            setProperty((std::string(set) + "last-image").c_str(),
                        g_variant_new_string("/usr/share/backgrounds/old.png"));
            setProperty((std::string(set) + "image-style").c_str(), g_variant_new_int32(5));
        }
    }
    setProperty("/backdrop/single-workspace-mode", g_variant_new_boolean(TRUE));
    setProperty("/desktop-icons/style", g_variant_new_int32(2));

    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    for (const char* name : {"org.kde.plasmashell", "org.xfce.Xfconf"})
        g_bus_own_name(G_BUS_TYPE_SESSION, name, G_BUS_NAME_OWNER_FLAGS_NONE, onBus, onName,
                       onNameLost, loop, nullptr);
    g_main_loop_run(loop);
    return 1;
}
