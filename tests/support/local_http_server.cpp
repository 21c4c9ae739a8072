#include "support/local_http_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

std::string path_of(const std::string& target) { return target.substr(0, target.find('?')); }

// False when the client left before it had everything.
bool send_all(int fd, const std::string& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

LocalHttpServer::LocalHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    wake_ = ::eventfd(0, EFD_CLOEXEC);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || wake_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 64) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listener_);
        ::close(wake_);
        throw std::runtime_error("LocalHttpServer: cannot listen on 127.0.0.1");
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

LocalHttpServer::~LocalHttpServer() {
    ::eventfd_write(wake_, 1);
    thread_.join();
    ::close(wake_);
    ::close(listener_);
}

void LocalHttpServer::serve(const std::string& path, const std::string& content_type, const std::string& body) {
    auto fixed = std::make_shared<const Response>(Response{200, content_type, body});
    std::lock_guard lock(mutex_);
    routes_[path] = [fixed](const std::string&) { return fixed; };
}

void LocalHttpServer::serve(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = [handler = std::move(handler)](const std::string& target) {
        return std::make_shared<const Response>(handler(target));
    };
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::request_count(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto counted = request_counts_.find(path);
    return counted == request_counts_.end() ? 0 : counted->second;
}

void LocalHttpServer::set_down(bool down) { down_ = down; }

void LocalHttpServer::run() {
    // A thread that has ended keeps its stack until joined: join them as they end,
    // so that a server answering for hours (the benchmarks) does not grow.
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Connection> connections;
    while (readable(listener_)) {
        std::erase_if(connections, [](Connection& connection) {
            if (!*connection.done)
                return false;
            connection.thread.join();
            return true;
        });
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0 && down_) {
            // Reset rather than closed in order, as a refused connection is.
            const linger reset{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(fd);
        } else if (fd >= 0) {
            auto done = std::make_shared<std::atomic<bool>>(false);
            connections.push_back({std::thread([this, fd, done] {
                                       answer(fd);
                                       ::close(fd);
                                       *done = true;
                                   }),
                                   done});
        }
    }
    for (auto& connection : connections)
        connection.thread.join();
}

// Waits until fd has something to read; false once the server is stopping.
bool LocalHttpServer::readable(int fd) const {
    pollfd watched[] = {{fd, POLLIN, 0}, {wake_, POLLIN, 0}};
    while (::poll(watched, 2, -1) < 0)
        continue;  // interrupted by a signal
    return !watched[1].revents;
}

void LocalHttpServer::answer(int fd) {
    // Browsers open spare connections ahead of need: one may never carry a request.
    std::string head;
    for (char chunk[16384]; head.find("\r\n\r\n") == std::string::npos;) {
        const ssize_t n = readable(fd) ? ::recv(fd, chunk, sizeof chunk, 0) : -1;
        if (n <= 0)
            return;
        head.append(chunk, static_cast<std::size_t>(n));
    }
    const std::string request = head.substr(0, head.find(" HTTP/"));  // "GET /page?x=1"
    const std::string target = request.substr(request.find(' ') + 1);
    Responder responder;
    {
        std::lock_guard lock(mutex_);
        ++request_counts_[path_of(target)];
        if (const auto route = routes_.find(path_of(target)); route != routes_.end())
            responder = route->second;
    }
    const auto response =
        responder ? responder(target) : std::make_shared<const Response>(Response{404, "text/plain", "not found"});
    if (response->hang_up)
        return;
    const std::string reply_head = "HTTP/1.1 " + std::to_string(response->status) +
                                   (response->status == 200 ? " OK" : " Error") +
                                   "\r\nContent-Type: " + response->content_type +
                                   "\r\nContent-Length: " + std::to_string(response->body.size()) +
                                   "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n";
    if (send_all(fd, reply_head))
        send_all(fd, response->body);
}
