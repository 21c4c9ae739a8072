#include "platform/twips.h"
#include "platform/widget_style.h"
#include "calculator/calculator_window.h"

#include <gtkmm/button.h>
#include <gtkmm/stylecontext.h>

#include <array>
#include <map>

#include "calculator/calculator_artwork.h"
#include "maker_site.h"

namespace calculator {
namespace {

// Layout figures are kept in twips as designed; the screen has 15 to a pixel.

// "System" 9.75 bold and "MS Sans Serif" 12 bold have no Linux namesakes: the
// nearest is the desktop's bold sans. Keys lose the theme's padding so that "CE"
// fits a 32-pixel key.
constexpr const char* kStyle = R"css(
.orvalis-calculator button { font: bold 9.75pt Sans; padding: 0; min-width: 0; min-height: 0; }
.orvalis-calculator label.display { font: bold 12pt Sans; padding: 0 4px; border: 1px solid #808080; }
.orvalis-calculator label#Readout { background-color: #ffff00; color: #000000; }
.orvalis-calculator label#Conversion { background-color: #00ffff; }
)css";

void make_display(Gtk::Label& label, const char* name) {
    label.set_name(name);
    label.get_style_context()->add_class("display");
    label.set_xalign(1);
    // Digits have no limit: keep the display's size and show its most recent end.
    label.set_ellipsize(Pango::ELLIPSIZE_START);
    label.get_accessible()->set_name(name);
}

}  // namespace

CalculatorWindow::CalculatorWindow(CalculatorEngine& engine, platform::ProcessLauncher& launcher)
    : engine_(engine), launcher_(launcher) {
    set_title("Euro Calcolatore K.Z.");
    platform::style_widget(*this, "orvalis-calculator", kStyle);
    set_resizable(false);
    set_position(Gtk::WIN_POS_CENTER);
    set_keep_above(true);
    set_icon(calculator_icon());
    layout_.set_size_request(platform::twips_to_pixels(3180), platform::twips_to_pixels(3915));
    add(layout_);

    make_display(readout_, "Readout");
    readout_.set_size_request(platform::twips_to_pixels(3000), platform::twips_to_pixels(375));
    layout_.put(readout_, platform::twips_to_pixels(90), platform::twips_to_pixels(45));
    make_display(conversion_line_, "Conversion");
    conversion_line_.set_size_request(platform::twips_to_pixels(2985), platform::twips_to_pixels(375));
    layout_.put(conversion_line_, platform::twips_to_pixels(90), platform::twips_to_pixels(1035));

    maker_picture_.set_size_request(platform::twips_to_pixels(825), platform::twips_to_pixels(435));
    maker_picture_.add_events(Gdk::BUTTON_PRESS_MASK);
    maker_picture_.signal_draw().connect([this](const Cairo::RefPtr<Cairo::Context>& cr) {
        draw_maker_badge(cr, maker_picture_.get_allocated_width(), maker_picture_.get_allocated_height());
        return true;
    });
    maker_picture_.signal_button_press_event().connect(sigc::mem_fun(*this, &CalculatorWindow::open_home_page));
    maker_picture_.get_accessible()->set_name("Home page");
    layout_.put(maker_picture_, platform::twips_to_pixels(1170), platform::twips_to_pixels(540));

    std::map<int, Gtk::Widget*> by_tab_index;
    auto key = [&](int tab, const std::string& caption, int left, int top, int width, int height,
                   std::function<void()> command) {
        by_tab_index[tab] = &add_key(caption, left, top, width, height, std::move(command));
    };
    key(21, "Euro", 90, 540, 1005, 420, [this] { engine_.to_euro(); });
    key(22, "Lire", 2070, 540, 1005, 420, [this] { engine_.to_lire(); });

    struct DigitPlace {
        int left, top, width;
    };
    constexpr std::array<DigitPlace, 10> kDigits{{{75, 3345, 1080},
                                                  {75, 2745, 480},
                                                  {675, 2745, 480},
                                                  {1275, 2745, 480},
                                                  {75, 2145, 480},
                                                  {675, 2145, 480},
                                                  {1275, 2145, 480},
                                                  {75, 1545, 480},
                                                  {675, 1545, 480},
                                                  {1275, 1545, 480}}};
    for (int d = 0; d < 10; ++d) {
        const char digit = static_cast<char>('0' + d);
        key(d, std::string(1, digit), kDigits[d].left, kDigits[d].top, kDigits[d].width, 480,
            [this, digit] { engine_.digit(digit); });
    }
    key(10, "C", 1995, 1545, 480, 480, [this] { engine_.clear(); });
    key(11, "CE", 2595, 1545, 480, 480, [this] { engine_.clear_entry(); });
    key(12, "+", 1995, 2145, 480, 480, [this] { engine_.operate("+"); });
    key(13, "-", 2595, 2145, 480, 480, [this] { engine_.operate("-"); });
    key(14, "X", 1995, 2745, 480, 480, [this] { engine_.operate("X"); });
    key(15, "/", 2595, 2745, 480, 480, [this] { engine_.operate("/"); });
    key(16, "=", 1995, 3345, 480, 480, [this] { engine_.operate("="); });
    key(17, "%", 2595, 3345, 480, 480, [this] { engine_.percent(); });
    key(18, ".", 1275, 3345, 480, 480, [this] { engine_.point(); });

    std::vector<Gtk::Widget*> focus_chain;
    for (const auto& [tab, widget] : by_tab_index) focus_chain.push_back(widget);
    layout_.set_focus_chain(focus_chain);

    engine_.open();
    show_texts();
    show_all_children();
    by_tab_index[0]->grab_focus();
}

Gtk::Button& CalculatorWindow::add_key(const std::string& caption, int left, int top, int width, int height,
                                       std::function<void()> command) {
    auto* button = Gtk::make_managed<Gtk::Button>(caption);
    button->set_size_request(platform::twips_to_pixels(width), platform::twips_to_pixels(height));
    button->get_accessible()->set_name(caption);
    button->signal_clicked().connect([this, command = std::move(command)] { run(command); });
    layout_.put(*button, platform::twips_to_pixels(left), platform::twips_to_pixels(top));
    return *button;
}

void CalculatorWindow::run(const std::function<void()>& command) {
    command();
    show_texts();
}

void CalculatorWindow::show_texts() {
    readout_.set_text(engine_.readout());
    conversion_line_.set_text(engine_.conversion_line());
}

bool CalculatorWindow::open_home_page(GdkEventButton* event) {
    if (event->type == GDK_BUTTON_PRESS) launcher_.open_uri(std::string(maker_site::kHomePage));
    return true;
}

}  // namespace calculator
