// The calculator's window on a virtual display: clicked keys reach the engine and
// the display shows its texts.

#include "calculator/calculator_window.h"

#include <gtest/gtest.h>
#include <gtkmm/button.h>

#include <sstream>

#include "calculator/calculator_test_support.h"
#include "support/synthetic_click.h"
#include "support/wait_until.h"

namespace {

using namespace std::chrono_literals;

struct RecordingLauncher : platform::ProcessLauncher {
    std::vector<std::string> opened;
    bool start(const std::vector<std::string>&, const std::string&) override { return false; }
    bool open_uri(const std::string& uri) override {
        opened.push_back(uri);
        return false;  // no browser here: the window must not care
    }
};

template <typename T>
void collect(Gtk::Widget& root, std::vector<T*>& found) {
    if (auto* hit = dynamic_cast<T*>(&root)) found.push_back(hit);
    if (auto* container = dynamic_cast<Gtk::Container*>(&root))
        for (auto* child : container->get_children()) collect(*child, found);
}

void click(Gtk::Widget& widget) {
    const auto area = widget.get_allocation();
    click_widget(widget, area.get_x() + area.get_width() / 2.0, area.get_y() + area.get_height() / 2.0);
}

class CalculatorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.show();
        ASSERT_TRUE(wait_until([&] { return key("0").get_allocated_width() > 1; }, 5s));
    }

    Gtk::Button& key(const std::string& caption) {
        std::vector<Gtk::Button*> buttons;
        collect(window, buttons);
        for (auto* b : buttons)
            if (b->get_label() == caption) return *b;
        throw std::out_of_range("no key " + caption);
    }

    std::string shown(const char* name) {
        std::vector<Gtk::Label*> labels;
        collect(window, labels);
        for (auto* l : labels)
            if (l->get_name() == name) return l->get_text();
        return "(missing)";
    }

    // Clicks each key and waits until its click has been handled.
    void press(const std::string& keys) {
        std::istringstream in(keys);
        for (std::string caption; in >> caption;) {
            int clicks = 0;
            auto watch = key(caption).signal_clicked().connect([&clicks] { ++clicks; });
            click(key(caption));
            const bool handled = wait_until([&] { return clicks == 1; }, 5s);
            watch.disconnect();
            ASSERT_TRUE(handled) << caption;
        }
    }

    calculator_test::RecordingMessageBox messages;
    calculator::CalculatorEngine engine{calculator_test::kItalian, messages};
    RecordingLauncher launcher;
    calculator::CalculatorWindow window{engine, launcher};
};

TEST_F(CalculatorWindowTest, ClickedKeysReachTheDisplay) {
    EXPECT_EQ(shown("Readout"), "0,");
    EXPECT_EQ(shown("Label1"), "0.");
    press("1 2 + 3 0 =");
    EXPECT_EQ(shown("Readout"), "42");
    press("1 0 0 0 0 0 0 Euro");
    EXPECT_EQ(shown("Readout"), "1.000.000");
    EXPECT_EQ(shown("Label1"), "€ 516,46");
    press(". 5 Lire");
    EXPECT_EQ(shown("Readout"), ",50");
    EXPECT_EQ(shown("Label1"), "L. 968");
    press("C 8 / 0 =");
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(shown("Readout"), "8,");
    press("CE");
    EXPECT_EQ(shown("Readout"), "0,");
    EXPECT_EQ(shown("Label1"), "0,");
}

TEST_F(CalculatorWindowTest, KeysAreNamedAndSizedAsDesigned) {
    for (const char* caption :
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ".", "+", "-", "X", "/", "=", "%", "C", "CE", "Euro", "Lire"})
        EXPECT_EQ(key(caption).get_accessible()->get_name(), caption);
    EXPECT_EQ(key("CE").get_allocated_width(), 32);  // the theme's padding would widen it
    EXPECT_EQ(key("0").get_allocated_width(), 72);   // spans two columns
    EXPECT_EQ(key("%").get_allocation().get_y(), 223);
    int width = 0, height = 0;
    window.get_size(width, height);
    EXPECT_EQ(width, 212);
    EXPECT_EQ(height, 261);
}

TEST_F(CalculatorWindowTest, PictureOpensTheHomePage) {
    std::vector<Gtk::DrawingArea*> pictures;
    collect(window, pictures);
    ASSERT_EQ(pictures.size(), 1u);
    click(*pictures[0]);
    ASSERT_TRUE(wait_until([&] { return !launcher.opened.empty(); }, 5s));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"http://www.example.org/"});
}

}  // namespace
