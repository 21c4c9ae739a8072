#include "support/local_http_server.h"

#include <libsoup/soup.h>

#include <future>
#include <stdexcept>

namespace {

using Shared = std::shared_ptr<const LocalHttpServer::Response>;

// Answers msg, or leaves it unanswered for good.
void reply(SoupServerMessage* msg, const Shared& response) {
    if (response->hang) {
        soup_server_message_pause(msg);
        return;
    }
    soup_server_message_set_status(msg, static_cast<guint>(response->status), nullptr);
    SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
    soup_message_headers_replace(headers, "Cache-Control", "no-store");
    // One request a connection: a client cannot quietly retry on a spare one.
    soup_message_headers_replace(headers, "Connection", "close");
    soup_message_headers_set_content_type(headers, response->content_type.c_str(), nullptr);
    for (const auto& [name, value] : response->headers)
        soup_message_headers_append(headers, name.c_str(), value.c_str());
    if (response->body.empty())
        return;  // a redirect, say: libsoup takes no empty chunk
    // Sent from the shared copy, kept alive until it has gone.
    GBytes* body = g_bytes_new_with_free_func(response->body.data(), response->body.size(),
                                              +[](gpointer held) { delete static_cast<Shared*>(held); },
                                              new Shared(response));
    soup_message_body_append_bytes(soup_server_message_get_response_body(msg), body);
    g_bytes_unref(body);
}

}  // namespace

LocalHttpServer::LocalHttpServer(GTlsCertificate* certificate) : scheme_(certificate ? "https" : "http") {
    server_ = SOUP_SERVER(g_object_new(SOUP_TYPE_SERVER, "tls-certificate", certificate, nullptr));
    soup_server_add_handler(server_, nullptr, &LocalHttpServer::on_request, this, nullptr);
    // Listening before the thread runs, on its context.
    g_main_context_push_thread_default(context_);
    listen(0);
    g_main_context_pop_thread_default(context_);
    if (port_ == 0)
        throw std::runtime_error("LocalHttpServer: cannot listen on 127.0.0.1");
    thread_ = std::thread([this] {
        g_main_context_push_thread_default(context_);
        g_main_loop_run(loop_);
    });
}

LocalHttpServer::~LocalHttpServer() {
    // Every connection closes, hanging ones too.
    on_server([this] {
        soup_server_disconnect(server_);
        g_object_unref(server_);
        g_main_loop_quit(loop_);
    });
    thread_.join();
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
}

void LocalHttpServer::listen(guint port) {
    const auto options = SoupServerListenOptions(SOUP_SERVER_LISTEN_IPV4_ONLY |
                                                 (scheme_ == "https" ? SOUP_SERVER_LISTEN_HTTPS : 0));
    if (!soup_server_listen_local(server_, port, options, nullptr))
        return;
    GSList* uris = soup_server_get_uris(server_);
    port_ = static_cast<guint>(g_uri_get_port(static_cast<GUri*>(uris->data)));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
}

void LocalHttpServer::on_server(const std::function<void()>& work) {
    std::promise<void> done;
    std::function<void()> run = [&] { work(), done.set_value(); };
    g_main_context_invoke(
        context_, +[](gpointer data) { return (*static_cast<std::function<void()>*>(data))(), G_SOURCE_REMOVE; }, &run);
    done.get_future().wait();
}

void LocalHttpServer::on_request(SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*, gpointer data) {
    auto* self = static_cast<LocalHttpServer*>(data);
    SoupMessageHeaders* headers = soup_server_message_get_request_headers(msg);
    const char* cookies = soup_message_headers_get_one(headers, "Cookie");
    const char* authorization = soup_message_headers_get_one(headers, "Authorization");
    GBytes* body = soup_message_body_flatten(soup_server_message_get_request_body(msg));
    gsize body_size = 0;
    const auto* body_data = static_cast<const char*>(g_bytes_get_data(body, &body_size));
    const Request request{soup_server_message_get_method(msg), std::string(body_data ? body_data : "", body_size),
                          cookies ? cookies : "", authorization ? authorization : ""};
    g_bytes_unref(body);
    char* address = g_uri_to_string(soup_server_message_get_uri(msg));
    std::string seen = request.method + " " + address + "\n";
    g_free(address);
    soup_message_headers_foreach(
        headers, +[](const char* name, const char* value, gpointer into) {
            *static_cast<std::string*>(into) += std::string(name) + ": " + value + "\n";
        }, &seen);
    static const auto not_found = std::make_shared<const Response>(Response{404, "text/plain", "not found"});
    Route route{not_found, {}};
    {
        std::lock_guard lock(self->mutex_);
        auto& [count, cookie] = self->requests_[path];
        ++count;
        cookie = cookies ? cookies : "";
        self->received_ += seen + request.body + "\n\n";
        if (const auto found = self->routes_.find(path); found != self->routes_.end())
            route = found->second;
    }
    reply(msg, route.handler ? std::make_shared<const Response>(route.handler(request)) : route.fixed);
}

void LocalHttpServer::serve(const std::string& path, const std::string& content_type, const std::string& body) {
    auto fixed = std::make_shared<const Response>(Response{200, content_type, body});
    std::lock_guard lock(mutex_);
    routes_[path] = Route{fixed, {}};
}

void LocalHttpServer::serve(const std::string& path, Handler handler) {
    serve(path, RequestHandler([handler = std::move(handler)](const Request&) { return handler(); }));
}

void LocalHttpServer::serve(const std::string& path, RequestHandler handler) {
    std::lock_guard lock(mutex_);
    routes_[path] = Route{nullptr, std::move(handler)};
}

void LocalHttpServer::require_digest(const std::string& path, const std::string& user, const std::string& password) {
    struct Account {
        std::string user, password;
    };
    on_server([&] {
        SoupAuthDomain* domain = soup_auth_domain_digest_new("realm", "orvalis", nullptr);
        soup_auth_domain_add_path(domain, path.c_str());
        soup_auth_domain_digest_set_auth_callback(
            domain,
            +[](SoupAuthDomain*, SoupServerMessage*, const char* name, gpointer data) -> char* {
                const auto* account = static_cast<Account*>(data);
                return account->user == name ? soup_auth_domain_digest_encode_password(name, "orvalis",
                                                                                        account->password.c_str())
                                             : nullptr;
            },
            new Account{user, password}, +[](gpointer data) { delete static_cast<Account*>(data); });
        soup_server_add_auth_domain(server_, domain);
        g_object_unref(domain);
    });
}

std::string LocalHttpServer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

std::string LocalHttpServer::url(const std::string& path) const {
    return scheme_ + "://127.0.0.1:" + std::to_string(port_) + path;
}

int LocalHttpServer::request_count(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return requests_.contains(path) ? requests_.at(path).first : 0;
}

std::string LocalHttpServer::cookies_sent(const std::string& path) const {
    std::lock_guard lock(mutex_);
    return requests_.contains(path) ? requests_.at(path).second : "";
}

void LocalHttpServer::set_down(bool down) {
    on_server([this, down] {
        GSList* listeners = soup_server_get_listeners(server_);
        if (down)
            soup_server_disconnect(server_);
        else if (!listeners)
            listen(port_);
        g_slist_free(listeners);
    });
}

void LocalHttpServer::set_certificate(GTlsCertificate* certificate) {
    // As a server restarted on it: connections a client opened ahead, on the old one, close.
    on_server([this, certificate] {
        g_object_set(server_, "tls-certificate", certificate, nullptr);
        soup_server_disconnect(server_);
        listen(port_);
    });
}
