#pragma once
// One MQTT session with a broker, kept up for the life of the wall, over
// libmosquitto's C API driven from the GLib main loop: its socket is watched by a
// GLib source (for output too while libmosquitto has bytes to send), and the
// library's read, write and housekeeping steps are called from there, on the UI
// thread. Only the host look-up and connect, which block, run in a one-shot worker
// that nothing else touches meanwhile. A failed or lost connection is tried again
// after 1 s, 2 s, 4 s … up to 60 s; each new connection calls on_connected, where
// subscriptions are made again.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <glib.h>

struct mosquitto;
struct mosquitto_message;

namespace remote {

struct WorkerGate;

struct MqttSession {
    std::string host;
    int port = 1883;
    bool tls = false;
    std::string user;
    std::optional<std::string> password;
    std::string client_id;
    std::string will_topic;  // gets "offline", retained, when the wall vanishes
    int keepalive_seconds = 60;
};

class MqttLink {
public:
    using Connected = std::function<void()>;
    using Message = std::function<void(const std::string& topic, const std::string& payload, bool retained)>;

    // Starts connecting at once; failures are reported on standard error, once an outage.
    MqttLink(const MqttSession& session, Connected on_connected, Message on_message);
    // Says "offline" on the will's topic first, then disconnects.
    ~MqttLink();
    MqttLink(const MqttLink&) = delete;
    MqttLink& operator=(const MqttLink&) = delete;

    bool connected() const { return connected_; }
    // Nothing happens while not connected: on_connected sends everything again.
    void publish(const std::string& topic, const std::string& payload, bool retain);
    void subscribe(const std::string& topic);

private:
    static void on_connect(mosquitto*, void* self, int result);
    static void on_disconnect(mosquitto*, void* self, int result);
    static void on_message(mosquitto*, void* self, const mosquitto_message* message);
    static gboolean on_socket(GSource* source, GSourceFunc, gpointer self);

    void connect_in_worker();
    void watch_socket();
    void update_watch();
    void after_library_step(int result);
    void lost(const std::string& why);
    void forget_socket();
    void report(const std::string& line);  // once an outage

    MqttSession session_;
    Connected on_connected_;
    Message on_message_;
    mosquitto* mosq_ = nullptr;
    std::shared_ptr<MqttLink*> alive_;  // the worker's answer finds the link through it, or nothing
    std::shared_ptr<WorkerGate> worker_;     // set while a connect runs in the worker
    GSource* socket_source_ = nullptr;
    gpointer socket_tag_ = nullptr;
    guint housekeeping_ = 0;
    guint retry_ = 0;
    unsigned failures_ = 0;
    bool connected_ = false;
    bool first_attempt_ = true;
    bool outage_reported_ = false;
};

}  // namespace remote
