#include "main_window/main_window.h"

#include <glibmm/main.h>

#include <memory>

#include "main_window/about.h"
#include "main_window/app_icon.h"
#include "main_window/launcher.h"
#include "main_window/startup.h"
#include "platform/locale.h"

// Last: Xlib's macros (None, Status, ...) must not meet the headers above.
#include <gdk/gdkx.h>

namespace {
// The design client area, 9705 x 3675 twips at 15 twips a pixel.
constexpr int kDesignWidth = 647;
constexpr int kDesignHeight = 245;
constexpr int kSpacerWidth = 12;

// The dialog, the calculator and the search box ask to stay above every window.
// Only X11 window managers grant that; on Wayland a window cannot ask, and they stay
// above the main window by being transient for it. On X11 they stay independent
// windows that keep above the others.
void keep_above(Gtk::Window& tool, Gtk::Window& main_window) {
    if (!GDK_IS_X11_DISPLAY(tool.get_display()->gobj())) tool.set_transient_for(main_window);
}

// Closed through its frame, a tool window is gone: it is hidden now and freed on idle,
// outside its own signal handler. The member lets go of it at once, so an opening
// before that idle builds a new window instead of showing the one about to be freed.
template <class ToolWindow>
void discard_on_close(std::unique_ptr<ToolWindow>& member) {
    ToolWindow* window = member.get();
    window->signal_delete_event().connect([&member, window](GdkEventAny*) {
        window->hide();
        if (member.get() == window) {
            std::shared_ptr<ToolWindow> closing = std::move(member);
            Glib::signal_idle().connect_once([closing] {});
        }
        return true;
    });
}
}  // namespace

MainWindow::MainWindow(const WindowStart& start)
    : settings_file_(start.settings_file),
      chooser_(nullptr),
      config_dialog_(std::make_unique<ConfigDialog>(store_, pane_set(), chooser_, dialog_messages_)),
      calculator_engine_(platform::user_number_separators(), messages_),
      countdown_ticker_([this] { on_countdown_tick(); }),
      countdown_(store_, pane_set(), *config_dialog_, countdown_ticker_),
      screen_(*this, start.dark_hours, [this](bool dark) { set_dark(dark); }) {
    set_title("Orvalis");
    set_icon_list({orvalis_icon(16), orvalis_icon(32), orvalis_icon(48)});
    messages_.set_parent(this);
    dialog_messages_.set_parent(config_dialog_.get());
    chooser_.set_parent(config_dialog_.get());
    keep_above(*config_dialog_, *this);
    const auto& wall_file = start.chooser_proposal.empty() ? start.settings_file : start.chooser_proposal;
    chooser_.set_first_proposal(wall_file);
    // Before the first load, so that no page shows at another zoom first.
    zoom_.use_file(wall_file);
    // The file loaded or saved last is the one the wall uses from then on, and reads again.
    config_dialog_->signal_loaded().connect([this](const std::string& file) {
        settings_file_ = file;
        zoom_.use_file(file);
    });
    config_dialog_->signal_saved().connect([this](const std::string& file) {
        settings_file_ = file;
        zoom_.save_for(file);
    });

    build_menu();
    for (int n = 1; n <= 4; ++n) quarters_.set_quarter(n, pane(n).widget());
    layout_.pack_start(menu_bar_, Gtk::PACK_SHRINK);
    layout_.pack_start(quarters_, Gtk::PACK_EXPAND_WIDGET);
    overlay_.add(layout_);
    overlay_.add_overlay(screen_.cover());
    add(overlay_);
    show_all_children();

    int menu_min = 0, menu_natural = 0;
    menu_bar_.get_preferred_height(menu_min, menu_natural);
    set_default_size(kDesignWidth, kDesignHeight + menu_natural);
    // Four panes in the design size show nothing useful: open on the whole screen.
    maximize();
    // Full screen drops the frame only: the menu bar stays, it holds the countdown.
    if (start.fullscreen) fullscreen();

    load_start_settings(store_, start.settings_file, *config_dialog_, pane_set());
    if (start.timer) toggle_timer();
    // A start at night shows its pages once, then sleeps.
    screen_.look_at_clock();
    // A page's new window opens in the user's browser as every other address does:
    // schemes no program handles are refused.
    for (auto& browser_pane : panes_)
        browser_pane.signal_new_window().connect([this](const std::string& address) { launcher_.open_uri(address); });
}

MainWindow::~MainWindow() = default;

PaneSet MainWindow::pane_set() {
    return {&panes_[0], &panes_[1], &panes_[2], &panes_[3]};
}

void MainWindow::build_menu() {
    timer_entry_ = &menu_bar_.add_entry("Timer on");
    timer_entry_->signal_activate().connect([this] { toggle_timer(); });
    countdown_entry_ = &menu_bar_.add_entry("000");
    // The working entries, each after an empty spacer entry that keeps them apart.
    const std::pair<const char*, void (MainWindow::*)()> commands[] = {
        {"Refresh", &MainWindow::refresh_flagged_panes_by_person}, {"Tavorinello", &MainWindow::start_launcher_program},
        {"Calcolatore", &MainWindow::open_calculator}, {"Configura", &MainWindow::open_config_dialog},
        {"Cerca", &MainWindow::open_search},             {"[ Info ]", &MainWindow::show_about},
    };
    for (const auto& [caption, handler] : commands) {
        menu_bar_.add_entry("").set_size_request(kSpacerWidth, -1);
        menu_bar_.add_entry(caption).signal_activate().connect([this, handler = handler] { (this->*handler)(); });
    }
}

void MainWindow::on_countdown_tick() {
    CommandMenuBar::set_caption(*countdown_entry_, countdown_.tick());
}

void MainWindow::toggle_timer() {
    if (!screen_.lit()) {
        set_timer(!timer_held_);
        return;
    }
    CommandMenuBar::set_caption(*timer_entry_, countdown_.toggle());
}

void MainWindow::set_dark(bool dark) {
    full_screen_care_.set_screen_dark(dark);
    if (dark) {
        timer_held_ = countdown_ticker_.running();
        countdown_ticker_.stop();
        for (auto& browser_pane : panes_) browser_pane.set_asleep(true);
        return;
    }
    // Asked for while the panes still sleep, the reloads start together with the
    // retries of failed pages as the panes wake, each pane's once.
    refresh_flagged_panes(ReloadCause::schedule);
    for (auto& browser_pane : panes_) browser_pane.set_asleep(false);
    CommandMenuBar::set_caption(*countdown_entry_, countdown_.start_cycle_again());
    if (timer_held_) countdown_ticker_.start();
    timer_held_ = false;
}

void MainWindow::refresh_flagged_panes(ReloadCause cause) {
    countdown_.reload_flagged(cause);
}

void MainWindow::set_timer(bool on) {
    if (!screen_.lit()) {
        // Kept for the waking; the entry names what a click would do, as ever.
        timer_held_ = on;
        CommandMenuBar::set_caption(*timer_entry_, on ? "Timer off" : "Timer on");
        return;
    }
    if (countdown_ticker_.running() != on) toggle_timer();
}

void MainWindow::reload_settings() {
    // The zoom file goes with the settings file, and is read again with it.
    zoom_.use_file(zoom_.settings_file());
    load_start_settings(store_, settings_file_, *config_dialog_, PaneSet{});
    // A pane already on the file's address keeps its page: a server that blinks while
    // the wall reads its settings again costs that pane nothing.
    for (int n = 1; n <= 4; ++n)
        if (const std::string address = config_dialog_->text(n); address != pane(n).health().address)
            pane(n).navigate(address);
}

WallHealth MainWindow::health() const {
    WallHealth panes;
    for (int n = 0; n < 4; ++n) panes[n] = panes_[n].health();
    return panes;
}

void MainWindow::start_launcher_program() {
    if (const auto command = launcher_command(config_dialog_->text(5)))
        launcher_.start(command->argv, command->working_dir);
}

void MainWindow::open_config_dialog() {
    config_dialog_->present();
}

void MainWindow::open_calculator() {
    if (!calculator_window_) {
        calculator_window_ = std::make_unique<calculator::CalculatorWindow>(calculator_engine_, launcher_);
        discard_on_close(calculator_window_);
    }
    keep_above(*calculator_window_, *this);
    calculator_window_->deiconify();
    calculator_window_->present();
}

void MainWindow::open_search() {
    if (!search_window_) {
        search_window_ = std::make_unique<SearchWindow>(launcher_);
        // A search only hides the box; closing it through its frame discards it with its query.
        discard_on_close(search_window_);
    }
    keep_above(*search_window_, *this);
    search_window_->present();
}

void MainWindow::show_about() {
    messages_.show(about_text(), "Orvalis", platform::MessageIcon::Question);
}

bool MainWindow::on_delete_event(GdkEventAny* event) {
    close_tool_windows();
    return Gtk::Window::on_delete_event(event);
}

bool MainWindow::on_key_press_event(GdkEventKey* event) {
    constexpr auto modifiers = GDK_SHIFT_MASK | GDK_CONTROL_MASK | GDK_MOD1_MASK | GDK_SUPER_MASK;
    // The first key on a dark wall only wakes it.
    if (screen_.input()) return true;
    if (event->keyval == GDK_KEY_F11 && (event->state & modifiers) == 0) {
        if (full_screen_) unfullscreen();
        else fullscreen();
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

bool MainWindow::on_window_state_event(GdkEventWindowState* event) {
    full_screen_ = (event->new_window_state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
    full_screen_care_.set_full_screen(full_screen_);
    return Gtk::Window::on_window_state_event(event);
}

void MainWindow::close_tool_windows() {
    countdown_ticker_.stop();
    config_dialog_.reset();
    search_window_.reset();
    calculator_window_.reset();
}
