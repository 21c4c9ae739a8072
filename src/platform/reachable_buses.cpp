#include "platform/reachable_buses.h"

#include <gio/gio.h>

#include <cstdlib>
#include <optional>

namespace platform {
namespace {

// Long enough for a loaded machine's bus, short enough for a start nobody waits on.
constexpr gint64 kAnswerWithinUs = 2 * G_USEC_PER_SEC;
constexpr int kAddressAnswerMs = 5000;  // may include starting the launcher
// A value GLib and WebKit read as "no bus": they try nothing and start nothing.
constexpr const char* kNoBus = "disabled:";

struct Attempt {
    GDBusConnection* connection = nullptr;
    bool done = false;
};

// A connection to the bus at address that has authenticated and said hello, or null
// when the bus refuses or is silent for kAnswerWithinUs. Waits on a context of its
// own: nothing else of the program runs meanwhile, and nothing waits longer.
GDBusConnection* connect_within_limit(const std::string& address) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GCancellable* cancellable = g_cancellable_new();
    // On the heap: an attempt that outlives the wait below must find it there.
    auto* attempt = new Attempt;
    g_dbus_connection_new_for_address(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, cancellable,
        [](GObject*, GAsyncResult* result, gpointer data) {
            auto* done = static_cast<Attempt*>(data);
            done->connection = g_dbus_connection_new_for_address_finish(result, nullptr);
            done->done = true;
        },
        attempt);
    const gint64 deadline = g_get_monotonic_time() + kAnswerWithinUs;
    while (!attempt->done && g_get_monotonic_time() < deadline) {
        GSource* tick = g_timeout_source_new(50);
        g_source_set_callback(tick, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr, nullptr);
        g_source_attach(tick, context);
        g_main_context_iteration(context, TRUE);
        g_source_destroy(tick);
        g_source_unref(tick);
    }
    GDBusConnection* connection = attempt->connection;
    g_cancellable_cancel(cancellable);
    g_main_context_pop_thread_default(context);
    // A silent bus's attempt may still end later; its context is never run again, so
    // it ends into memory left to it.
    if (attempt->done) delete attempt;
    g_object_unref(cancellable);
    g_main_context_unref(context);
    return connection;
}

bool answers(const std::string& address) {
    GDBusConnection* connection = connect_within_limit(address);
    if (connection) g_object_unref(connection);
    return connection != nullptr;
}

// Where GLib would find the session bus without starting one; nothing when it would start one.
std::optional<std::string> session_address() {
    if (const char* named = std::getenv("DBUS_SESSION_BUS_ADDRESS")) return std::string(named);
    const std::string usual = std::string(g_get_user_runtime_dir()) + "/bus";
    if (g_file_test(usual.c_str(), G_FILE_TEST_EXISTS)) return "unix:path=" + usual;
    return std::nullopt;
}

// The accessibility bus of this session, as GTK and WebKit would ask for it (the session
// starts its launcher when it has one). Asked here, so that neither takes instead the one
// the display names, which may be another session's, or one long gone.
std::optional<std::string> announced_accessibility_bus(GDBusConnection* session) {
    GVariant* reply = g_dbus_connection_call_sync(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                                  "GetAddress", nullptr, G_VARIANT_TYPE("(s)"),
                                                  G_DBUS_CALL_FLAGS_NONE, kAddressAnswerMs, nullptr, nullptr);
    if (!reply) return std::nullopt;
    const char* address = nullptr;
    g_variant_get(reply, "(&s)", &address);
    std::optional<std::string> found(address);
    g_variant_unref(reply);
    return found;
}

}  // namespace

std::string keep_to_reachable_buses() {
    const auto session_bus = session_address();
    // Decided already: by the user, or by this program before it started its image again.
    if (session_bus == kNoBus) return {};
    std::optional<std::string> accessibility;
    if (const char* named = std::getenv("AT_SPI_BUS_ADDRESS"); named && *named) accessibility = named;
    if (accessibility == kNoBus) return {};

    GDBusConnection* session = session_bus ? connect_within_limit(*session_bus) : nullptr;
    if (session) {
        if (!accessibility) accessibility = announced_accessibility_bus(session);
        g_object_unref(session);
    } else {
        setenv("DBUS_SESSION_BUS_ADDRESS", kNoBus, 1);
    }
    const bool accessible = accessibility && answers(*accessibility);
    if (accessible) {
        // Named to GTK and WebKit, so that neither takes an older one from the display.
        setenv("AT_SPI_BUS_ADDRESS", accessibility->c_str(), 1);
    } else if (accessibility || !session) {
        setenv("AT_SPI_BUS_ADDRESS", kNoBus, 1);
        setenv("WEBKIT_A11Y_BUS_ADDRESS", "", 1);
        setenv("NO_AT_BRIDGE", "1", 1);
    }
    if (!session_bus) return "orvalis: nessun bus di sessione: la parete va senza";
    if (!session) return "orvalis: il bus di sessione " + *session_bus + " non risponde: la parete va senza";
    if (accessibility && !accessible)
        return "orvalis: il bus dell'accessibilità " + *accessibility + " non risponde: la parete va senza";
    return {};
}

}  // namespace platform
