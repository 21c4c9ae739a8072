#include "browser_pane/website_data/certificate_store.h"

#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "browser_pane/website_data/website_data.h"

namespace {

// A host names a file of the folder, and nothing outside it.
std::optional<std::filesystem::path> certificate_file(const std::string& host) {
    const auto& kept = kept_website_data();
    if (!kept || host.empty() || host.find('/') != std::string::npos || host.front() == '.')
        return std::nullopt;
    return kept->certificates / (host + ".pem");
}

// WebKit matches the pinned host against the address's host, whose IPv6 literal it
// has named with and without brackets: pinned under both, it is accepted either way.
void allow_for_host(WebKitWebContext* context, GTlsCertificate* certificate, const std::string& host) {
    webkit_web_context_allow_tls_certificate_for_host(context, certificate, host.c_str());
    if (host.find(':') != std::string::npos && host.front() != '[')
        webkit_web_context_allow_tls_certificate_for_host(context, certificate, ("[" + host + "]").c_str());
}

}  // namespace

void trust_saved_certificates(WebKitWebContext* context) {
    const auto& kept = kept_website_data();
    if (!kept)
        return;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(kept->certificates, missing)) {
        if (entry.path().extension() != ".pem")
            continue;
        if (GTlsCertificate* certificate = g_tls_certificate_new_from_file(entry.path().c_str(), nullptr)) {
            allow_for_host(context, certificate, entry.path().stem());
            g_object_unref(certificate);
        }
    }
}

void trust_certificate(WebKitWebContext* context, GTlsCertificate* certificate, const std::string& host) {
    allow_for_host(context, certificate, host);
    const auto file = certificate_file(host);
    if (!file)
        return;
    gchar* pem = nullptr;
    g_object_get(certificate, "certificate-pem", &pem, nullptr);
    const bool saved = pem && g_mkdir_with_parents(file->parent_path().c_str(), 0700) == 0 &&
                       g_file_set_contents(file->c_str(), pem, -1, nullptr);
    g_free(pem);
    if (!saved)
        std::fprintf(stderr, "orvalis: the certificate of %s is trusted only until the program ends: cannot write %s\n",
                     host.c_str(), file->c_str());
}

bool trusted_certificate_differs(GTlsCertificate* certificate, const std::string& host) {
    const auto file = certificate_file(host);
    if (!file)
        return false;
    GTlsCertificate* trusted = g_tls_certificate_new_from_file(file->c_str(), nullptr);
    const bool differs = trusted && !g_tls_certificate_is_same(trusted, certificate);
    if (trusted)
        g_object_unref(trusted);
    return differs;
}
