// The calculator's window on a virtual display: real button presses through the
// X server reach the engine, and the display shows its texts.

#include "calculator/calculator_window.h"

#include <gtest/gtest.h>
#include <gtkmm/button.h>
#include <gtkmm/container.h>
#include <gtkmm/label.h>

#include <memory>
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

class CalculatorWindowTest : public ::testing::Test {
protected:
    void open_window() {
        window = std::make_unique<calculator::CalculatorWindow>(engine, launcher);
        window->show();
        ASSERT_TRUE(wait_until([&] { return window->get_mapped() && key("0").get_allocated_width() > 1; }, 5s));
    }

    Gtk::Button& key(const std::string& caption) {
        std::vector<Gtk::Button*> buttons;
        collect(*window, buttons);
        for (auto* b : buttons)
            if (b->get_label() == caption) return *b;
        throw std::runtime_error("no key " + caption);
    }

    std::string label_text(const char* name) {
        std::vector<Gtk::Label*> labels;
        collect(*window, labels);
        for (auto* l : labels)
            if (l->get_name() == name) return l->get_text();
        return "(missing)";
    }

    // Mouse down and up in the middle of a widget.
    void click(Gtk::Widget& widget) {
        const auto area = widget.get_allocation();
        click_widget(widget, area.get_x() + area.get_width() / 2.0, area.get_y() + area.get_height() / 2.0);
    }

    // Clicks each key and waits until its click has been handled.
    void press(const std::string& keys) {
        std::istringstream in(keys);
        std::string caption;
        while (in >> caption) {
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
    std::unique_ptr<calculator::CalculatorWindow> window;
};

TEST_F(CalculatorWindowTest, ClickedKeysReachTheDisplay) {
    open_window();
    EXPECT_EQ(window->get_title(), "Euro Calcolatore K.Z.");
    EXPECT_EQ(label_text("Readout"), "0,");
    EXPECT_EQ(label_text("Label1"), "0.");

    press("1 2 + 3 0 =");
    EXPECT_EQ(label_text("Readout"), "42");
    press("1 0 0 0 0 0 0 Euro");
    EXPECT_EQ(label_text("Readout"), "1.000.000");
    EXPECT_EQ(label_text("Label1"), "€ 516,46");
    press(". 5 Lire");
    EXPECT_EQ(label_text("Label1"), "L. 968");
    EXPECT_EQ(label_text("Readout"), ",50");
    press("CE");
    EXPECT_EQ(label_text("Label1"), "0,");
    press("C 8 / 0 =");
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(label_text("Readout"), "8,");
    press("C");
    EXPECT_EQ(label_text("Readout"), "0,");
    EXPECT_EQ(label_text("Label1"), "0,");
}

TEST_F(CalculatorWindowTest, KeysAreNamedAndPlacedAsDesigned) {
    open_window();
    struct Place {
        const char* caption;
        int x, y, width, height;
    };
    const Place places[] = {
        {"7", 5, 103, 32, 32},  {"8", 45, 103, 32, 32},  {"9", 85, 103, 32, 32},  {"C", 133, 103, 32, 32},
        {"CE", 173, 103, 32, 32}, {"4", 5, 143, 32, 32}, {"5", 45, 143, 32, 32},  {"6", 85, 143, 32, 32},
        {"+", 133, 143, 32, 32}, {"-", 173, 143, 32, 32}, {"1", 5, 183, 32, 32},  {"2", 45, 183, 32, 32},
        {"3", 85, 183, 32, 32},  {"X", 133, 183, 32, 32}, {"/", 173, 183, 32, 32}, {"0", 5, 223, 72, 32},
        {".", 85, 223, 32, 32},  {"=", 133, 223, 32, 32}, {"%", 173, 223, 32, 32}, {"Euro", 6, 36, 67, 28},
        {"Lire", 138, 36, 67, 28},
    };
    for (const auto& p : places) {
        Gtk::Button& b = key(p.caption);
        const auto area = b.get_allocation();
        EXPECT_EQ(b.get_accessible()->get_name(), p.caption);
        EXPECT_EQ(area.get_x(), p.x) << p.caption;
        EXPECT_EQ(area.get_y(), p.y) << p.caption;
        EXPECT_EQ(area.get_width(), p.width) << p.caption;
        EXPECT_EQ(area.get_height(), p.height) << p.caption;
    }
    int width = 0, height = 0;
    window->get_size(width, height);
    EXPECT_EQ(width, 212);
    EXPECT_EQ(height, 261);
}

TEST_F(CalculatorWindowTest, PictureOpensTheHomePage) {
    open_window();
    std::vector<Gtk::DrawingArea*> pictures;
    collect(*window, pictures);
    ASSERT_EQ(pictures.size(), 1u);
    click(*pictures[0]);
    ASSERT_TRUE(wait_until([&] { return !launcher.opened.empty(); }, 5s));
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"http://www.example.org/"});
}

TEST_F(CalculatorWindowTest, ReopeningStartsAfreshButKeepsTheRegisters) {
    open_window();
    press("5 + 3 = 2");
    window.reset();
    open_window();
    EXPECT_EQ(label_text("Readout"), "0,");
    EXPECT_EQ(label_text("Label1"), "0.");
    EXPECT_EQ(engine.accumulator(), Value(8.0));
}

}  // namespace
