#include "remote/mqtt_device.h"

#include "remote/mqtt_payloads.h"

namespace remote {
namespace {

const char* component_name(Component component) {
    switch (component) {
    case Component::Button: return "button";
    case Component::Switch: return "switch";
    case Component::Text: return "text";
    case Component::Number: return "number";
    case Component::Sensor: return "sensor";
    case Component::Image: return "image";
    }
    return "";
}

std::string object_id(const Entity& entity) { return entity.suffix.substr(1); }

std::string entity_topic(const Device& device, const Entity& entity, const char* leaf) {
    return "orvalis/" + device.node + "/" + object_id(entity) + "/" + leaf;
}

std::string field(const char* key, const std::string& text) { return ",\"" + std::string(key) + "\":" + json_string(text); }

}  // namespace

std::vector<Entity> wall_entities() {
    std::vector<Entity> entities{{Component::Button, "_aggiorna", "Aggiorna", "mdi:refresh"},
                                 {Component::Switch, "_timer", "Timer", "mdi:timer-outline"},
                                 {Component::Switch, "_schermo_intero", "Schermo intero", "mdi:fullscreen"},
                                 {Component::Switch, "_schermo", "Schermo", "mdi:monitor"}};
    for (int n = 1; n <= 4; ++n) {
        const std::string pane = std::to_string(n);
        entities.push_back({Component::Button, "_aggiorna_" + pane, "Aggiorna riquadro " + pane, "mdi:refresh"});
        entities.push_back({Component::Text, "_indirizzo_" + pane, "Indirizzo riquadro " + pane, "mdi:web"});
        entities.push_back({Component::Number, "_zoom_" + pane, "Zoom riquadro " + pane, "mdi:magnify"});
        entities.push_back({Component::Sensor, "_stato_" + pane, "Stato riquadro " + pane, "mdi:list-status"});
    }
    entities.push_back({Component::Button, "_fotografa", "Fotografa", "mdi:camera"});
    entities.push_back({Component::Image, "_schermata", "Schermata", ""});
    return entities;
}

std::string node_id(const std::string& app_id, const std::string& machine) {
    // "org.orvalis.Orvalis.Parete_…" -> "Orvalis_Parete_…_<machine>": the common start says nothing.
    const std::string common = "org.orvalis.";
    std::string node = (app_id.rfind(common, 0) == 0 ? app_id.substr(common.size()) : app_id) + "_" + machine.substr(0, 8);
    for (char& c : node)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') c = '_';
    return node;
}

std::string availability_topic(const Device& device) { return "orvalis/" + device.node + "/disponibile"; }
std::string state_topic(const Device& device, const Entity& entity) { return entity_topic(device, entity, "stato"); }
std::string command_topic(const Device& device, const Entity& entity) { return entity_topic(device, entity, "comando"); }
std::string attributes_topic(const Device& device, const Entity& entity) {
    return entity_topic(device, entity, "attributi");
}
std::string status_topic(const Device& device) { return device.prefix + "/status"; }

std::string discovery_topic(const Device& device, const Entity& entity) {
    return device.prefix + "/" + component_name(entity.component) + "/" + device.node + "/" + object_id(entity) +
           "/config";
}

std::string discovery_message(const Device& device, const Entity& entity) {
    std::string json = "{\"name\":" + json_string(entity.name) + field("unique_id", device.node + entity.suffix) +
                       field("availability_topic", availability_topic(device)) +
                       ",\"payload_available\":\"online\",\"payload_not_available\":\"offline\"";
    if (!entity.icon.empty()) json += field("icon", entity.icon);
    switch (entity.component) {
    case Component::Button:
        json += field("command_topic", command_topic(device, entity)) + field("payload_press", kPress);
        break;
    case Component::Switch:
        json += field("command_topic", command_topic(device, entity)) + field("state_topic", state_topic(device, entity)) +
                field("payload_on", kOn) + field("payload_off", kOff);
        break;
    case Component::Text:
        json += field("command_topic", command_topic(device, entity)) + field("state_topic", state_topic(device, entity)) +
                field("json_attributes_topic", attributes_topic(device, entity)) + ",\"min\":0,\"max\":255";
        break;
    case Component::Number:
        json += field("command_topic", command_topic(device, entity)) + field("state_topic", state_topic(device, entity)) +
                ",\"min\":30,\"max\":300,\"step\":1,\"mode\":\"box\"" + field("unit_of_measurement", "%");
        break;
    case Component::Sensor:
        json += field("state_topic", state_topic(device, entity)) +
                field("json_attributes_topic", attributes_topic(device, entity));
        break;
    case Component::Image:
        json += field("image_topic", state_topic(device, entity)) + field("content_type", "image/png");
        break;
    }
    json += ",\"device\":{\"identifiers\":[" + json_string(device.node) + "]" + field("name", device.name) +
            field("manufacturer", "Orvalis") + field("model", "Parete") + field("sw_version", device.version) +
            "},\"origin\":{\"name\":\"Orvalis\"" + field("sw_version", device.version) + "}}";
    return json;
}

}  // namespace remote
