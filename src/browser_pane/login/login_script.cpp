#include "browser_pane/login/login_script.h"

#include <charconv>

const std::string& login_form_script() {
    // The form's own properties are read through its prototype: a field named "action"
    // or "method" would otherwise stand in for them. Events are those typing sends, so
    // that frameworks that keep their own copy of a field see the change.
    static const std::string script = std::string(R"JS(
const say = (what) => { window.webkit.messageHandlers.)JS") + kLoginMessage + R"JS(.postMessage(look + ' ' + what); };
if (location.origin !== origin) return say('elsewhere');
const shown = (e) => !e.disabled && e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
const password_field = Array.from(document.querySelectorAll('input[type=password]')).find(shown);
if (!password_field) return say('none');
if (!fill) return say('form');
const form = password_field.form;
if (!form) return say('unfit');
const of_form = (name) => Object.getOwnPropertyDescriptor(HTMLFormElement.prototype, name).get.call(form);
const fields = Array.from(of_form('elements'));
const submitter = fields.find((e) => (e.localName === 'button' || e.localName === 'input') &&
                                     (e.type === 'submit' || e.type === 'image') && !e.disabled);
let method = of_form('method'), action = of_form('action');
if (submitter && submitter.hasAttribute('formmethod')) method = submitter.formMethod;
if (submitter && submitter.hasAttribute('formaction')) action = submitter.formAction;
if (method !== 'post' || new URL(action, location.href).origin !== location.origin) return say('unfit');
// Two password fields ask for a new one (a sign-up, a change of password): no login.
if (fields.filter((e) => e.localName === 'input' && e.type === 'password' && shown(e)).length > 1) return say('unfit');
const text_field = (e) => e.localName === 'input' && (e.type === 'text' || e.type === 'email') && shown(e);
const named_user = fields.find((e) => text_field(e) &&
    (e.getAttribute('autocomplete') || '').toLowerCase().split(/\s+/).includes('username'));
const user_field = named_user || fields.slice(0, fields.indexOf(password_field)).filter(text_field).pop();
const type_in = (field, value) => {
    field.focus();
    field.value = value;
    field.dispatchEvent(new Event('input', {bubbles: true}));
    field.dispatchEvent(new Event('change', {bubbles: true}));
};
if (user_field) type_in(user_field, user);
type_in(password_field, password);
say('submitted');
HTMLFormElement.prototype.requestSubmit.call(form, submitter);
)JS";
    return script;
}

std::optional<LoginAnswer> parse_login_answer(const std::string& text) {
    LoginAnswer answer;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), answer.look);
    if (error != std::errc() || end == text.data() + text.size() || *end != ' ') return std::nullopt;
    const std::string seen(end + 1, text.data() + text.size());
    if (seen == "elsewhere") answer.seen = LoginSeen::elsewhere;
    else if (seen == "none") answer.seen = LoginSeen::none;
    else if (seen == "form") answer.seen = LoginSeen::form;
    else if (seen == "unfit") answer.seen = LoginSeen::unfit;
    else if (seen == "submitted") answer.seen = LoginSeen::submitted;
    else return std::nullopt;
    return answer;
}
