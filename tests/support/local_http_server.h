#pragma once
// An HTTP (or HTTPS) server on 127.0.0.1 at a port of the system's choosing, so that
// test pages never come from the internet. It runs on a thread of its own, so that it
// answers while the test's thread is busy or stalled. Nothing is cached; requests are
// counted by path, so that a server answering for hours (the benchmarks) keeps no
// more than its routes. Unknown paths: 404.

#include <gio/gio.h>

typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        std::string content_type = "text/html; charset=utf-8";
        std::string body;
        bool hang_up = false;  // close without answering, as a failing server would
        bool hang = false;     // take the request and never answer, as a stuck backend does
        std::vector<std::pair<std::string, std::string>> headers{};  // Location, Set-Cookie …
    };
    // Gets the target ("/page?x=1") on a thread of its own, so that it may block; the
    // destructor waits for it.
    using Handler = std::function<Response(const std::string& target)>;

    // Listening on return; throws std::runtime_error when it cannot. With a
    // certificate (and its key) the server speaks HTTPS only.
    LocalHttpServer();
    explicit LocalHttpServer(GTlsCertificate* certificate);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Paths are matched without the query string.
    void serve(const std::string& path, const std::string& content_type, const std::string& body);
    void serve(const std::string& path, Handler handler);
    std::string url(const std::string& path) const;
    // Requests of any method for path, whatever their query string.
    int request_count(const std::string& path) const;
    // The Cookie header of the latest request for path; empty when it had none.
    std::string cookies_sent(const std::string& path) const;
    // While down, nothing listens on the port: connections are refused, as by a server
    // that went away.
    void set_down(bool down);
    // An HTTPS server answers new connections with this certificate from then on.
    void set_certificate(GTlsCertificate* certificate);

private:
    // A fixed page is answered from the one copy held here: a benchmark serving a
    // page of megabytes thousands of times must not copy it for every answer.
    struct Route {
        std::shared_ptr<const Response> fixed;
        Handler handler;
    };
    static void on_request(SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*, gpointer self);
    bool listen(guint port);
    // Runs work on the server's thread and waits for it.
    void on_server(const std::function<void()>& work);

    std::string scheme_;
    guint port_ = 0;
    GMainContext* context_ = g_main_context_new();
    GMainLoop* loop_ = g_main_loop_new(context_, FALSE);
    SoupServer* server_ = nullptr;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::map<std::string, int> request_counts_;
    std::map<std::string, std::string> cookies_;
    std::vector<std::thread> handlers_;
};
