#include "browser_pane/recovery/certificate_page.h"

#include <utility>

#include "browser_pane/recovery/failure_texts.h"
#include "browser_pane/website_data/certificate_store.h"

namespace {

// "scaduto, firmato da un'autorità non riconosciuta": what GIO found wrong with it.
std::string certificate_reason(GTlsCertificateFlags errors) {
    const std::pair<GTlsCertificateFlags, const char*> words[] = {
        {G_TLS_CERTIFICATE_UNKNOWN_CA, "firmato da un'autorità non riconosciuta"},
        {G_TLS_CERTIFICATE_BAD_IDENTITY, "rilasciato per un altro nome"},
        {G_TLS_CERTIFICATE_NOT_ACTIVATED, "non ancora valido"},
        {G_TLS_CERTIFICATE_EXPIRED, "scaduto"},
        {G_TLS_CERTIFICATE_REVOKED, "revocato"},
        {G_TLS_CERTIFICATE_INSECURE, "con un algoritmo non sicuro"},
        {G_TLS_CERTIFICATE_GENERIC_ERROR, "non valido"}};
    std::string reason;
    for (const auto& [flag, word] : words)
        if (errors & flag)
            reason += (reason.empty() ? "" : ", ") + std::string(word);
    return "Certificato " + (reason.empty() ? std::string("non valido") : reason);
}

// SHA-256 of the certificate as sent, in hexadecimal pairs: what an administrator
// compares with the one the server's own tools print.
std::string fingerprint(GTlsCertificate* certificate) {
    GByteArray* der = nullptr;
    g_object_get(certificate, "certificate", &der, nullptr);
    if (!der)
        return "";
    gchar* hex = g_compute_checksum_for_data(G_CHECKSUM_SHA256, der->data, der->len);
    g_byte_array_unref(der);
    std::string pairs;
    for (const char* c = hex; c[0] && c[1]; c += 2)
        pairs += (pairs.empty() ? "" : ":") + std::string{static_cast<char>(g_ascii_toupper(c[0])),
                                                         static_cast<char>(g_ascii_toupper(c[1]))};
    g_free(hex);
    return pairs;
}

}  // namespace

std::string certificate_host(const char* uri) {
    GUri* parsed = uri ? g_uri_parse(uri, G_URI_FLAGS_NONE, nullptr) : nullptr;
    std::string host = parsed && g_uri_get_host(parsed) ? g_uri_get_host(parsed) : "";
    if (parsed)
        g_uri_unref(parsed);
    return host;
}

CertificatePage::CertificatePage(WebKitWebView* view, std::function<void()> accepted)
    : view_(WEBKIT_WEB_VIEW(g_object_ref(view))), accepted_(std::move(accepted)) {
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    g_signal_connect(content, (std::string("script-message-received::") + kCertificateMessage).c_str(),
                     G_CALLBACK(&CertificatePage::on_accepted), this);
    webkit_user_content_manager_register_script_message_handler(content, kCertificateMessage);
}

CertificatePage::~CertificatePage() {
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    g_signal_handlers_disconnect_by_data(content, this);
    webkit_user_content_manager_unregister_script_message_handler(content, kCertificateMessage);
    forget();
    g_object_unref(view_);
}

void CertificatePage::show(GTlsCertificate* certificate, GTlsCertificateFlags errors, const std::string& host,
                           const std::string& address) {
    forget();
    certificate_ = G_TLS_CERTIFICATE(g_object_ref(certificate));
    host_ = host;
    gchar* token = g_uuid_string_random();
    token_ = token;
    g_free(token);
    const std::string page = certificate_page_html(host, certificate_reason(errors), fingerprint(certificate),
                                                   trusted_certificate_differs(certificate, host), token_);
    webkit_web_view_load_alternate_html(view_, page.c_str(), address.c_str(), nullptr);
}

bool CertificatePage::offers(GTlsCertificate* certificate, const std::string& host) const {
    return certificate_ && host == host_ && g_tls_certificate_is_same(certificate_, certificate);
}

void CertificatePage::forget() {
    g_clear_object(&certificate_);
    token_.clear();
}

void CertificatePage::on_accepted(WebKitUserContentManager*, WebKitJavascriptResult* message, gpointer data) {
    auto* self = static_cast<CertificatePage*>(data);
    JSCValue* value = webkit_javascript_result_get_js_value(message);
    char* text = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
    const bool ours = text && self->certificate_ && self->token_ == text;
    g_free(text);
    if (!ours)
        return;
    trust_certificate(webkit_web_view_get_context(self->view_), self->certificate_, self->host_);
    self->forget();
    self->accepted_();
}
