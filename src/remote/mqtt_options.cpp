#include "remote/mqtt_options.h"

#include "credentials/private_file.h"
#include "text/address_text.h"

namespace remote {

using text::address_without_credentials;

namespace {

// The password: the first line of a secret file as read.
std::optional<std::string> first_line(const std::string& file, const credentials::SecretFile& read,
                                      std::string& complaint) {
    if (!read.text) {
        complaint = file + " non letto: " + read.refusal + "; la password non viene usata";
        return std::nullopt;
    }
    return read.text->substr(0, read.text->find_first_of("\r\n"));
}

constexpr const char* kWho = "orvalis: MQTT: ";

// "mqtt://host[:port][/]" or "mqtts://…"; an empty result's reason is in complaint.
bool read_server(const std::string& server, MqttOptions& options, std::string& complaint) {
    const auto scheme_end = server.find("://");
    const std::string scheme = scheme_end == std::string::npos ? "" : server.substr(0, scheme_end);
    if (scheme != "mqtt" && scheme != "mqtts") {
        complaint = "Server=" + address_without_credentials(server) + ": serve mqtt://host[:porta] o mqtts://";
        return false;
    }
    options.tls = scheme == "mqtts";
    options.port = options.tls ? 8883 : 1883;
    std::string rest = server.substr(scheme_end + 3);
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    if (rest.find('@') != std::string::npos) {
        complaint = "Server=" + address_without_credentials(server) +
                    ": utente e password non vanno nell'indirizzo, ma in Utente e FilePassword";
        return false;
    }
    std::string port;
    if (!rest.empty() && rest.front() == '[') {  // [IPv6]:port
        const auto close = rest.find(']');
        if (close == std::string::npos) rest.clear();
        else {
            options.host = rest.substr(1, close - 1);
            if (close + 1 < rest.size()) {
                if (rest[close + 1] != ':') options.host.clear();
                port = rest.substr(close + 2);
            }
        }
    } else {
        const auto colon = rest.find(':');
        options.host = rest.substr(0, colon);
        if (colon != std::string::npos) port = rest.substr(colon + 1);
    }
    bool good = !options.host.empty() && options.host.find_first_of("/?# ") == std::string::npos;
    if (good && !port.empty()) {
        const bool digits = port.size() <= 5 && port.find_first_not_of("0123456789") == std::string::npos;
        options.port = digits ? std::stoi(port) : 0;
        good = options.port >= 1 && options.port <= 65535;
    }
    if (!good) complaint = "Server=" + server + ": indirizzo del server non valido";
    return good;
}

bool valid_prefix(const std::string& prefix) {
    return !prefix.empty() && prefix.find_first_of("+#") == std::string::npos && prefix.front() != '/' &&
           prefix.back() != '/';
}

}  // namespace

MqttOptionsRead mqtt_options(const std::map<std::string, std::string>& values, const std::string& host_name,
                             const std::string& credentials_directory) {
    MqttOptionsRead read;
    MqttOptions options;
    options.name = host_name;
    bool wrong = false;
    const auto complain = [&](const std::string& line) { read.complaints.push_back(kWho + line); };
    if (!values.count("Server")) return read;  // off, and nothing is read
    for (const auto& [key, value] : values) {
        std::string complaint;
        if (key == "Server") {
            wrong |= !read_server(value, options, complaint);
        } else if (key == "Utente") {
            options.user = value;
        } else if (key == "FilePassword") {
            options.password = first_line(value, credentials::read_private_file(value), complaint);
            if (!options.password) complain(complaint);
        } else if (key == "Nome") {
            if (!value.empty()) options.name = value;
        } else if (key == "Prefisso") {
            if (valid_prefix(value)) options.prefix = value;
            else complaint = "Prefisso=" + value + ": non è un prefisso di argomento";
        } else {
            complaint = "chiave sconosciuta " + key + " (sono Server, Utente, FilePassword, Nome, Prefisso)";
        }
        // A wrong line turns MQTT off; a password that cannot be used does not.
        if (!complaint.empty() && key != "FilePassword") {
            complain(complaint + "; MQTT resta spento");
            wrong = true;
        }
    }
    if (!values.count("FilePassword") && !credentials_directory.empty()) {
        const std::string credential = credentials_directory + "/mqtt-password";
        const auto placed = credentials::read_systemd_credential(credential);
        if (!placed.missing) {
            std::string complaint;
            options.password = first_line(credential, placed, complaint);
            if (!options.password) complain(complaint);
        }
    }
    if (!wrong) read.options = options;
    return read;
}

}  // namespace remote
