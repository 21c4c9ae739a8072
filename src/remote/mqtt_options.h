#pragma once
// The [MQTT] group of orvalis.conf, judged: where the broker is, who the wall is on
// it, and its password. Any wrong line turns MQTT off for the run, with one line on
// standard error; a password file others may read is not used, and said so.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace remote {

struct MqttOptions {
    std::string host;
    int port = 1883;
    bool tls = false;  // mqtts://, checked against the system's authorities
    std::string user;
    std::optional<std::string> password;  // never printed
    std::string name;                     // the device's name in Home Assistant
    std::string prefix = "homeassistant";
};

struct MqttOptionsRead {
    std::optional<MqttOptions> options;  // none: MQTT is off
    std::vector<std::string> complaints;
};

// values: the group as the files give it. host_name names the device where Nome
// does not; credentials_directory is $CREDENTIALS_DIRECTORY (empty when unset), where
// systemd puts the credential mqtt-password.
MqttOptionsRead mqtt_options(const std::map<std::string, std::string>& values, const std::string& host_name,
                             const std::string& credentials_directory);

}  // namespace remote
