// The calculator's window: clicked keys reach the display; screen readers name each key by its caption.

#include "calculator/calculator_window.h"

#include <gtest/gtest.h>
#include <gtkmm/button.h>

#include <map>
#include <sstream>

#include "support/fakes.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"
#include "support/widgets.h"

namespace {

using namespace std::chrono_literals;

TEST(CalculatorWindow, ClickedKeysReachTheDisplay) {
    FakeMessages messages;
    FakeLauncher launcher;
    calculator::CalculatorEngine engine({",", "."}, messages);
    calculator::CalculatorWindow window(engine, launcher);
    const std::vector<Gtk::Button*> keys = widgets_of<Gtk::Button>(window);
    for (auto* key : keys) EXPECT_EQ(key->get_accessible()->get_name(), key->get_label());
    std::map<std::string, Gtk::Label*> named;
    for (auto* label : widgets_of<Gtk::Label>(window)) named[label->get_name()] = label;
    window.show();
    ASSERT_TRUE(wait_until([&] { return keys[0]->get_allocated_width() > 1; }, 5s));
    std::istringstream captions("1 2 + 3 0 = 1 0 0 0 0 0 0 Euro");
    for (std::string caption; captions >> caption;)  // a click is handled as it is delivered
        for (auto* key : keys)
            if (key->get_label() == caption)
                click_at(*key, key->get_allocation().get_x() + 5, key->get_allocation().get_y() + 5);
    EXPECT_EQ(named.at("Readout")->get_text(), "1.000.000");
    EXPECT_EQ(named.at("Conversion")->get_text(), "€ 516,46");
}

}  // namespace
