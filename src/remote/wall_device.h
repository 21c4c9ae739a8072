#pragma once
// The running wall as a device of Home Assistant: its entities announced by
// discovery, their states sent when they change, by whatever means, and their
// commands carried out as the window's own commands are. Off, and costing nothing,
// where orvalis.conf names no MQTT server.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "main_window/main_window.h"
#include "remote/mqtt_device.h"
#include "remote/mqtt_link.h"
#include "remote/mqtt_options.h"

namespace remote {

class WallDevice {
public:
    // What an entity shows and does. A button has no state; a sensor or an image takes
    // no command. A command reaches `command` only once its payload suits the entity.
    struct Binding {
        Entity entity;
        std::function<std::string()> state;
        std::function<void(const std::string& payload)> command;
    };

    WallDevice(MainWindow& window, const MqttOptions& options, const std::string& app_id);
    ~WallDevice();
    WallDevice(const WallDevice&) = delete;
    WallDevice& operator=(const WallDevice&) = delete;

private:
    Binding bind(const Entity& entity);
    void on_connected();
    void announce(const Binding& binding);
    void on_message(const std::string& topic, const std::string& payload, bool retained);
    void send_states();
    void send_states_soon();
    void send_picture(const std::string& png);

    MainWindow& window_;
    Device device_;
    std::vector<Binding> bindings_;
    std::map<std::string, std::string> sent_;  // topic -> payload last sent there
    std::vector<std::string> status_lines_;    // the panes' lines of --status, as send_states last read them
    std::unique_ptr<MqttLink> link_;
    guint state_watch_ = 0;
    guint states_soon_ = 0;
    std::shared_ptr<WallDevice*> alive_ = std::make_shared<WallDevice*>(this);  // for screenshots still encoding
};

// The device of the wall with application id app_id, after orvalis.conf; nothing
// when it names no server or has a wrong line in [MQTT] (said on standard error).
std::unique_ptr<WallDevice> start_wall_device(MainWindow& window, const std::string& app_id,
                                              const std::map<std::string, std::string>& mqtt_group);

}  // namespace remote
