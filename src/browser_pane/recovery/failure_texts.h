#pragma once
// The words a pane shows when its page could not be loaded: the strip over a page
// that is older than the last attempt, and the page of the pane's own for an address
// that did not give a page, with the reason. Clock times come in already formatted;
// when to show which is the pane's.

#include <string>

// "Non aggiornata dalle 14:05": the page shown dates from the last good load at that
// time; a note, when there is one, says why after it.
std::string stale_strip_text(const std::string& last_good_hh_mm, const std::string& note = "");
// The note, and what a pane reports, while its server's certificate is not trusted.
inline constexpr const char* kUntrustedCertificate = "certificato non attendibile";

// Why a load gave no page to show.
struct LoadFailure {
    enum class Kind { server_error, no_answer, refused_address, unshowable_type, network };
    Kind kind = Kind::network;
    int status = 0;            // server_error: the server's status
    int waited_seconds = 0;    // no_answer: how long the load went without an answer
    std::string detail;        // refused_address, network: the engine's own words; unshowable_type: the type
};
std::string failure_reason(const LoadFailure& failure);

// A short page in Italian naming the address tried and the reason (both escaped) and
// the time of the next attempt, when there is one.
std::string unreachable_page_html(const std::string& address, const std::string& reason,
                                  const std::string& next_attempt_time);

// The page for a server whose certificate is not trusted: the host, the reason, the
// certificate's fingerprint, whether it replaced one trusted before, and the button
// that trusts it, which posts token to the pane's certificate message handler.
std::string certificate_page_html(const std::string& host, const std::string& reason, const std::string& fingerprint,
                                  bool changed, const std::string& token);
// The name of that handler.
inline constexpr const char* kCertificateMessage = "orvalisCertificato";

// A page of the pane's own, in the look they all share: title, then body (HTML, already escaped).
std::string own_page_html(const std::string& title, const std::string& body);

// text with &, <, >, " and ' replaced by their entities.
std::string html_escape(const std::string& text);
