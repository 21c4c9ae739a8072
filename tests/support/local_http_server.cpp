#include "support/local_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

// Far above any page a test serves; a client that sends more is not a browser.
constexpr std::size_t kMaxRequest = 1 << 20;
constexpr int kSendTimeoutMs = 5000;

std::string path_of(const std::string& target) { return target.substr(0, target.find('?')); }

const char* reason_of(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Content-Length of the request head, 0 when absent or unreadable.
std::size_t body_length(const std::string& head) {
    const std::string lowered = lower(head);
    const auto at = lowered.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    try {
        return std::stoul(lowered.substr(at + 17));
    } catch (...) {
        return 0;
    }
}

void send_all(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd out{fd, POLLOUT, 0};
            if (::poll(&out, 1, kSendTimeoutMs) > 0)
                continue;
        }
        return;  // The client left; nothing to tell it.
    }
}

}  // namespace

struct LocalHttpServer::Connection {
    int fd;
    std::string received;
};

LocalHttpServer::LocalHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0)
        throw std::runtime_error("LocalHttpServer: socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int pipe_ends[2];
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 64) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        ::pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        ::close(listener_);
        throw std::runtime_error(std::string("LocalHttpServer: cannot listen: ") + std::strerror(errno));
    }
    port_ = ntohs(address.sin_port);
    wake_read_ = pipe_ends[0];
    wake_write_ = pipe_ends[1];
    thread_ = std::thread([this] { run(); });
}

LocalHttpServer::~LocalHttpServer() {
    const char stop = 'x';
    [[maybe_unused]] const auto written = ::write(wake_write_, &stop, 1);
    thread_.join();
    ::close(wake_read_);
    ::close(wake_write_);
    ::close(listener_);
}

void LocalHttpServer::serve(const std::string& path, const std::string& content_type, const std::string& body) {
    serve(path, [content_type, body](const std::string&) { return Response{200, content_type, body}; });
}

void LocalHttpServer::serve(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::request_count(const std::string& path) const {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const auto& request : requests_) {
        const auto space = request.find(' ');
        if (path_of(request.substr(space + 1)) == path)
            ++count;
    }
    return count;
}

std::vector<std::string> LocalHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LocalHttpServer::run() {
    std::vector<Connection> connections;
    for (;;) {
        std::vector<pollfd> watched{{wake_read_, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const auto& connection : connections)
            watched.push_back({connection.fd, POLLIN, 0});
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[0].revents)
            break;
        // Browsers open spare connections ahead of need, so idle ones stay open
        // alongside those that carry a request.
        std::vector<Connection> kept;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            if (watched[i + 2].revents && !handle_readable(connections[i]))
                ::close(connections[i].fd);
            else
                kept.push_back(std::move(connections[i]));
        }
        connections = std::move(kept);
        if (watched[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd >= 0)
                connections.push_back({fd, {}});
        }
    }
    for (const auto& connection : connections)
        ::close(connection.fd);
}

// False once the connection is done with: answered, closed by the client, or broken.
bool LocalHttpServer::handle_readable(Connection& connection) {
    char chunk[16384];
    const ssize_t n = ::recv(connection.fd, chunk, sizeof chunk, 0);
    if (n < 0)
        return errno == EAGAIN || errno == EINTR;
    if (n == 0)
        return false;
    connection.received.append(chunk, static_cast<std::size_t>(n));
    const auto head_end = connection.received.find("\r\n\r\n");
    if (head_end == std::string::npos)
        return connection.received.size() < kMaxRequest;
    const std::string head = connection.received.substr(0, head_end);
    if (connection.received.size() < head_end + 4 + body_length(head))
        return connection.received.size() < kMaxRequest;

    const std::string request_line = head.substr(0, head.find("\r\n"));
    const auto first_space = request_line.find(' ');
    const auto second_space = request_line.find(' ', first_space + 1);
    if (first_space == std::string::npos || second_space == std::string::npos) {
        send_all(connection.fd, "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        return false;
    }
    respond(connection.fd, request_line.substr(0, first_space),
            request_line.substr(first_space + 1, second_space - first_space - 1));
    return false;
}

void LocalHttpServer::respond(int fd, const std::string& method, const std::string& target) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(method + " " + target);
        const auto route = routes_.find(path_of(target));
        if (route != routes_.end())
            handler = route->second;
    }
    Response response{404, "text/plain", "not found"};
    if (handler) {
        try {
            response = handler(target);
        } catch (...) {
            response = Response{500, "text/plain", "handler failed"};
        }
    }
    if (response.hang_up)
        return;
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + " " + reason_of(response.status) +
                        "\r\nContent-Type: " + response.content_type +
                        "\r\nContent-Length: " + std::to_string(response.body.size()) +
                        "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (method != "HEAD")
        reply += response.body;
    send_all(fd, reply);
}
