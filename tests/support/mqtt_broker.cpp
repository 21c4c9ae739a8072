#include "support/mqtt_broker.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <mosquitto.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "support/files.h"
#include "support/wait_until.h"

using namespace std::chrono_literals;

namespace {

// Connects to 127.0.0.1:port; port 0 binds instead, and gives the port the system chose.
int try_port(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    socklen_t size = sizeof address;
    const auto* any = reinterpret_cast<sockaddr*>(&address);
    int result = port ? connect(fd, any, size) : bind(fd, any, size);
    if (!port && result == 0 && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        result = ntohs(address.sin_port);
    close(fd);
    return result;
}

}  // namespace

MqttBroker::MqttBroker(const std::filesystem::path& folder, const std::string& user, const std::string& password)
    : config_(folder / "mosquitto.conf"), port_(try_port(0)) {
    const auto passwords = folder / "utenti";
    EXPECT_EQ(run_program({"mosquitto_passwd", "-b", "-c", passwords.string(), user, password}).status, 0);
    write_file(config_, "listener " + std::to_string(port_) + " 127.0.0.1\nallow_anonymous false\npassword_file " +
                            passwords.string() + "\npersistence false\nlog_type error\nuser " + g_get_user_name() + "\n");
    start();
}

MqttBroker::~MqttBroker() = default;

void MqttBroker::start() {
    gchar* found = g_find_program_in_path("mosquitto");
    broker_ = std::make_unique<RunningProgram>(
        std::vector<std::string>{found ? found : "/usr/sbin/mosquitto", "-c", config_.string()});
    g_free(found);
    ASSERT_TRUE(wait_until([&] { return try_port(port_) == 0 || broker_->ended(); }, 30s) && !broker_->ended())
        << broker_->err();
}

void MqttBroker::stop() { broker_.reset(); }

MqttClient::MqttClient(int port, const std::string& user, const std::string& password) {
    mosquitto_lib_init();
    mosq_ = mosquitto_new(nullptr, true, this);
    mosquitto_username_pw_set(mosq_, user.c_str(), password.c_str());
    mosquitto_reconnect_delay_set(mosq_, 1, 1, false);
    mosquitto_connect_callback_set(mosq_, [](mosquitto* mosq, void* self, int) {
        auto* client = static_cast<MqttClient*>(self);
        std::lock_guard lock(client->mutex_);
        for (const auto& topic : client->subscriptions_) mosquitto_subscribe(mosq, nullptr, topic.c_str(), 0);
    });
    mosquitto_message_callback_set(mosq_, [](mosquitto*, void* self, const mosquitto_message* message) {
        auto* client = static_cast<MqttClient*>(self);
        std::lock_guard lock(client->mutex_);
        auto& [payload, count] = client->seen_[message->topic];
        payload.assign(static_cast<const char*>(message->payload), message->payloadlen);
        ++count;
    });
    EXPECT_EQ(mosquitto_connect(mosq_, "127.0.0.1", port, 10), MOSQ_ERR_SUCCESS);
    mosquitto_loop_start(mosq_);
}

MqttClient::~MqttClient() {
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, false);
    mosquitto_destroy(mosq_);
}

void MqttClient::subscribe(const std::string& topic) {
    std::lock_guard lock(mutex_);
    subscriptions_.push_back(topic);
    mosquitto_subscribe(mosq_, nullptr, topic.c_str(), 0);
}

void MqttClient::publish(const std::string& topic, const std::string& payload) {
    mosquitto_publish(mosq_, nullptr, topic.c_str(), static_cast<int>(payload.size()), payload.data(), 1, false);
}

std::optional<std::string> MqttClient::last(const std::string& topic) const {
    std::lock_guard lock(mutex_);
    const auto found = seen_.find(topic);
    return found == seen_.end() ? std::nullopt : std::optional(found->second.first);
}

int MqttClient::count(const std::string& topic) const {
    std::lock_guard lock(mutex_);
    const auto found = seen_.find(topic);
    return found == seen_.end() ? 0 : found->second.second;
}

bool MqttClient::wait_for(const std::string& topic, const std::string& payload) const {
    return wait_until([&] { return last(topic) == payload; }, 30s);
}

std::map<std::string, std::string> MqttClient::under(const std::string& prefix) const {
    std::lock_guard lock(mutex_);
    std::map<std::string, std::string> found;
    for (const auto& [topic, message] : seen_)
        if (topic.rfind(prefix, 0) == 0) found[topic] = message.first;
    return found;
}
