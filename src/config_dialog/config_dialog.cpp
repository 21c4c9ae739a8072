#include "platform/twips.h"
#include "config_dialog/config_dialog.h"

#include <stdexcept>
#include <vector>

#include <atkmm/object.h>

#include "config_dialog/dialog_layout.h"
#include "text/text_encoding.h"
#include "platform/widget_style.h"
#include "settings/settings_operations.h"

namespace {

constexpr const char* text4_initial = "http://www.example.org/browser";
constexpr const char* text5_initial = "C:\\Programmi\\Tavorinellovoce\\tavorinello.exe";
constexpr const char* message_title = "Orvalis";

// Tight paddings: the theme's own would not fit the controls into the dialog's
// small cells. background-image: none, or the theme's gradient hides the colour.
constexpr const char* kStyle = R"css(
.orvalis-config { font-family: sans-serif; font-size: 8pt; }
.orvalis-config entry {
    font-family: Arial, "Liberation Sans", sans-serif; font-size: 8.25pt; font-weight: normal;
    min-height: 0; padding: 0 3px;
}
.orvalis-config button.orvalis-command {
    min-height: 0; min-width: 0; padding: 0 4px;
    background-image: none; box-shadow: none; text-shadow: none; color: black;
}
.orvalis-config button.orvalis-command:active { box-shadow: inset 1px 1px 2px rgba(0, 0, 0, 0.6); }
.orvalis-config button#load-file { background-color: rgb(128, 128, 255); }
.orvalis-config button#save-file { background-color: rgb(255, 128, 128); }
.orvalis-config button#apply-addresses { background-color: rgb(192, 192, 0); }
.orvalis-config button#close-dialog { background-color: rgb(128, 255, 128); }
.orvalis-config checkbutton, .orvalis-config radiobutton { min-height: 0; padding: 0; }
)css";

template <typename Array>
auto& element(Array& controls, int n) {
    if (n < 1 || static_cast<std::size_t>(n) > controls.size())
        throw std::out_of_range("control number " + std::to_string(n));
    return controls[static_cast<std::size_t>(n - 1)];
}

bool in_range(int n, std::size_t count) { return n >= 1 && static_cast<std::size_t>(n) <= count; }

void draw_outline(const Cairo::RefPtr<Cairo::Context>& cr, const Gtk::Widget& shape) {
    cr->set_source_rgb(0, 0, 0);
    cr->set_line_width(1.0);
    cr->rectangle(0.5, 0.5, shape.get_allocated_width() - 1, shape.get_allocated_height() - 1);
    cr->stroke();
}

}  // namespace

ConfigDialog::ConfigDialog(SettingsStore& store, PaneSet panes, platform::FileChooser& chooser,
                           platform::MessageBox& messages)
    : store_(store),
      panes_(panes),
      chooser_(chooser),
      messages_(messages),
      arrows_{{{Arrow::Left, "Sinistra"}, {Arrow::Up, "Su"}, {Arrow::Right, "Destra"}, {Arrow::Down, "Giù"}}} {
    platform::style_widget(*this, "orvalis-config", kStyle);

    set_title("Configurazione");
    set_resizable(false);
    set_type_hint(Gdk::WINDOW_TYPE_HINT_DIALOG);
    set_keep_above(true);
    set_position(Gtk::WIN_POS_CENTER);

    area_.set_size_request(platform::twips_to_pixels(dialog_layout::client.width), platform::twips_to_pixels(dialog_layout::client.height));
    add(area_);
    build_controls();
    set_focus_order();
    area_.show_all();
}

void ConfigDialog::place(Gtk::Widget& widget, const TwipsRect& where) {
    widget.set_size_request(platform::twips_to_pixels(where.width), platform::twips_to_pixels(where.height));
    area_.put(widget, platform::twips_to_pixels(where.left), platform::twips_to_pixels(where.top));
}

void ConfigDialog::build_controls() {
    // The frames go in first so that the controls inside them are drawn on top.
    pane_choice_frame_.set_name("pane-choice-frame");
    refresh_flag_frame_.set_name("refresh-flag-frame");
    for (auto* shape : {&pane_choice_frame_, &refresh_flag_frame_})
        shape->signal_draw().connect([shape](const Cairo::RefPtr<Cairo::Context>& cr) {
            draw_outline(cr, *shape);
            return false;
        });
    place(pane_choice_frame_, dialog_layout::pane_choice_frame);
    place(refresh_flag_frame_, dialog_layout::refresh_flag_frame);

    static const std::array<const char*, 5> headings{"Browser 1", "Browser 2", "Browser 3", "Browser 4",
                                                    "Posizione Tavorinello"};
    for (int n = 1; n <= 5; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        auto& label = labels_[i];
        auto& entry = texts_[i];
        label.set_name(n <= 4 ? "address-heading-" + std::to_string(n) : "launcher-heading");
        label.set_text(headings[i]);
        label.set_xalign(0.0);
        // Ties the heading to its text box, so that screen readers announce it.
        label.set_mnemonic_widget(entry);
        entry.set_name(n <= 4 ? "address-" + std::to_string(n) : "launcher-path");
        entry.get_accessible()->set_name(headings[i]);
        place(label, dialog_layout::label[i]);
        place(entry, dialog_layout::text[i]);
    }
    texts_[3].set_text(text4_initial);
    texts_[4].set_text(text5_initial);

    for (int n = 1; n <= 4; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        const auto number = std::to_string(n);

        auto& option = options_[i];
        option.set_name("pane-choice-" + number);
        option.set_label("Finestra " + number);
        option.join_group(no_option_);
        option.get_accessible()->set_name("Finestra " + number);
        option.signal_toggled().connect([this, n] { choose_pane(n); });
        place(option, dialog_layout::option[i]);

        auto& arrow = arrows_[i];
        arrow.set_name("arrow-" + number);
        arrow.signal_step().connect([this, &arrow] { move_region(arrow.direction()); });
        // The picture keeps the arrow's place; the pressed frame takes one pixel around it.
        const auto& at = dialog_layout::image[i];
        area_.put(arrow, platform::twips_to_pixels(at.left) - 1, platform::twips_to_pixels(at.top) - 1);

        auto& check = checks_[i];
        check.set_name("refresh-flag-" + number);
        check.set_label("Refresh Br" + number);
        check.get_accessible()->set_name("Refresh Br" + number);
        check.signal_toggled().connect([this, n] { on_refresh_flag_toggled(n); });
        place(check, dialog_layout::check[i]);
    }
    no_option_.set_active(true);

    static const std::array<const char*, 4> captions{"Carica File", "Esci Configurazione", "Aggiorna Home",
                                                    "Salva File"};
    static const std::array<const char*, 4> button_names{"load-file", "close-dialog", "apply-addresses", "save-file"};
    for (int n = 1; n <= 4; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        auto& button = commands_[i];
        button.set_name(button_names[i]);
        button.set_label(captions[i]);
        button.get_style_context()->add_class("orvalis-command");
        button.get_accessible()->set_name(captions[i]);
        place(button, dialog_layout::command[i]);
    }
    commands_[0].signal_clicked().connect([this] { load_settings_file(); });
    commands_[1].signal_clicked().connect([this] { close_dialog(); });
    commands_[2].signal_clicked().connect([this] { apply_addresses(); });
    commands_[3].signal_clicked().connect([this] { save_settings_file(); });
}

void ConfigDialog::set_focus_order() {
    // Tab interleaves the groups rather than running from top to bottom: the first
    // three addresses and "Carica File", the pane selector, the fourth address and
    // the flags, then the other commands and the launcher path. Labels and arrows
    // take no focus.
    area_.set_focus_chain({
        &texts_[0], &texts_[1], &texts_[2], &commands_[0],
        &options_[0], &options_[1], &options_[2], &options_[3],
        &texts_[3], &checks_[0], &checks_[1], &checks_[2], &checks_[3],
        &commands_[1], &texts_[4], &commands_[2], &commands_[3],
    });
}

std::string ConfigDialog::text(int n) const {
    if (!in_range(n, texts_.size())) return {};
    return texts_[static_cast<std::size_t>(n - 1)].get_text();
}

void ConfigDialog::set_text(int n, const std::string& value) {
    if (!in_range(n, texts_.size())) return;
    texts_[static_cast<std::size_t>(n - 1)].set_text(text::repair_utf8(value));  // a file or a caller may hand us any bytes
}

int ConfigDialog::check(int n) const {
    if (!in_range(n, checks_.size())) return 0;
    const auto& box = checks_[static_cast<std::size_t>(n - 1)];
    if (box.get_inconsistent()) return 2;
    return box.get_active() ? 1 : 0;
}

bool ConfigDialog::set_check(int n, int value) {
    if (!in_range(n, checks_.size()) || value < 0 || value > 2) return false;
    auto& box = checks_[static_cast<std::size_t>(n - 1)];
    setting_checks_ = true;
    box.set_active(value == 1);
    box.set_inconsistent(value == 2);
    setting_checks_ = false;
    return true;
}

Gtk::Entry& ConfigDialog::text_box(int n) { return element(texts_, n); }
Gtk::CheckButton& ConfigDialog::check_box(int n) { return element(checks_, n); }
Gtk::RadioButton& ConfigDialog::option(int n) { return element(options_, n); }
Gtk::Button& ConfigDialog::command(int n) { return element(commands_, n); }
ArrowButton& ConfigDialog::arrow(Arrow direction) { return arrows_[static_cast<std::size_t>(direction)]; }

bool ConfigDialog::on_delete_event(GdkEventAny*) {
    // The close box behaves like "Esci Configurazione": the dialog's controls hold
    // the live settings, so it must never be destroyed while the program runs.
    hide();
    return true;
}

void ConfigDialog::on_show() {
    // Centred the first time only; afterwards it comes back where the user left it.
    if (last_position_) {
        set_position(Gtk::WIN_POS_NONE);
        move(last_position_->first, last_position_->second);
    }
    Gtk::Window::on_show();
}

void ConfigDialog::on_hide() {
    if (get_realized()) {
        int x = 0, y = 0;
        get_position(x, y);
        last_position_ = {x, y};
    }
    Gtk::Window::on_hide();
}

void ConfigDialog::load_settings_file() {
    const auto file = chooser_.choose("Carica Configurazione");
    if (!file) return;
    const auto outcome = load_settings(*file, store_, *this);
    if (!outcome.ok) {
        report_failure(outcome.message);
        return;
    }
    // Before the panes navigate, so that no page shows at the old file's zoom first.
    loaded_.emit(*file);
    // Pane 4 keeps its page, as "Aggiorna Home" leaves it.
    for (int n = 1; n <= 3; ++n)
        if (Pane* pane = panes_[static_cast<std::size_t>(n - 1)]) pane->navigate(store_.Dati[n].to_text());
}

void ConfigDialog::close_dialog() { hide(); }

void ConfigDialog::apply_addresses() {
    // Pane 4 is left alone on purpose; a pane that cannot navigate is skipped.
    for (int n = 1; n <= 3; ++n)
        if (Pane* pane = panes_[static_cast<std::size_t>(n - 1)]) pane->navigate(text(n));
}

void ConfigDialog::save_settings_file() {
    const auto file = chooser_.choose("Salva Configurazione");
    if (!file) return;
    const auto outcome = save_settings(*file, store_, *this);
    if (!outcome.ok) report_failure(outcome.message);
    else saved_.emit(*file);
}

void ConfigDialog::choose_pane(int n) {
    if (options_[static_cast<std::size_t>(n - 1)].get_active()) select_pane(store_, n);
}

void ConfigDialog::on_refresh_flag_toggled(int n) {
    // A click on a grey box makes it a plain checked or unchecked one.
    if (!setting_checks_) checks_[static_cast<std::size_t>(n - 1)].set_inconsistent(false);
}

void ConfigDialog::move_region(Arrow direction) { arrow_click(store_, panes_, direction); }

void ConfigDialog::report_failure(const std::string& message) {
    messages_.show(message, message_title, platform::MessageIcon::Exclamation);
}
