#pragma once
// An HTTP/1.1 server on 127.0.0.1 at a port of the system's choosing, for tests whose
// pages must never come from the internet. It answers on a thread of its own, one
// request per connection ("Connection: close"), nothing cached ("Cache-Control:
// no-store"), and records each request. Pages are whatever the test registers;
// anything else is 404.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        std::string content_type = "text/html; charset=utf-8";
        std::string body;
        // Close the connection without answering, as a server that fails would.
        bool hang_up = false;
    };
    // Gets the request target ("/page?x=1"). Runs on the server's thread, one request
    // at a time: a handler that blocks holds up every other request, and the
    // server's destructor too.
    using Handler = std::function<Response(const std::string& target)>;

    // Listening on return; throws std::runtime_error when it cannot.
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // path is matched without the query string.
    void serve(const std::string& path, const std::string& content_type, const std::string& body);
    // For pages that change from one load to the next.
    void serve(const std::string& path, Handler handler);

    int port() const { return port_; }
    std::string url(const std::string& path) const;
    // Requests for path (query ignored) so far.
    int request_count(const std::string& path) const;
    // "METHOD target" of every request so far, in arrival order.
    std::vector<std::string> requests() const;

private:
    struct Connection;
    void run();
    bool handle_readable(Connection& connection);
    void respond(int fd, const std::string& method, const std::string& target);

    int listener_ = -1;
    int wake_read_ = -1;
    int wake_write_ = -1;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Handler> routes_;
    std::vector<std::string> requests_;
    std::thread thread_;
};
