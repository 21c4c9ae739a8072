#include "browser_pane/login/login_texts.h"

#include "browser_pane/recovery/failure_texts.h"

namespace {

std::string where_it_goes(const std::string& origin, const std::string& file) {
    return "<p>Utente e password vanno nel file <code>" + html_escape(file) + "</code>, leggibile solo da te "
           "(<code>chmod 600</code>):</p><pre>[" + html_escape(origin) + "]\nUtente=…\nPassword=…</pre>";
}

}  // namespace

std::string login_required_page_html(const std::string& origin, const std::string& file) {
    return own_page_html("Accesso richiesto", "<p>Il server <b>" + html_escape(origin) +
                                                  "</b> chiede utente e password.</p>" + where_it_goes(origin, file));
}

std::string login_refused_page_html(const std::string& origin, const std::string& file,
                                    const std::string& next_try_hh_mm) {
    return own_page_html("Accesso negato",
                         "<p>Il server <b>" + html_escape(origin) + "</b> ha rifiutato utente e password.</p>"
                         "<p>Non saranno inviati di nuovo prima delle " + html_escape(next_try_hh_mm) + ".</p>" +
                             where_it_goes(origin, file));
}

std::string login_failed_strip_text(const std::string& failed_hh_mm) {
    return "Accesso non riuscito dalle " + failed_hh_mm;
}
