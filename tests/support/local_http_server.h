#pragma once
// An HTTP (or HTTPS) server on 127.0.0.1 at a port of the system's choosing, so that
// test pages never come from the internet. It runs on a thread of its own, so that it
// answers while the test's thread is busy or stalled. Nothing is cached; unknown paths: 404.

#include <gio/gio.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        std::string content_type = "text/html; charset=utf-8";
        std::string body{};
        bool hang = false;  // take the request and never answer, as a stuck backend does
        std::vector<std::pair<std::string, std::string>> headers{};  // Location, Set-Cookie …
    };
    // What a request brought, for handlers that answer by it.
    struct Request {
        std::string method, body, cookie, authorization;
    };
    // Runs on the server's thread for each request: it must not block.
    using Handler = std::function<Response()>;
    using RequestHandler = std::function<Response(const Request&)>;

    // Listening on return, or throws. With a certificate the server speaks HTTPS only.
    explicit LocalHttpServer(GTlsCertificate* certificate = nullptr);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Paths are matched, and requests counted, without the query string.
    void serve(const std::string& path, const std::string& content_type, const std::string& body);
    void serve(const std::string& path, Handler handler);
    void serve(const std::string& path, RequestHandler handler);
    std::string url(const std::string& path) const;
    int request_count(const std::string& path) const;
    // The Cookie header of the latest request for path; empty when it had none.
    std::string cookies_sent(const std::string& path) const;
    // From then on path asks for this user and password by HTTP Digest, as a device's page does.
    void require_digest(const std::string& path, const std::string& user, const std::string& password);
    // Everything every request brought so far: request lines, headers and bodies.
    std::string received() const;
    // While down, connections are refused, as by a server that went away.
    void set_down(bool down);
    // Taken by every connection from then on: those open are closed.
    void set_certificate(GTlsCertificate* certificate);

private:
    // A fixed page is answered from one shared copy: a benchmark serving megabytes
    // thousands of times must not copy it each time.
    struct Route {
        std::shared_ptr<const Response> fixed;
        RequestHandler handler;
    };
    static void on_request(SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*, gpointer self);
    void listen(guint port);
    void on_server(const std::function<void()>& work);  // and waits for it

    std::string scheme_;
    guint port_ = 0;
    GMainContext* context_ = g_main_context_new();
    GMainLoop* loop_ = g_main_loop_new(context_, FALSE);
    SoupServer* server_ = nullptr;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::map<std::string, std::pair<int, std::string>> requests_;  // count, latest Cookie header
    std::string received_;
};
