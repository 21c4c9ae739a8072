#include "remote/mqtt_link.h"

#include <mosquitto.h>

#include <gio/gio.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <iostream>
#include <mutex>
#include <utility>

#include "remote/mqtt_payloads.h"

namespace remote {

// Lets the wall wait, as it closes, for a connect still running in the worker.
struct WorkerGate {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

namespace {

struct ConnectJob {
    mosquitto* mosq;
    std::string host;
    int port;
    int keepalive;
    bool first;
    std::weak_ptr<MqttLink*> link;
    std::shared_ptr<WorkerGate> gate;
    int result = MOSQ_ERR_UNKNOWN;
    int error_number = 0;
};

constexpr GIOCondition kReadable = GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR);

// Runs in the worker: mosquitto_connect_async looks the host up with a blocking getaddrinfo.
void run_connect(GTask* task, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<ConnectJob*>(data);
    job->result = job->first ? mosquitto_connect_async(job->mosq, job->host.c_str(), job->port, job->keepalive)
                             : mosquitto_reconnect_async(job->mosq);
    job->error_number = errno;
    {
        std::lock_guard lock(job->gate->mutex);
        job->gate->done = true;
    }
    job->gate->finished.notify_all();
    g_task_return_boolean(task, TRUE);
}

std::string error_text(int result, int error_number) {
    return result == MOSQ_ERR_ERRNO ? std::strerror(error_number) : mosquitto_strerror(result);
}

GSourceFuncs socket_source_funcs = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

}  // namespace

MqttLink::MqttLink(const MqttSession& session, Connected on_connected, Message on_message)
    : session_(session), on_connected_(std::move(on_connected)), on_message_(std::move(on_message)),
      alive_(std::make_shared<MqttLink*>(this)) {
    static const int library = mosquitto_lib_init();
    mosq_ = library == MOSQ_ERR_SUCCESS ? mosquitto_new(session_.client_id.c_str(), true, this) : nullptr;
    if (!mosq_) {
        std::cerr << "orvalis: MQTT: libmosquitto non si avvia; MQTT resta spento\n";
        return;
    }
    mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (session_.tls) mosquitto_int_option(mosq_, MOSQ_OPT_TLS_USE_OS_CERTS, 1);
    if (!session_.user.empty())
        mosquitto_username_pw_set(mosq_, session_.user.c_str(), session_.password ? session_.password->c_str() : nullptr);
    mosquitto_will_set(mosq_, session_.will_topic.c_str(), 7, "offline", 1, true);
    mosquitto_connect_callback_set(mosq_, &MqttLink::on_connect);
    mosquitto_disconnect_callback_set(mosq_, &MqttLink::on_disconnect);
    mosquitto_message_callback_set(mosq_, &MqttLink::on_message);
    socket_source_funcs.dispatch = &MqttLink::on_socket;
    connect_in_worker();
}

MqttLink::~MqttLink() {
    if (retry_) g_source_remove(retry_);
    if (worker_) {  // the worker holds the library's handle until it is done
        std::unique_lock lock(worker_->mutex);
        worker_->finished.wait(lock, [this] { return worker_->done; });
    }
    alive_.reset();
    if (!mosq_) return;
    if (connected_) {
        mosquitto_publish(mosq_, nullptr, session_.will_topic.c_str(), 7, "offline", 1, true);
        mosquitto_disconnect(mosq_);
    }
    forget_socket();
    mosquitto_destroy(mosq_);
}

void MqttLink::connect_in_worker() {
    auto* job = new ConnectJob{mosq_, session_.host, session_.port, session_.keepalive_seconds, first_attempt_, alive_,
                               std::make_shared<WorkerGate>()};
    first_attempt_ = false;
    worker_ = job->gate;
    GTask* task = g_task_new(nullptr, nullptr, [](GObject*, GAsyncResult* result, gpointer) {
        auto* finished = static_cast<ConnectJob*>(g_task_get_task_data(G_TASK(result)));
        if (auto link = finished->link.lock()) {
            (*link)->worker_.reset();
            if (finished->result == MOSQ_ERR_SUCCESS) (*link)->watch_socket();
            else (*link)->lost(error_text(finished->result, finished->error_number));
        }
    }, nullptr);
    g_task_set_task_data(task, job, [](gpointer data) { delete static_cast<ConnectJob*>(data); });
    g_task_run_in_thread(task, &run_connect);
    g_object_unref(task);
}

void MqttLink::watch_socket() {
    forget_socket();
    socket_source_ = g_source_new(&socket_source_funcs, sizeof(GSource));
    g_source_set_callback(socket_source_, nullptr, this, nullptr);
    socket_tag_ = g_source_add_unix_fd(socket_source_, mosquitto_socket(mosq_), kReadable);
    g_source_attach(socket_source_, nullptr);
    // Keep-alive pings and time-outs: libmosquitto counts, this only gives it the turn.
    housekeeping_ = g_timeout_add_seconds(1, [](gpointer self) -> gboolean {
        auto* link = static_cast<MqttLink*>(self);
        link->after_library_step(mosquitto_loop_misc(link->mosq_));
        return G_SOURCE_CONTINUE;
    }, this);
    update_watch();
}

void MqttLink::forget_socket() {
    if (housekeeping_) g_source_remove(std::exchange(housekeeping_, 0));
    if (socket_source_) {
        g_source_destroy(socket_source_);
        g_source_unref(std::exchange(socket_source_, nullptr));
    }
}

void MqttLink::update_watch() {
    if (socket_source_)
        g_source_modify_unix_fd(socket_source_, socket_tag_,
                                GIOCondition(kReadable | (mosquitto_want_write(mosq_) ? G_IO_OUT : 0)));
}

gboolean MqttLink::on_socket(GSource* source, GSourceFunc, gpointer self) {
    auto* link = static_cast<MqttLink*>(self);
    mosquitto* mosq = link->mosq_;
    const GIOCondition events = g_source_query_unix_fd(source, link->socket_tag_);
    int result = MOSQ_ERR_SUCCESS;
    if (events & kReadable) {
        result = mosquitto_loop_read(mosq, 1);
        // TLS may hold more packets already decrypted, of which the socket says nothing.
        for (int more = 0; link->session_.tls && result == MOSQ_ERR_SUCCESS && more < 16; ++more)
            result = mosquitto_loop_read(mosq, 1);
    }
    if (result == MOSQ_ERR_SUCCESS && (events & G_IO_OUT) && mosquitto_socket(mosq) >= 0)
        result = mosquitto_loop_write(mosq, 1);
    link->after_library_step(result);
    return G_SOURCE_CONTINUE;
}

void MqttLink::after_library_step(int result) {
    if (result == MOSQ_ERR_SUCCESS && mosquitto_socket(mosq_) >= 0) update_watch();
    else if (socket_source_) lost(error_text(result, errno));
}

void MqttLink::lost(const std::string& why) {
    forget_socket();
    report(session_.host + ":" + std::to_string(session_.port) + " non raggiungibile: " + why + "; riprovo");
    connected_ = false;
    retry_ = g_timeout_add_seconds(reconnect_delay_seconds(failures_++), [](gpointer self) -> gboolean {
        auto* link = static_cast<MqttLink*>(self);
        link->retry_ = 0;
        link->connect_in_worker();
        return G_SOURCE_REMOVE;
    }, this);
}

void MqttLink::report(const std::string& line) {
    if (!std::exchange(outage_reported_, true)) std::cerr << "orvalis: MQTT: " << line << '\n';
}

void MqttLink::on_connect(mosquitto*, void* self, int result) {
    auto* link = static_cast<MqttLink*>(self);
    if (result != 0) {
        link->report(std::string("il server rifiuta la connessione: ") + mosquitto_connack_string(result));
        return;
    }
    if (std::exchange(link->outage_reported_, false))
        std::cerr << "orvalis: MQTT: di nuovo connesso a " << link->session_.host << ":" << link->session_.port << '\n';
    link->connected_ = true;
    link->failures_ = 0;
    link->on_connected_();
}

void MqttLink::on_disconnect(mosquitto*, void* self, int) { static_cast<MqttLink*>(self)->connected_ = false; }

void MqttLink::on_message(mosquitto*, void* self, const mosquitto_message* message) {
    auto* link = static_cast<MqttLink*>(self);
    if (static_cast<std::size_t>(message->payloadlen) > kLargestMessage) {
        std::cerr << "orvalis: MQTT: scartato un messaggio di " << message->payloadlen << " byte su " << message->topic
                  << " (al massimo " << kLargestMessage << ")\n";
        return;
    }
    link->on_message_(message->topic, std::string(static_cast<const char*>(message->payload), message->payloadlen),
                      message->retain);
}

void MqttLink::publish(const std::string& topic, const std::string& payload, bool retain) {
    if (!connected_ || worker_) return;
    mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 0, retain);
    update_watch();
}

void MqttLink::subscribe(const std::string& topic) {
    if (!connected_ || worker_) return;
    mosquitto_subscribe(mosq_, nullptr, topic.c_str(), 0);
    update_watch();
}

}  // namespace remote
