#include "browser_pane/recovery/page_recovery.h"

#include <algorithm>

#include <glibmm/datetime.h>
#include <glibmm/main.h>

#include "browser_pane/recovery/failure_texts.h"
#include "browser_pane/website_data/session_cookies.h"
#include "text/address_text.h"

namespace {

std::string clock_time(const char* format, RecoveryTimes::Delay from_now = RecoveryTimes::Delay::zero()) {
    return Glib::DateTime::create_now_local()
        .add_seconds(std::chrono::duration<double>(from_now).count())
        .format(format);
}

sigc::connection after(RecoveryTimes::Delay delay, const sigc::slot<void>& work) {
    return Glib::signal_timeout().connect(
        [work] {
            work();
            return false;
        },
        static_cast<unsigned>(delay.count()));
}

// The heartbeats within the hang limit: a ping unanswered for this many is given up.
constexpr int kBeatsPerLimit = 3;

// Errors of an address the engine will never load, whatever the server does.
bool refused_by_engine(const GError* error) {
    return g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT) ||
           g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI) ||
           g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL);
}

}  // namespace

PageRecovery::PageRecovery(WebKitWebView* view, StaleStrip& strip, const RecoveryTimes& times)
    : view_(WEBKIT_WEB_VIEW(g_object_ref(view))), strip_(strip), times_(times), retries_(times.retry_delays),
      restarts_(times.restart_delays), certificate_page_(view, [this] {
          stop_pending_attempts();
          attempt(true);
      }) {
    g_signal_connect(view_, "load-failed", G_CALLBACK(&PageRecovery::on_load_failed), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(&PageRecovery::on_load_changed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(&PageRecovery::on_process_terminated), this);
    g_signal_connect(view_, "notify::is-web-process-responsive", G_CALLBACK(&PageRecovery::on_responsive_changed),
                     this);
    g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(&PageRecovery::on_tls_errors), this);
    heartbeat_ = Glib::signal_timeout().connect(
        [this] {
            check_answering();
            return true;
        },
        static_cast<unsigned>(std::max<long long>(times.unresponsive_limit.count() / kBeatsPerLimit, 1)));
}

PageRecovery::~PageRecovery() {
    g_signal_handlers_disconnect_by_data(view_, this);
    stop_pending_attempts();
    stays_up_.disconnect();
    unresponsive_.disconnect();
    heartbeat_.disconnect();
    load_limit_.disconnect();
    g_object_unref(view_);
}

void PageRecovery::load(const std::string& address) {
    address_ = address;
    failure_.clear();
    stop_pending_attempts();
    // Whatever the old address showed is not this address's page.
    showing_good_ = false;
    strip_.hide();
    attempt();
}

bool PageRecovery::reload(bool by_person) {
    if (address_.empty())
        return false;
    stop_pending_attempts();
    attempt(by_person);
    return true;
}

void PageRecovery::stop_pending_attempts() {
    retries_.reset();
    retry_.disconnect();
    cookies_wait_.disconnect();
    // The restart sequence goes on: a page that keeps crashing still waits longer each time.
    restart_.disconnect();
    own_page_next_ = false;
}

void PageRecovery::set_asleep(bool asleep) {
    asleep_ = asleep;
    if (asleep || (!held_attempt_ && !retry_.connected() && !restart_.connected()))
        return;
    const bool by_person = held_attempt_.value_or(false);
    held_attempt_.reset();
    retry_.disconnect();
    restart_.disconnect();
    attempt(by_person);
}

void PageRecovery::attempt(bool by_person) {
    if (asleep_) {
        held_attempt_ = held_attempt_.value_or(false) || by_person;
        return;
    }
    // A first load must already be logged in: loads wait for the cookies of the last run.
    cookies_wait_.disconnect();
    cookies_wait_ = when_session_cookies_restored([this, by_person] { load_now(by_person); });
}

void PageRecovery::load_now(bool by_person) {
    by_person_ = by_person;
    // A reload keeps the page where it went (a redirect, an address it rewrote) and its
    // place in the history; anything else starts from the address.
    if (showing_good_ && !shown_by_post_) {
        webkit_web_view_reload(view_);
        return;
    }
    // The answer to a form, a login's among them: reloading it would send the form,
    // password and all, again. Where it stands is asked for anew.
    const char* shown = webkit_web_view_get_uri(view_);
    if (showing_good_ && shown) {
        webkit_web_view_load_uri(view_, shown);
        return;
    }
    // Anything else the engine would refuse, each its own way: ftp: with an error that
    // names no cause, javascript: by running it in whatever page shows, with no load.
    const char* scheme = g_uri_peek_scheme(address_.c_str());
    const bool loadable = scheme && (g_str_equal(scheme, "http") || g_str_equal(scheme, "https") ||
                                     g_str_equal(scheme, "file") || g_str_equal(scheme, "about") ||
                                     g_str_equal(scheme, "data"));
    if (loadable)
        webkit_web_view_load_uri(view_, address_.c_str());
    else
        failed({LoadFailure::Kind::refused_address, 0, 0, scheme ? std::string(scheme) + ":" : "senza schema"});
}

std::optional<LoadFailure> PageRecovery::failure_of(const GError* error) const {
    if (timed_out_) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(times_.load_limit).count();
        return LoadFailure{LoadFailure::Kind::no_answer, 0, static_cast<int>(std::max<long long>(seconds, 1)), ""};
    }
    // Another load took over (our own page among them): nothing failed.
    if (own_page_next_ || g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED))
        return std::nullopt;
    // A response this class would not show: a server error, or a type no pane shows.
    if (g_error_matches(error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)) {
        if (refused_status_)
            return LoadFailure{LoadFailure::Kind::server_error, refused_status_, 0, ""};
        if (!refused_type_.empty())
            return LoadFailure{LoadFailure::Kind::unshowable_type, 0, 0, refused_type_};
        return std::nullopt;
    }
    const std::string detail = error && error->message ? error->message : "";
    if (refused_by_engine(error))
        return LoadFailure{LoadFailure::Kind::refused_address, 0, 0, detail};
    return LoadFailure{LoadFailure::Kind::network, 0, 0, detail};
}

gboolean PageRecovery::on_load_failed(WebKitWebView*, WebKitLoadEvent, gchar*, GError* error, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    const auto failure = self->failure_of(error);
    self->refused_status_ = 0;
    self->refused_type_.clear();
    self->timed_out_ = false;
    self->load_limit_.disconnect();
    if (failure)
        self->failed(*failure);
    // Handled: no engine error page, ever.
    return TRUE;
}

std::string PageRecovery::retry_later() {
    retry_.disconnect();
    const auto delay = retries_.next();
    retry_ = after(delay, [this] { attempt(); });
    return clock_time("%H:%M:%S", delay);
}

void PageRecovery::failed(const LoadFailure& failure) {
    failure_ = failure_reason(failure);
    committed_ok_ = false;
    retry_.disconnect();
    // Waiting does not make the engine take an address it refuses.
    const std::string next_attempt_time = failure.kind == LoadFailure::Kind::refused_address ? "" : retry_later();
    if (showing_good_)
        strip_.show(stale_strip_text(last_good_));
    else
        show_own_page(failure_reason(failure), next_attempt_time);
}

void PageRecovery::show_page_of_our_own(const std::string& html) {
    stop_pending_attempts();
    load_limit_.disconnect();
    strip_.hide();
    own_page_next_ = true;
    webkit_web_view_load_alternate_html(view_, html.c_str(), address_.c_str(), nullptr);
}

void PageRecovery::show_own_page(const std::string& reason, const std::string& next_attempt_time) {
    certificate_page_.forget();
    own_page_next_ = true;
    // Under the real address, so that the view names the address the pane means.
    const std::string page = unreachable_page_html(text::address_without_credentials(address_), reason, next_attempt_time);
    webkit_web_view_load_alternate_html(view_, page.c_str(), address_.c_str(), nullptr);
}

void PageRecovery::on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    if (event == WEBKIT_LOAD_STARTED) {
        self->refused_status_ = 0;
        self->timed_out_ = false;
        self->load_limit_.disconnect();
        self->load_limit_ = after(self->times_.load_limit, [self] {
            // Stopping reports the load as cancelled; the flag makes it a failure.
            self->timed_out_ = true;
            webkit_web_view_stop_loading(self->view_);
        });
    } else if (event == WEBKIT_LOAD_COMMITTED) {
        // Decided from what committed, whatever order WebKit reports a failed load and
        // the page of our own that replaces it.
        self->load_limit_.disconnect();
        const bool own_page = self->own_page_next_;
        self->own_page_next_ = false;
        self->own_page_shown_ = own_page;
        if (!own_page)
            self->certificate_page_.forget();
        self->showing_good_ = !own_page;
        self->shown_by_post_ = !own_page && self->next_by_post_;
        self->committed_ok_ = !own_page;
        if (!own_page)
            self->last_good_ = clock_time("%H:%M");
        self->process_up_ = true;
    } else if (event == WEBKIT_LOAD_FINISHED && self->committed_ok_) {
        self->committed_ok_ = false;
        // An address on a blocked port ends as an empty page, with no failure reported.
        const char* uri = webkit_web_view_get_uri(self->view_);
        if (uri && g_str_equal(uri, "about:blank") && self->address_ != "about:blank") {
            self->showing_good_ = false;
            self->failed({LoadFailure::Kind::refused_address, 0, 0, ""});
        } else {
            self->succeeded();
        }
    }
}

void PageRecovery::succeeded() {
    failure_.clear();
    strip_.hide();
    retries_.reset();
    retry_.disconnect();
    if (restarts_.running()) {
        stays_up_.disconnect();
        stays_up_ = after(times_.stays_up, [this] { restarts_.reset(); });
    }
}

bool PageRecovery::decide_policy(WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
        WebKitNavigationAction* action =
            webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
        const char* method = webkit_uri_request_get_http_method(webkit_navigation_action_get_request(action));
        next_by_post_ = method && g_ascii_strcasecmp(method, "POST") == 0;
        return false;
    }
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return false;
    auto* response_decision = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (!webkit_response_policy_decision_is_main_frame_main_resource(response_decision))
        return false;
    // A server in trouble answers with an error page of its own, whatever address it
    // was asked for: the page already shown, or our own, is worth more.
    WebKitURIResponse* response = webkit_response_policy_decision_get_response(response_decision);
    const guint status = webkit_uri_response_get_status_code(response);
    if (status >= 500) {
        refused_status_ = static_cast<int>(status);
    } else if (!webkit_response_policy_decision_is_mime_type_supported(response_decision)) {
        // Not downloaded, and not a blank pane either: a failed load, which says what came.
        const char* type = webkit_uri_response_get_mime_type(response);
        refused_type_ = type && *type ? type : "?";
    } else {
        return false;
    }
    webkit_policy_decision_ignore(decision);
    return true;
}

gboolean PageRecovery::on_tls_errors(WebKitWebView*, gchar* failing_uri, GTlsCertificate* certificate,
                                     GTlsCertificateFlags errors, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    self->load_limit_.disconnect();
    self->committed_ok_ = false;
    self->failure_ = kUntrustedCertificate;
    // A proxy may serve its own certificate while the server behind it starts: tried
    // again as any failed load, so that a certificate that became good, or the one
    // trusted, brings the page back by itself.
    self->retry_later();
    const std::string host = certificate_host(failing_uri);
    if (self->showing_good_ && !self->by_person_) {
        self->strip_.show(stale_strip_text(self->last_good_, kUntrustedCertificate));
    } else if (!self->certificate_page_.offers(certificate, host)) {
        // Shown again only for another certificate: the page already shown, and its
        // button, stay as they are while someone may be reading them.
        self->strip_.hide();
        self->own_page_next_ = true;
        self->certificate_page_.show(certificate, errors, host, self->address_);
    }
    // Handled: the load finishes without an engine error page.
    return TRUE;
}

void PageRecovery::on_process_terminated(WebKitWebView*, WebKitWebProcessTerminationReason, gpointer data) {
    static_cast<PageRecovery*>(data)->process_ended();
}

void PageRecovery::process_ended() {
    // Crashed, hung and ended, or past its memory limit: the page is gone either way.
    failure_ = "il processo della pagina è terminato";
    showing_good_ = false;
    committed_ok_ = false;
    own_page_next_ = false;
    certificate_page_.forget();
    process_up_ = false;
    ping_beats_.reset();
    strip_.hide();
    stays_up_.disconnect();
    unresponsive_.disconnect();
    retry_.disconnect();
    load_limit_.disconnect();
    if (address_.empty() || restart_.connected())
        return;
    restart_ = after(restarts_.next(), [this] { attempt(); });
}

void PageRecovery::on_responsive_changed(GObject*, GParamSpec*, gpointer data) {
    auto* self = static_cast<PageRecovery*>(data);
    if (webkit_web_view_get_is_web_process_responsive(self->view_)) {
        self->unresponsive_.disconnect();
        return;
    }
    if (self->unresponsive_.connected())
        return;
    self->unresponsive_ = after(self->times_.unresponsive_limit, [self] {
        // Ending it reports a terminated process, which restarts the page.
        if (!webkit_web_view_get_is_web_process_responsive(self->view_))
            webkit_web_view_terminate_web_process(self->view_);
    });
}

namespace {

struct PendingPing {
    std::weak_ptr<bool> alive;
    PageRecovery* recovery;
};

}  // namespace

void PageRecovery::check_answering() {
    if (!process_up_)
        return;
    if (!ping_beats_) {
        ping_beats_ = 0;
        webkit_web_view_evaluate_javascript(view_, "0", 1, nullptr, nullptr, nullptr, &PageRecovery::on_pong,
                                            new PendingPing{alive_, this});
    } else if (++*ping_beats_ >= kBeatsPerLimit) {
        // Ending it reports a terminated process, which restarts the page.
        webkit_web_view_terminate_web_process(view_);
    }
}

void PageRecovery::on_pong(GObject* view, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingPing> pending(static_cast<PendingPing*>(data));
    // Any answer will do, an error included: the process read the request.
    if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr))
        g_object_unref(value);
    if (!pending->alive.expired())
        pending->recovery->ping_beats_.reset();
}
