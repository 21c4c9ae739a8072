#pragma once
// MQTT for tests: a mosquitto broker of the test's own on 127.0.0.1, at a free port,
// with a config and a user of its own, that can be stopped and started again on the
// same port; and a client that talks to it as Home Assistant does, on a thread of
// libmosquitto's, keeping the last message of each topic it subscribed to.

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "support/program_run.h"

struct mosquitto;

class MqttBroker {
public:
    // user may connect with password; nobody else may.
    MqttBroker(const std::filesystem::path& folder, const std::string& user, const std::string& password);
    ~MqttBroker();
    int port() const { return port_; }
    void start();  // listening on return, or the test fails
    void stop();

private:
    std::filesystem::path config_;
    int port_ = 0;
    std::unique_ptr<RunningProgram> broker_;
};

class MqttClient {
public:
    MqttClient(int port, const std::string& user, const std::string& password);
    ~MqttClient();
    // Kept across the broker's restarts.
    void subscribe(const std::string& topic);
    void publish(const std::string& topic, const std::string& payload);
    // The last payload seen on topic, and how many came there.
    std::optional<std::string> last(const std::string& topic) const;
    int count(const std::string& topic) const;
    // Waits on the test's main context until topic's last payload is `payload`.
    bool wait_for(const std::string& topic, const std::string& payload) const;
    // Every topic seen that starts with prefix, with its last payload.
    std::map<std::string, std::string> under(const std::string& prefix) const;

private:
    mosquitto* mosq_;
    mutable std::mutex mutex_;
    std::vector<std::string> subscriptions_;
    std::map<std::string, std::pair<std::string, int>> seen_;
};
