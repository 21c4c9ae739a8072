#include "browser_pane/recovery/failure_texts.h"

std::string stale_strip_text(const std::string& last_good_hh_mm, const std::string& note) {
    return "Non aggiornata dalle " + last_good_hh_mm + (note.empty() ? "" : ", " + note);
}

namespace {

// Plain, and as large as the pane allows: read from across the room on a wall,
// still whole on a small pane.
std::string own_page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html lang=\"it\"><head><meta charset=\"utf-8\"><title>" + title +
           "</title><style>body{margin:0;padding:1em;font:clamp(12px,3.5vw,24px) sans-serif;color:#eee;"
           "background:#333}h1{font-size:1.3em;margin:0 0 .6em}p{margin:.4em 0;overflow-wrap:anywhere}"
           "button{font:inherit;padding:.3em .8em}</style></head><body><h1>" +
           title + "</h1>" + body + "</body></html>";
}

}  // namespace

std::string own_page_html(const std::string& title, const std::string& body) { return own_page(title, body); }

std::string certificate_page_html(const std::string& host, const std::string& reason, const std::string& fingerprint,
                                  bool changed, const std::string& token) {
    return own_page("Certificato non attendibile",
                    "<p>Host: <b>" + html_escape(host) + "</b></p><p>" + html_escape(reason) + "</p>" +
                        (changed ? "<p>Il certificato di questo host è cambiato da quando è stato accettato.</p>" : "") +
                        "<p>Impronta SHA-256: <code>" + html_escape(fingerprint) +
                        "</code></p><p><button onclick=\"window.webkit.messageHandlers." + kCertificateMessage +
                        ".postMessage('" + html_escape(token) + "')\">Accetta questo certificato</button></p>");
}

std::string failure_reason(const LoadFailure& failure) {
    switch (failure.kind) {
    case LoadFailure::Kind::server_error:
        return "Il server ha risposto con un errore (" + std::to_string(failure.status) + ")";
    case LoadFailure::Kind::no_answer:
        return "Nessuna risposta in " + std::to_string(failure.waited_seconds) + " s";
    case LoadFailure::Kind::refused_address:
        return "Indirizzo che il programma non può caricare" + (failure.detail.empty() ? "" : ": " + failure.detail);
    case LoadFailure::Kind::unshowable_type:
        return "La risposta è di un tipo che il riquadro non può mostrare: " + failure.detail;
    case LoadFailure::Kind::network:
        break;
    }
    return "Connessione non riuscita: " + failure.detail;
}

std::string unreachable_page_html(const std::string& address, const std::string& reason,
                                  const std::string& next_attempt_time) {
    return own_page("Pagina non raggiungibile",
                    "<p>Indirizzo: <b>" + html_escape(address) + "</b></p><p>" + html_escape(reason) + "</p>" +
                        (next_attempt_time.empty() ? ""
                                                   : "<p>Nuovo tentativo alle " + html_escape(next_attempt_time) + "</p>"));
}

std::string html_escape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        case '\'': escaped += "&#39;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}
