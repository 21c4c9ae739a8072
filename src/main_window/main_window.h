#pragma once
// The main window: four browser panes in the quarters of the window, the
// fourteen-entry menu bar, the countdown timer, and the other windows it opens.
// What the commands do lives in small pure pieces (load_start_settings, Countdown,
// launcher_command); this class holds the widgets and connects them.

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <gtkmm/window.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "browser_pane/browser_pane.h"
#include "calculator/calculator_window.h"
#include "config_dialog/config_dialog.h"
#include "main_window/countdown.h"
#include "main_window/full_screen_care.h"
#include "main_window/glib_ticker.h"
#include "main_window/menu_bar.h"
#include "main_window/pane_zoom.h"
#include "main_window/quarter_container.h"
#include "main_window/screen_sleep.h"
#include "main_window/wall_status.h"
#include "platform/gio_process_launcher.h"
#include "platform/gtk_file_chooser.h"
#include "platform/gtk_message_box.h"
#include "search/search_window.h"
#include "settings/settings_store.h"

// How the window starts; the defaults are a plain start.
struct WindowStart {
    explicit WindowStart(std::filesystem::path file) : settings_file(std::move(file)) {}
    std::filesystem::path settings_file;     // read at start
    std::filesystem::path chooser_proposal;  // first name the file chooser proposes; empty: settings_file
    bool fullscreen = false;
    bool timer = false;  // the countdown runs at once, as after a click on "Timer on"
    screen::DarkHours dark_hours;  // none: lit until told otherwise
};

class MainWindow : public Gtk::Window {
public:
    explicit MainWindow(const WindowStart& start);
    explicit MainWindow(const std::filesystem::path& settings_file) : MainWindow(WindowStart(settings_file)) {}
    ~MainWindow() override;

    // Reached by tests and benchmarks; the program itself never needs them from outside.
    BrowserPane& pane(int n) { return panes_[n - 1]; }
    ConfigDialog& config_dialog() { return *config_dialog_; }
    SettingsStore& store() { return store_; }
    PaneZoom& zoom() { return zoom_; }
    Gtk::MenuItem& countdown_entry() { return *countdown_entry_; }
    calculator::CalculatorWindow* calculator_window() { return calculator_window_.get(); }
    SearchWindow* search_window() { return search_window_.get(); }
    const FullScreenCare& full_screen_care() const { return full_screen_care_; }
    // Dark hours, darkening and waking; also for the remote controls.
    ScreenSleep& screen() { return screen_; }
    const ScreenSleep& screen() const { return screen_; }

    void on_countdown_tick();
    void toggle_timer();
    // The Refresh entry's reload is a person's; the countdown's and remote ones are not.
    void refresh_flagged_panes(ReloadCause cause);
    void refresh_flagged_panes_by_person() { refresh_flagged_panes(ReloadCause::person); }
    void start_launcher_program();
    void open_calculator();
    void open_config_dialog();
    void open_search();
    void show_about();

    // Commands from outside the window.
    // Starts or stops the countdown as "Timer on"/"Timer off" would; nothing when it already is so.
    void set_timer(bool on);
    // Reads the settings file in use again (the one read at start, or loaded or saved
    // since), as at start: the addresses shown are the file's again.
    void reload_settings();
    WallHealth health() const;
    bool timer_running() const { return countdown_ticker_.running(); }
    bool is_full_screen() const { return full_screen_; }

protected:
    bool on_delete_event(GdkEventAny* event) override;
    // F11 switches full screen on and off, whichever widget has the focus.
    bool on_key_press_event(GdkEventKey* event) override;
    bool on_window_state_event(GdkEventWindowState* event) override;

private:
    void build_menu();
    // While dark the panes sleep and the countdown waits; on waking the flagged panes
    // reload and the countdown starts a new cycle.
    void set_dark(bool dark);
    void close_tool_windows();
    PaneSet pane_set();

    std::filesystem::path settings_file_;  // in use: read at start, loaded or saved since
    SettingsStore store_;
    std::array<BrowserPane, 4> panes_;
    PaneZoom zoom_{{&panes_[0], &panes_[1], &panes_[2], &panes_[3]}};
    platform::GtkMessageBox messages_;
    // The dialog's load and save failures belong to the dialog, which stays on top.
    platform::GtkMessageBox dialog_messages_;
    platform::GtkFileChooser chooser_;
    platform::GioProcessLauncher launcher_;

    Gtk::Overlay overlay_;
    Gtk::Box layout_{Gtk::ORIENTATION_VERTICAL};
    CommandMenuBar menu_bar_;
    QuarterContainer quarters_;
    Gtk::MenuItem* timer_entry_ = nullptr;
    Gtk::MenuItem* countdown_entry_ = nullptr;

    std::unique_ptr<ConfigDialog> config_dialog_;
    std::unique_ptr<SearchWindow> search_window_;
    calculator::CalculatorEngine calculator_engine_;
    std::unique_ptr<calculator::CalculatorWindow> calculator_window_;

    GlibTicker countdown_ticker_;
    Countdown countdown_;
    bool full_screen_ = false;
    FullScreenCare full_screen_care_{*this};
    // The countdown ran when the wall went dark, or was started since: it runs on waking.
    bool timer_held_ = false;
    ScreenSleep screen_;
};
