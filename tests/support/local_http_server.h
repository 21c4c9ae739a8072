#pragma once
// An HTTP server on 127.0.0.1 at a port of the system's choosing, so that test pages
// never come from the internet. Each connection carries one request ("Connection:
// close", nothing cached) on a thread of its own; requests are counted by path, so
// that a server answering for hours (the benchmarks) keeps no more than its routes.
// Unknown paths: 404.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        std::string content_type = "text/html; charset=utf-8";
        std::string body;
        bool hang_up = false;  // close without answering, as a failing server would
    };
    // Gets the target ("/page?x=1") on the connection's thread; the destructor waits
    // for handlers that block.
    using Handler = std::function<Response(const std::string& target)>;

    LocalHttpServer();  // listening on return; throws std::runtime_error when it cannot
    ~LocalHttpServer();

    // Paths are matched without the query string.
    void serve(const std::string& path, const std::string& content_type, const std::string& body);
    void serve(const std::string& path, Handler handler);
    std::string url(const std::string& path) const;
    // Requests of any method for path, whatever their query string.
    int request_count(const std::string& path) const;
    // While down, every connection is closed at once, unanswered and unrecorded, as
    // by a server that went away.
    void set_down(bool down);

private:
    void run();
    bool readable(int fd) const;
    void answer(int fd);

    int listener_ = -1, wake_ = -1, port_ = 0;
    mutable std::mutex mutex_;
    // A fixed page is answered from the one copy held here: a benchmark serving a
    // page of megabytes thousands of times must not copy it for every answer.
    using Responder = std::function<std::shared_ptr<const Response>(const std::string& target)>;
    std::map<std::string, Responder> routes_;
    std::map<std::string, int> request_counts_;
    std::thread thread_;
    std::atomic<bool> down_{false};
};
