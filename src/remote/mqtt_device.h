#pragma once
// The wall as one Home Assistant device over MQTT: its entities, the topics each
// one uses and the discovery messages that announce them. Text only; sending and
// receiving belong to MqttLink, and what each entity does to WallDevice.

#include <string>
#include <vector>

namespace remote {

enum class Component { Button, Switch, Text, Number, Sensor, Image };

struct Entity {
    Component component;
    std::string suffix;  // "_aggiorna_2": the unique_id is the node id followed by it
    std::string name;    // as Home Assistant shows it, after the device's name
    std::string icon;    // "mdi:…", or empty
};

// The wall's entities, as every wall announces them.
std::vector<Entity> wall_entities();

struct Device {
    std::string node;    // [a-zA-Z0-9_-] only: in every topic and unique_id
    std::string name;    // Nome, or the host name
    std::string prefix;  // discovery prefix
    std::string version;
};

// The node id of the wall with application id app_id on the machine identified by
// machine (a string of hex digits): two walls of one machine, or the same wall on two
// machines, never share one.
std::string node_id(const std::string& app_id, const std::string& machine);

std::string availability_topic(const Device& device);
std::string state_topic(const Device& device, const Entity& entity);
std::string command_topic(const Device& device, const Entity& entity);
std::string attributes_topic(const Device& device, const Entity& entity);  // text and sensor only
std::string status_topic(const Device& device);  // where Home Assistant says it is back

std::string discovery_topic(const Device& device, const Entity& entity);
std::string discovery_message(const Device& device, const Entity& entity);

// The payloads of switches and buttons.
inline constexpr const char* kOn = "ON";
inline constexpr const char* kOff = "OFF";
inline constexpr const char* kPress = "PRESS";

}  // namespace remote
