#include "support/local_http_server.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

std::string path_of(const std::string& target) { return target.substr(0, target.find('?')); }

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
    serve(path, [=](const std::string&) { return Response{200, content_type, body}; });
}

void LocalHttpServer::serve(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(handler);
}

std::string LocalHttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::request_count(const std::string& path) const {
    const auto all = requests();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const std::string& request) {
        return path_of(request.substr(request.find(' ') + 1)) == path;
    }));
}

std::vector<std::string> LocalHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
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
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (const auto route = routes_.find(path_of(target)); route != routes_.end())
            handler = route->second;
    }
    const Response response = handler ? handler(target) : Response{404, "text/plain", "not found"};
    if (response.hang_up)
        return;
    std::string reply = "HTTP/1.1 " + std::to_string(response.status) + (response.status == 200 ? " OK" : " Error") +
                        "\r\nContent-Type: " + response.content_type +
                        "\r\nContent-Length: " + std::to_string(response.body.size()) +
                        "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + response.body;
    for (std::size_t sent = 0; sent < reply.size();) {
        const ssize_t n = ::send(fd, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n < 0)
            break;  // the client left
        sent += static_cast<std::size_t>(n);
    }
}
