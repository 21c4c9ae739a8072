#pragma once
// The certificates trusted by hand: each one trusted for its host alone, and kept as
// HOST.pem in the certificates folder of the kept website data, so that it is trusted
// again at every start (and a fleet of walls can be set up by copying the files).

#include <string>

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _GTlsCertificate GTlsCertificate;

// Every certificate of the folder, for the host its file is named after.
void trust_saved_certificates(WebKitWebContext* context);

// Trusts certificate for host alone in context, and from the next start on when the
// data is kept. A certificate that cannot be saved is reported in one line on standard error.
// An IPv6 host ("::1") is trusted with and without its brackets.
void trust_certificate(WebKitWebContext* context, GTlsCertificate* certificate, const std::string& host);
// True when a certificate other than this one was trusted for host.
bool trusted_certificate_differs(GTlsCertificate* certificate, const std::string& host);
