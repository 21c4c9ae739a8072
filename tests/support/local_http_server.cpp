#include "support/local_http_server.h"

#include <libsoup/soup.h>

#include <future>
#include <stdexcept>

namespace {

// Runs work on the server's thread and waits for it.
template <typename Work>
void on_thread(GMainContext* context, Work work) {
    std::packaged_task<void()> task(work);
    auto done = task.get_future();
    g_main_context_invoke(
        context,
        +[](gpointer data) -> gboolean {
            (*static_cast<std::packaged_task<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        &task);
    done.get();
}

// Answers msg; false when it must stay unanswered (paused) for good.
bool reply(SoupServerMessage* msg, const std::shared_ptr<const LocalHttpServer::Response>& response) {
    if (response->hang)
        return false;
    if (response->hang_up) {
        if (GIOStream* stream = soup_server_message_steal_connection(msg)) {
            g_io_stream_close(stream, nullptr, nullptr);
            g_object_unref(stream);
        }
        return true;
    }
    soup_server_message_set_status(msg, static_cast<guint>(response->status), nullptr);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    // One request a connection: a client cannot quietly retry on a spare one.
    soup_message_headers_replace(headers, "Connection", "close");
    soup_message_headers_set_content_type(headers, response->content_type.c_str(), nullptr);
    for (const auto& [name, value] : response->headers)
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    // The body is sent from the shared copy, kept alive until it has gone.
    GBytes* body = g_bytes_new_with_free_func(
        response->body.data(), response->body.size(),
        +[](gpointer held) { delete static_cast<std::shared_ptr<const LocalHttpServer::Response>*>(held); },
        new std::shared_ptr<const LocalHttpServer::Response>(response));
    soup_message_body_append_bytes(soup_server_message_get_response_body(msg), body);
    g_bytes_unref(body);
    return true;
}

}  // namespace

struct LocalHttpServer::Loop {
    GMainContext* context = g_main_context_new();
    GMainLoop* main_loop = g_main_loop_new(context, FALSE);
    SoupServer* server = nullptr;
    GThreadPool* handlers = nullptr;
    std::thread thread;

    struct Pending {
        Loop* loop;
        SoupServerMessage* msg;
        Handler handler;
        std::string target;
    };
    struct Answer {
        std::unique_ptr<Pending> request;
        std::shared_ptr<const Response> response;
    };
};

LocalHttpServer::LocalHttpServer() : LocalHttpServer(nullptr) {}

LocalHttpServer::LocalHttpServer(GTlsCertificate* certificate)
    : loop_(std::make_unique<Loop>()), scheme_(certificate ? "https" : "http") {
    loop_->server = SOUP_SERVER(g_object_new(SOUP_TYPE_SERVER, "tls-certificate", certificate, nullptr));
    soup_server_add_handler(
        loop_->server, nullptr,
        +[](SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*, gpointer data) {
            auto* self = static_cast<LocalHttpServer*>(data);
            std::string target = path;
            if (const char* query = g_uri_get_query(soup_server_message_get_uri(msg)))
                target = target + "?" + query;
            const Route route = self->route_for(
                path, soup_message_headers_get_one(soup_server_message_get_request_headers(msg), "Cookie"));
            if (!route.handler) {
                reply(msg, route.fixed);
                return;
            }
            soup_server_message_pause(msg);
            g_thread_pool_push(self->loop_->handlers,
                               new Loop::Pending{self->loop_.get(), SOUP_SERVER_MESSAGE(g_object_ref(msg)),
                                                 route.handler, target},
                               nullptr);
        },
        this, nullptr);
    loop_->handlers = g_thread_pool_new(
        +[](gpointer data, gpointer) {
            auto* pending = static_cast<Loop::Pending*>(data);
            auto response = std::make_shared<const Response>(pending->handler(pending->target));
            GMainContext* context = pending->loop->context;
            g_main_context_invoke(
                context,
                +[](gpointer done) -> gboolean {
                    std::unique_ptr<Loop::Answer> answer(static_cast<Loop::Answer*>(done));
                    if (reply(answer->request->msg, answer->response))
                        soup_server_message_unpause(answer->request->msg);
                    g_object_unref(answer->request->msg);
                    return G_SOURCE_REMOVE;
                },
                new Loop::Answer{std::unique_ptr<Loop::Pending>(pending), std::move(response)});
        },
        nullptr, -1, FALSE, nullptr);
    loop_->thread = std::thread([loop = loop_.get()] {
        g_main_context_push_thread_default(loop->context);
        g_main_loop_run(loop->main_loop);
        g_main_context_pop_thread_default(loop->context);
    });
    bool listening = false;
    on_thread(loop_->context, [&] {
        const auto options = SoupServerListenOptions(SOUP_SERVER_LISTEN_IPV4_ONLY |
                                                     (certificate ? SOUP_SERVER_LISTEN_HTTPS : 0));
        listening = soup_server_listen_local(loop_->server, 0, options, nullptr);
        if (!listening)
            return;
        GSList* uris = soup_server_get_uris(loop_->server);
        port_ = g_uri_get_port(static_cast<GUri*>(uris->data));
        g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    });
    if (!listening) {
        stop();
        throw std::runtime_error("LocalHttpServer: cannot listen on 127.0.0.1");
    }
}

LocalHttpServer::~LocalHttpServer() { stop(); }

void LocalHttpServer::stop() {
    if (!loop_)
        return;
    // Handlers still running answer first; then the server closes every connection,
    // the hanging ones too.
    g_thread_pool_free(loop_->handlers, FALSE, TRUE);
    GSource* stop = g_idle_source_new();
    g_source_set_priority(stop, G_PRIORITY_LOW);
    g_source_set_callback(
        stop,
        +[](gpointer data) -> gboolean {
            auto* loop = static_cast<Loop*>(data);
            soup_server_disconnect(loop->server);
            g_object_unref(loop->server);
            g_main_loop_quit(loop->main_loop);
            return G_SOURCE_REMOVE;
        },
        loop_.get(), nullptr);
    g_source_attach(stop, loop_->context);
    g_source_unref(stop);
    loop_->thread.join();
    g_main_loop_unref(loop_->main_loop);
    g_main_context_unref(loop_->context);
    loop_.reset();
}

void LocalHttpServer::serve(const std::string& path, const std::string& content_type, const std::string& body) {
    auto fixed = std::make_shared<const Response>(Response{200, content_type, body});
    std::lock_guard lock(mutex_);
    routes_[path] = Route{fixed, {}};
}

void LocalHttpServer::serve(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{nullptr, std::move(handler)};
}

LocalHttpServer::Route LocalHttpServer::route_for(const std::string& path, const char* cookies) {
    static const auto not_found = std::make_shared<const Response>(Response{404, "text/plain", "not found"});
    std::lock_guard lock(mutex_);
    ++request_counts_[path];
    cookies_[path] = cookies ? cookies : "";
    const auto route = routes_.find(path);
    return route == routes_.end() ? Route{not_found, {}} : route->second;
}

std::string LocalHttpServer::url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::request_count(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto counted = request_counts_.find(path);
    return counted == request_counts_.end() ? 0 : counted->second;
}

std::string LocalHttpServer::cookies_sent(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto sent = cookies_.find(path);
    return sent == cookies_.end() ? "" : sent->second;
}

void LocalHttpServer::set_down(bool down) {
    on_thread(loop_->context, [this, down] {
        if (down) {
            soup_server_disconnect(loop_->server);
            return;
        }
        const auto options = SoupServerListenOptions(SOUP_SERVER_LISTEN_IPV4_ONLY |
                                                     (scheme_ == "https" ? SOUP_SERVER_LISTEN_HTTPS : 0));
        GSList* listeners = soup_server_get_listeners(loop_->server);
        if (!listeners)
            soup_server_listen_local(loop_->server, static_cast<guint>(port_), options, nullptr);
        g_slist_free(listeners);
    });
}

void LocalHttpServer::set_certificate(GTlsCertificate* certificate) {
    on_thread(loop_->context, [this, certificate] { g_object_set(loop_->server, "tls-certificate", certificate, nullptr); });
}
