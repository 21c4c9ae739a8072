// The calculator's window: clicked keys reach the display; screen readers name each key by its caption.

#include "calculator/calculator_window.h"

#include <gtest/gtest.h>
#include <gtkmm/button.h>

#include <map>
#include <sstream>

#include "support/synthetic_click.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

struct Quiet : platform::MessageBox, platform::ProcessLauncher {
    void show(const std::string&, const std::string&, platform::MessageIcon) override {}
    bool start(const std::vector<std::string>&, const std::string&) override { return false; }
    bool open_uri(const std::string&) override { return false; }
};

template <typename T>
void collect(Gtk::Widget& root, std::vector<T*>& found) {
    if (auto* hit = dynamic_cast<T*>(&root)) found.push_back(hit);
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (auto* child : container->get_children()) collect(*child, found);
}

TEST(CalculatorWindow, ClickedKeysReachTheDisplay) {
    Quiet quiet;
    calculator::CalculatorEngine engine({",", "."}, quiet);
    calculator::CalculatorWindow window(engine, quiet);
    std::vector<Gtk::Button*> keys;
    std::vector<Gtk::Label*> labels;
    collect(window, keys);
    collect(window, labels);
    EXPECT_EQ(keys.size(), 21u);
    for (auto* key : keys) EXPECT_EQ(key->get_accessible()->get_name(), key->get_label());
    std::map<std::string, Gtk::Label*> named;
    for (auto* label : labels) named[label->get_name()] = label;
    int handled = 0;  // the window's own handlers run first
    for (auto* key : keys) key->signal_clicked().connect([&handled] { ++handled; });
    const auto press = [&](const std::string& captions) {
        std::istringstream in(captions);
        for (std::string caption; in >> caption;)
            for (auto* key : keys)
                if (key->get_label() == caption) {
                    const int before = handled;
                    click_widget(*key, key->get_allocation().get_x() + 5, key->get_allocation().get_y() + 5);
                    EXPECT_TRUE(wait_until([&] { return handled > before; }, 5s)) << caption;
                }
    };

    window.show();
    ASSERT_TRUE(wait_until([&] { return keys[0]->get_allocated_width() > 1; }, 5s));
    EXPECT_EQ(named.at("Readout")->get_text(), "0,");
    press("1 2 + 3 0 =");
    EXPECT_EQ(named.at("Readout")->get_text(), "42");
    press("1 0 0 0 0 0 0 Euro");
    EXPECT_EQ(named.at("Readout")->get_text(), "1.000.000");
    EXPECT_EQ(named.at("Label1")->get_text(), "€ 516,46");
}

}  // namespace
