#include "platform/wall_bus.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

constexpr const char* kStatusInterface = "org.orvalis.Orvalis.Wall";
constexpr const char* kStatusXml =
    "<node><interface name='org.orvalis.Orvalis.Wall'>"
    "<method name='Status'><arg type='as' name='lines' direction='out'/></method>"
    "</interface></node>";
// A wall busy loading four pages still answers in well under this.
constexpr int kCallTimeoutMs = 10000;

// FNV-1a: stable across builds and machines, unlike std::hash.
std::uint64_t path_hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The reply of a method of the running wall; nothing when no wall has the id.
GVariant* call_wall(const std::string& id, const char* interface, const char* method, GVariant* parameters,
                    const GVariantType* reply_type) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        if (parameters) g_variant_unref(g_variant_ref_sink(parameters));
        return nullptr;
    }
    // No auto-start: asking must never start a wall.
    GVariant* reply = g_dbus_connection_call_sync(bus, id.c_str(), wall_object_path(id).c_str(), interface, method,
                                                  parameters, reply_type, G_DBUS_CALL_FLAGS_NO_AUTO_START,
                                                  kCallTimeoutMs, nullptr, nullptr);
    g_object_unref(bus);
    return reply;
}

struct StatusOffer {
    std::function<std::vector<std::string>()> lines;
};

void on_status_call(GDBusConnection*, const char*, const char*, const char*, const char*, GVariant*,
                    GDBusMethodInvocation* invocation, gpointer data) {
    GVariantBuilder lines;
    g_variant_builder_init(&lines, G_VARIANT_TYPE("as"));
    for (const std::string& line : static_cast<StatusOffer*>(data)->lines())
        g_variant_builder_add(&lines, "s", line.c_str());
    g_dbus_method_invocation_return_value(invocation, g_variant_new("(as)", &lines));
}

}  // namespace

std::string wall_application_id(const std::optional<std::filesystem::path>& own_settings_file) {
    if (!own_settings_file) return kDefaultWallId;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(path_hash(own_settings_file->string())));
    return std::string(kDefaultWallId) + ".Parete_" + hex;
}

std::string wall_object_path(const std::string& id) {
    std::string path = "/" + id;
    for (char& c : path) {
        if (c == '.') c = '/';
        if (c == '-') c = '_';
    }
    return path;
}

bool raise_running_wall(const std::string& id) {
    GVariant* reply = call_wall(id, "org.freedesktop.Application", "Activate", g_variant_new("(a{sv})", nullptr),
                                nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

std::optional<std::vector<std::string>> ask_wall_status(const std::string& id) {
    GVariant* reply = call_wall(id, kStatusInterface, "Status", nullptr, G_VARIANT_TYPE("(as)"));
    if (!reply) return std::nullopt;
    std::vector<std::string> lines;
    GVariantIter* iter = nullptr;
    const char* line = nullptr;
    g_variant_get(reply, "(as)", &iter);
    while (g_variant_iter_next(iter, "&s", &line)) lines.emplace_back(line);
    g_variant_iter_free(iter);
    g_variant_unref(reply);
    return lines;
}

void offer_wall_status(GDBusConnection* connection, const std::string& object_path,
                       std::function<std::vector<std::string>()> lines) {
    static GDBusNodeInfo* const node = g_dbus_node_info_new_for_xml(kStatusXml, nullptr);
    static const GDBusInterfaceVTable vtable = {on_status_call, nullptr, nullptr, {}};
    g_dbus_connection_register_object(
        connection, object_path.c_str(), node->interfaces[0], &vtable, new StatusOffer{std::move(lines)},
        [](gpointer data) { delete static_cast<StatusOffer*>(data); }, nullptr);
}

}  // namespace platform
