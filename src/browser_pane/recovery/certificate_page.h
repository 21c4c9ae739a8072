#pragma once
// The page of our own a pane shows for a server whose certificate is not trusted: the
// host, the reason and the certificate's fingerprint, and a button that trusts that
// one certificate for that host. The button brings back a token that only this page
// knows, so that no page from the network can have a certificate trusted.

#include <webkit2/webkit2.h>

#include <functional>
#include <string>

class CertificatePage {
public:
    // accepted runs once the button trusted the certificate; the view is kept alive until then.
    CertificatePage(WebKitWebView* view, std::function<void()> accepted);
    ~CertificatePage();
    CertificatePage(const CertificatePage&) = delete;
    CertificatePage& operator=(const CertificatePage&) = delete;

    // Loads the page for certificate, refused for errors at host, under address.
    void show(GTlsCertificate* certificate, GTlsCertificateFlags errors, const std::string& host,
              const std::string& address);
    // The page loaded last offers this certificate for this host, and its button still works.
    bool offers(GTlsCertificate* certificate, const std::string& host) const;
    // Another page took its place: its button trusts nothing from now on.
    void forget();

private:
    static void on_accepted(WebKitUserContentManager*, WebKitJavascriptResult* message, gpointer self);

    WebKitWebView* view_;
    std::function<void()> accepted_;
    GTlsCertificate* certificate_ = nullptr;
    std::string host_, token_;
};

// The host of a failing address, an IPv6 literal without its brackets ("::1").
std::string certificate_host(const char* uri);
