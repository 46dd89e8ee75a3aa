// Stands in, on a private session bus, for the desktop's file manager
// (org.freedesktop.FileManager1). Every call received is appended to a log,
// one line each, before it is answered. Arguments: LOG. Prints "ready" once
// it owns the name.
#include <gio/gio.h>

#include <cstdio>

namespace {

const char kXml[] = "<node><interface name='org.freedesktop.FileManager1'>"
                    "<method name='ShowFolders'><arg type='as' direction='in'/>"
                    "<arg type='s' direction='in'/></method>"
                    "<method name='ShowItems'><arg type='as' direction='in'/>"
                    "<arg type='s' direction='in'/></method>"
                    "</interface></node>";

FILE* gLog = nullptr;

void onCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
            GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    gchar* text = g_variant_print(parameters, FALSE);
    std::fprintf(gLog, "%s %s\n", method, text);
    std::fflush(gLog);
    g_free(text);
    g_dbus_method_invocation_return_value(invocation, nullptr);
}

void onBus(GDBusConnection* bus, const gchar*, gpointer) {
    static GDBusInterfaceVTable vtable{};
    vtable.method_call = onCall;
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kXml, nullptr);
    g_dbus_connection_register_object(bus, "/org/freedesktop/FileManager1", node->interfaces[0],
                                      &vtable, nullptr, nullptr, nullptr);
    g_dbus_node_info_unref(node);
}

void onName(GDBusConnection*, const gchar*, gpointer) {
    std::printf("ready\n");
    std::fflush(stdout);
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
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_bus_own_name(G_BUS_TYPE_SESSION, "org.freedesktop.FileManager1", G_BUS_NAME_OWNER_FLAGS_NONE,
                   onBus, onName, onNameLost, loop, nullptr);
    g_main_loop_run(loop);
    return 1;
}
