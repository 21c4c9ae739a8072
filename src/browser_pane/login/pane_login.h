#pragma once
// Logs a pane in with the wall's credentials (credentials/credentials_file.h), each
// only on its own origin, exactly, and never so often that a wrong password could lock
// an account.
//
// HTTP logins (Basic, Digest): answered from the file, with nothing kept by the engine.
// Where the file has nothing for the origin, or the server refused what it has, the
// pane shows a page of our own ("Accesso richiesto", "Accesso negato"); refused
// credentials are not sent again for the hold. Other challenges are left to the guard.
//
// Form logins: when a load ends on a page with a visible password field, and again
// 2 s later for pages that draw their form late, the form is filled and submitted
// from a script world of our own (login_script.h). A try that ends on a login page
// again failed: the pane tries no more for the hold, and its strip says since when.

#include <sigc++/connection.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "browser_pane/login/login_script.h"
#include "browser_pane/recovery/page_recovery.h"
#include "browser_pane/recovery/stale_strip.h"

class PaneLogin {
public:
    // Connects before whatever the view gets later, the guard's refusal of log-in prompts
    // among them: construct it before the guard is attached. All must outlive this.
    PaneLogin(WebKitWebView* view, StaleStrip& strip, PageRecovery& recovery);
    ~PaneLogin();
    PaneLogin(const PaneLogin&) = delete;
    PaneLogin& operator=(const PaneLogin&) = delete;

    // kLoginRequiredStatus or kLoginFailedStatus while the pane waits on a login; empty otherwise.
    std::string status() const;

private:
    using Clock = std::chrono::steady_clock;
    enum class Waiting { nothing, required, failed };

    static gboolean on_authenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer self);
    static void on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer self);
    static void on_answer(WebKitUserContentManager*, WebKitJavascriptResult* message, gpointer self);

    void look(bool judging);
    void answered(const LoginAnswer& answer);
    void try_failed();
    void got_through();
    void end_hold();

    WebKitWebView* view_;
    StaleStrip& strip_;
    PageRecovery& recovery_;
    GCancellable* cancellable_ = g_cancellable_new();
    // The HTTP login of the page shown, and the form login; the pane waits on either.
    Waiting http_ = Waiting::nothing;
    Waiting form_ = Waiting::nothing;
    // Origins whose server refused the file's HTTP login, with when it may be sent again.
    std::map<std::string, Clock::time_point> refused_;
    // Numbers the looks: only the latest one's answer counts, and only a look made a
    // while after a load (judging) may say a try got past the login page.
    unsigned looks_ = 0;
    bool judging_ = false;
    bool try_pending_ = false;
    bool past_login_ = false;  // a look since the try found no login form
    bool held_ = false;
    std::string failed_at_;  // "HH:MM" of the last failed form try; empty once a try got through
    std::string told_unfit_;  // the origin whose unfit form standard error heard of last
    sigc::connection look_again_, hold_end_;
};
