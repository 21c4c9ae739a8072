#include "browser_pane/login/pane_login.h"

#include <glibmm/datetime.h>
#include <glibmm/main.h>

#include <cstdio>

#include "browser_pane/login/login_texts.h"
#include "credentials/credentials_file.h"
#include "credentials/origin.h"

namespace {

// A wrong password tried every two minutes would lock most accounts within the hour.
constexpr auto kHold = std::chrono::minutes(5);
// Single-page apps draw their form, or their dashboard, a while after the load.
constexpr auto kLookAgain = std::chrono::seconds(2);

std::string clock_time(std::chrono::seconds from_now = std::chrono::seconds(0)) {
    return Glib::DateTime::create_now_local().add_seconds(static_cast<double>(from_now.count())).format("%H:%M");
}

sigc::connection after(std::chrono::milliseconds delay, const sigc::slot<void>& work) {
    return Glib::signal_timeout().connect(
        [work] {
            work();
            return false;
        },
        static_cast<unsigned>(delay.count()));
}

std::string shown_origin(WebKitWebView* view) {
    const char* uri = webkit_web_view_get_uri(view);
    return uri ? credentials::origin_of_address(uri) : "";
}

}  // namespace

PaneLogin::PaneLogin(WebKitWebView* view, StaleStrip& strip, PageRecovery& recovery)
    : view_(view), strip_(strip), recovery_(recovery) {
    g_signal_connect(view_, "authenticate", G_CALLBACK(&PaneLogin::on_authenticate), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(&PaneLogin::on_load_changed), this);
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    webkit_user_content_manager_register_script_message_handler_in_world(content, kLoginMessage, kLoginWorld);
    g_signal_connect(content, (std::string("script-message-received::") + kLoginMessage).c_str(),
                     G_CALLBACK(&PaneLogin::on_answer), this);
}

PaneLogin::~PaneLogin() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
    look_again_.disconnect();
    hold_end_.disconnect();
    g_signal_handlers_disconnect_by_data(view_, this);
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view_);
    g_signal_handlers_disconnect_by_data(content, this);
    webkit_user_content_manager_unregister_script_message_handler_in_world(content, kLoginMessage, kLoginWorld);
}

std::string PaneLogin::status() const {
    const Waiting waiting = http_ != Waiting::nothing ? http_ : form_;
    if (waiting == Waiting::required) return kLoginRequiredStatus;
    if (waiting == Waiting::failed) return kLoginFailedStatus;
    return "";
}

gboolean PaneLogin::on_authenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer data) {
    auto* self = static_cast<PaneLogin*>(data);
    const WebKitAuthenticationScheme scheme = webkit_authentication_request_get_scheme(request);
    if ((scheme != WEBKIT_AUTHENTICATION_SCHEME_HTTP_BASIC && scheme != WEBKIT_AUTHENTICATION_SCHEME_HTTP_DIGEST) ||
        webkit_authentication_request_is_for_proxy(request))
        return FALSE;
    WebKitSecurityOrigin* asking = webkit_authentication_request_get_security_origin(request);
    gchar* asking_text = asking ? webkit_security_origin_to_string(asking) : nullptr;
    const std::string origin = asking_text ? credentials::origin_key(asking_text) : "";
    g_free(asking_text);
    if (asking) webkit_security_origin_unref(asking);

    const credentials::Login* login = origin.empty() ? nullptr : credentials::wall_credentials().find(origin);
    const auto refused = self->refused_.find(origin);
    const bool held = refused != self->refused_.end() && Clock::now() < refused->second;
    if (login && !held && !webkit_authentication_request_is_retry(request)) {
        WebKitCredential* credential = webkit_credential_new(login->user.c_str(), login->password.c_str(),
                                                             WEBKIT_CREDENTIAL_PERSISTENCE_NONE);
        webkit_authentication_request_authenticate(request, credential);
        webkit_credential_free(credential);
        return TRUE;
    }
    if (login && !held) self->refused_[origin] = Clock::now() + kHold;
    webkit_authentication_request_cancel(request);
    // Only the page the pane loads gets a page of ours instead; a picture or a frame
    // that asks is just left out.
    const bool main_resource = webkit_web_view_is_loading(self->view_) && shown_origin(self->view_) == origin;
    if (!main_resource) return TRUE;
    const std::string file = credentials::user_credentials_file().string();
    self->http_ = login ? Waiting::failed : Waiting::required;
    self->recovery_.show_page_of_our_own(
        login ? login_refused_page_html(origin, file,
                                        clock_time(std::chrono::duration_cast<std::chrono::seconds>(
                                            self->refused_[origin] - Clock::now())))
              : login_required_page_html(origin, file));
    return TRUE;
}

void PaneLogin::on_load_changed(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    auto* self = static_cast<PaneLogin*>(data);
    if (event == WEBKIT_LOAD_COMMITTED) {
        self->look_again_.disconnect();
        ++self->looks_;  // answers about the page that went are no longer of use
        // Left before the late look: what it left was past the login page.
        if (self->try_pending_ && self->past_login_) self->got_through();
        if (!self->recovery_.showing_own_page()) self->http_ = Waiting::nothing;
        return;
    }
    if (event != WEBKIT_LOAD_FINISHED || self->recovery_.showing_own_page()) return;
    // The page's recovery hides the strip on every good load; a failed try keeps it for the hold.
    if (self->form_ == Waiting::failed) self->strip_.show(login_failed_strip_text(self->failed_at_));
    self->look(false);
    self->look_again_ = after(kLookAgain, [self] { self->look(true); });
}

void PaneLogin::look(bool judging) {
    if (webkit_web_view_is_loading(view_)) return;  // the load's end looks again
    const std::string origin = shown_origin(view_);
    if (origin.empty()) return;
    const credentials::Login* login = credentials::wall_credentials().find(origin);
    const bool fill = login && !held_ && !try_pending_;
    judging_ = judging;
    GVariantBuilder arguments;
    g_variant_builder_init(&arguments, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&arguments, "{sv}", "origin", g_variant_new_string(origin.c_str()));
    g_variant_builder_add(&arguments, "{sv}", "user", g_variant_new_string(fill ? login->user.c_str() : ""));
    g_variant_builder_add(&arguments, "{sv}", "password", g_variant_new_string(fill ? login->password.c_str() : ""));
    // Strings only: WebKit passes no booleans to the function.
    g_variant_builder_add(&arguments, "{sv}", "fill", g_variant_new_string(fill ? "fill" : ""));
    g_variant_builder_add(&arguments, "{sv}", "look", g_variant_new_string(std::to_string(++looks_).c_str()));
    // The page process makes the world when it is first named; the script and its answer live there alone.
    const std::string& script = login_form_script();
    webkit_web_view_call_async_javascript_function(view_, script.c_str(), static_cast<gssize>(script.size()),
                                                   g_variant_builder_end(&arguments), kLoginWorld, nullptr,
                                                   cancellable_, nullptr, nullptr);
}

void PaneLogin::on_answer(WebKitUserContentManager*, WebKitJavascriptResult* message, gpointer data) {
    auto* self = static_cast<PaneLogin*>(data);
    JSCValue* value = webkit_javascript_result_get_js_value(message);
    char* text = jsc_value_is_string(value) ? jsc_value_to_string(value) : nullptr;
    const auto answer = text ? parse_login_answer(text) : std::nullopt;
    g_free(text);
    if (answer && answer->look == self->looks_) self->answered(*answer);
}

void PaneLogin::answered(const LoginAnswer& answer) {
    switch (answer.seen) {
    case LoginSeen::elsewhere:
        return;
    case LoginSeen::submitted:
        try_pending_ = true;
        past_login_ = false;
        // A form that logs in without a new page is judged where it stands.
        look_again_.disconnect();
        look_again_ = after(kLookAgain, [this] { look(true); });
        return;
    case LoginSeen::none:
        // Past the login page, and still past it once a page that draws late had time to.
        past_login_ = try_pending_;
        if (!try_pending_ || judging_) got_through();
        return;
    case LoginSeen::form:
    case LoginSeen::unfit:
        if (answer.seen == LoginSeen::unfit && told_unfit_ != shown_origin(view_)) {
            told_unfit_ = shown_origin(view_);
            std::fprintf(stderr, "orvalis: il modulo di accesso di %s non è compilato: non invia con POST alla sua "
                         "origine, o chiede più di una password\n",
                         told_unfit_.c_str());
        }
        if (try_pending_)
            try_failed();
        else if (form_ != Waiting::failed)
            form_ = Waiting::required;
        return;
    }
}

void PaneLogin::try_failed() {
    try_pending_ = past_login_ = false;
    form_ = Waiting::failed;
    failed_at_ = clock_time();
    strip_.show(login_failed_strip_text(failed_at_));
    held_ = true;
    hold_end_.disconnect();
    hold_end_ = after(kHold, [this] {
        // One more try on the page shown, which is still the login page or it would have said so.
        held_ = false;
        look(false);
    });
}

void PaneLogin::got_through() {
    try_pending_ = past_login_ = false;
    form_ = Waiting::nothing;
    if (held_ || !failed_at_.empty()) end_hold();
}

void PaneLogin::end_hold() {
    held_ = false;
    failed_at_.clear();
    hold_end_.disconnect();
    strip_.hide();
}
