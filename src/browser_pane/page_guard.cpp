#include "browser_pane/page_guard.h"

#include <cstdio>
#include <string>

#include "platform/process_launcher.h"

namespace {

bool silent(gpointer data) { return static_cast<PageGuard*>(data)->silent; }

void open_outside(PageGuard& guard, WebKitNavigationAction* action) {
    // Only what the user clicked: a page that opens windows by itself on every
    // reload would otherwise fill the desktop with browser windows.
    if (!action || !webkit_navigation_action_is_user_gesture(action))
        return;
    const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    if (!uri || !*uri || g_str_equal(uri, "about:blank"))
        return;
    // Any other scheme would start whatever program claims it (steam:, apt:, ssh:) on
    // the wall, at one touch of a page or of an advertisement in it.
    if (!platform::web_address(uri)) {
        std::fprintf(stderr, "orvalis: a page asked to open %s: refused, only http and https addresses open\n", uri);
        return;
    }
    try {
        guard.new_window.emit(uri);
    } catch (...) {
        // Nothing may unwind into the GLib main loop.
    }
}

gboolean on_script_dialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
    if (!silent(data))
        return FALSE;
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
        break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        // The countdown's reload must not wait for an answer nobody will give.
        webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        break;
    default:
        // An alert needs no answer; a prompt left unanswered gives the page null.
        break;
    }
    return TRUE;
}

gboolean on_permission_request(WebKitWebView*, WebKitPermissionRequest* request, gpointer data) {
    if (!silent(data))
        return FALSE;
    webkit_permission_request_deny(request);
    return TRUE;
}

GtkWidget* on_create(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
    open_outside(*static_cast<PageGuard*>(data), action);
    return nullptr;
}

gboolean on_file_chooser(WebKitWebView*, WebKitFileChooserRequest* request, gpointer data) {
    if (!silent(data))
        return FALSE;
    webkit_file_chooser_request_cancel(request);
    return TRUE;
}

gboolean on_authenticate(WebKitWebView*, WebKitAuthenticationRequest* request, gpointer data) {
    if (!silent(data))
        return FALSE;
    webkit_authentication_request_cancel(request);
    return TRUE;
}

gboolean on_color_chooser(WebKitWebView*, WebKitColorChooserRequest* request, gpointer data) {
    if (!silent(data))
        return FALSE;
    webkit_color_chooser_request_cancel(request);
    return TRUE;
}

// print, enter-fullscreen and show-notification: handled means not shown.
gboolean refuse_when_silent(WebKitWebView*, gpointer, gpointer data) { return silent(data) ? TRUE : FALSE; }
gboolean refuse_fullscreen(WebKitWebView*, gpointer data) { return silent(data) ? TRUE : FALSE; }

}  // namespace

bool page_guard_decide_policy(PageGuard& guard, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type) {
    if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) {
        open_outside(guard, webkit_navigation_policy_decision_get_navigation_action(
            WEBKIT_NAVIGATION_POLICY_DECISION(decision)));
        webkit_policy_decision_ignore(decision);
        return true;
    }
    if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE &&
        !webkit_response_policy_decision_is_mime_type_supported(WEBKIT_RESPONSE_POLICY_DECISION(decision))) {
        webkit_policy_decision_ignore(decision);
        return true;
    }
    return false;
}

void attach_page_guard(WebKitWebView* view, PageGuard* guard) {
    g_signal_connect(view, "script-dialog", G_CALLBACK(on_script_dialog), guard);
    g_signal_connect(view, "permission-request", G_CALLBACK(on_permission_request), guard);
    g_signal_connect(view, "create", G_CALLBACK(on_create), guard);
    g_signal_connect(view, "run-file-chooser", G_CALLBACK(on_file_chooser), guard);
    g_signal_connect(view, "authenticate", G_CALLBACK(on_authenticate), guard);
    g_signal_connect(view, "run-color-chooser", G_CALLBACK(on_color_chooser), guard);
    g_signal_connect(view, "print", G_CALLBACK(refuse_when_silent), guard);
    g_signal_connect(view, "show-notification", G_CALLBACK(refuse_when_silent), guard);
    g_signal_connect(view, "enter-fullscreen", G_CALLBACK(refuse_fullscreen), guard);
}

void detach_page_guard(WebKitWebView* view, PageGuard* guard) {
    g_signal_handlers_disconnect_by_data(view, guard);
}
