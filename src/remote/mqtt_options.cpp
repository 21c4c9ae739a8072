#include "remote/mqtt_options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/address_text.h"

namespace remote {

using text::address_without_credentials;

namespace {

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

std::optional<std::string> read_private_secret(const std::string& file, std::string& complaint) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        complaint = file + " non letto: " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::string> secret;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        complaint = file + " non è un file";
    } else if (info.st_uid != ::geteuid() || (info.st_mode & 077) != 0) {
        complaint = file + " può essere letto da altri (chmod 600): la password non viene usata";
    } else {
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) complaint = file + " non letto: " + std::strerror(errno);
        else secret = std::string(buffer, got).substr(0, std::string(buffer, got).find_first_of("\r\n"));
    }
    ::close(fd);
    return secret;
}

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
            options.password = read_private_secret(value, complaint);
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
        if (::access(credential.c_str(), F_OK) == 0) {
            std::string complaint;
            options.password = read_private_secret(credential, complaint);
            if (!options.password) complain(complaint);
        }
    }
    if (!wrong) read.options = options;
    return read;
}

}  // namespace remote
