#pragma once
// "Euro Calcolatore K.Z.": the calculator's window. It lays out the keys, the
// display `Readout` and the conversion line, forwards each click to the
// engine and shows the engine's texts; the picture `Image1` opens the maker's home
// page in the default browser. It stays above other windows.
//
// The engine belongs to the caller and outlives the window: destroy the window when
// the user closes it and create a new one for the next opening (which starts the
// display afresh but keeps `Accumulator` and `Operand`). Presenting or restoring
// the window is the caller's business.

#include <gtkmm/drawingarea.h>
#include <gtkmm/fixed.h>
#include <gtkmm/label.h>
#include <gtkmm/window.h>

#include <functional>
#include <string>
#include <vector>

#include "calculator/calculator_engine.h"
#include "platform/process_launcher.h"

namespace Gtk {
class Button;
}

namespace calculator {

class CalculatorWindow : public Gtk::Window {
public:
    CalculatorWindow(CalculatorEngine& engine, platform::ProcessLauncher& launcher);

private:
    Gtk::Button& add_key(const std::string& caption, int left, int top, int width, int height,
                         std::function<void()> command);
    void run(const std::function<void()>& command);
    void show_texts();
    bool open_home_page(GdkEventButton* event);

    CalculatorEngine& engine_;
    platform::ProcessLauncher& launcher_;
    Gtk::Fixed layout_;
    Gtk::Label readout_;
    Gtk::Label conversion_line_;
    Gtk::DrawingArea maker_picture_;
};

}  // namespace calculator
