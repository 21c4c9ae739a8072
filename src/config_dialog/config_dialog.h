#pragma once
// The configuration dialog, "Configurazione": the live home of the pane addresses,
// refresh flags and launcher path (as DialogFields), the load and save commands,
// "Aggiorna Home", and the pane selector with its four arrows. Closing it only
// hides it, so every value survives. The file format is left to the settings
// operations, the pages to the panes, and the file and message dialogs to the
// platform objects it is given.

#include <array>
#include <optional>
#include <string>
#include <utility>

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/entry.h>
#include <gtkmm/fixed.h>
#include <gtkmm/label.h>
#include <gtkmm/radiobutton.h>
#include <gtkmm/window.h>

#include "browser_pane/pane.h"
#include "config_dialog/arrow_button.h"
#include "settings/dialog_fields.h"
#include "config_dialog/dialog_layout.h"
#include "platform/file_chooser.h"
#include "platform/message_box.h"
#include "settings/settings_store.h"

class ConfigDialog : public Gtk::Window, public DialogFields {
public:
    ConfigDialog(SettingsStore& store, PaneSet panes, platform::FileChooser& chooser,
                 platform::MessageBox& messages);

    std::string text(int n) const override;
    void set_text(int n, const std::string& value) override;
    int check(int n) const override;
    bool set_check(int n, int value) override;

    // The controls by their number, for tests and accessibility tools:
    // text_box 1..5, check_box 1..4, option 1..4, command 1..4 ("Carica File",
    // "Esci Configurazione", "Aggiorna Home", "Salva File"). A number out of range
    // is a programming error and throws std::out_of_range.
    Gtk::Entry& text_box(int n);
    Gtk::CheckButton& check_box(int n);
    Gtk::RadioButton& option(int n);
    Gtk::Button& command(int n);
    ArrowButton& arrow(Arrow direction);

    // A file "Carica File" loaded or "Salva File" saved, by its name, once it succeeded:
    // what belongs with a settings file beyond its seventeen lines goes with it.
    sigc::signal<void(const std::string&)>& signal_loaded() { return loaded_; }
    sigc::signal<void(const std::string&)>& signal_saved() { return saved_; }

protected:
    bool on_delete_event(GdkEventAny* event) override;
    void on_show() override;
    void on_hide() override;

private:
    void build_controls();
    void place(Gtk::Widget& widget, const TwipsRect& where);
    void set_focus_order();

    void load_settings_file();  // "Carica File"
    void close_dialog();  // "Esci Configurazione"
    void apply_addresses();  // "Aggiorna Home"
    void save_settings_file();  // "Salva File"
    void choose_pane(int n);
    void on_refresh_flag_toggled(int n);
    void move_region(Arrow direction);
    void report_failure(const std::string& message);

    SettingsStore& store_;
    PaneSet panes_;
    platform::FileChooser& chooser_;
    platform::MessageBox& messages_;

    Gtk::Fixed area_;
    Gtk::DrawingArea pane_choice_frame_, refresh_flag_frame_;  // outlines around the choices and the flags
    std::array<Gtk::Label, 5> labels_;
    std::array<Gtk::Entry, 5> texts_;
    // Never shown: holding the group's selection lets the four visible options
    // all start unselected.
    Gtk::RadioButton no_option_;
    std::array<Gtk::RadioButton, 4> options_;
    std::array<Gtk::CheckButton, 4> checks_;
    std::array<ArrowButton, 4> arrows_;  // in Arrow order: left, up, right, down
    std::array<Gtk::Button, 4> commands_;

    sigc::signal<void(const std::string&)> loaded_, saved_;
    bool setting_checks_ = false;
    std::optional<std::pair<int, int>> last_position_;
};
