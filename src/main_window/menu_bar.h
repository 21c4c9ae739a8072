#pragma once
// A menu bar of plain entries (no drop-downs) where one ordinary click acts once.
// Stock GTK 3 treats a release that follows the press within half a second as the
// end of "opening" the bar and only highlights the item; for a bar whose entries are
// commands that reads as a dead click. The bar takes the press and release itself and
// activates the entry on release over it; keyboard navigation (F10, arrows, Enter) is
// left to GTK and ends in the same activate signal.

#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>

#include <memory>
#include <string>
#include <vector>

class CommandMenuBar : public Gtk::MenuBar {
public:
    // Appends an entry; the returned item lives as long as the bar.
    Gtk::MenuItem& add_entry(const std::string& caption);
    // Changes the caption and, with it, the name a screen reader reads.
    static void set_caption(Gtk::MenuItem& item, const std::string& caption);

private:
    bool on_item_press(GdkEventButton* event, Gtk::MenuItem* item);
    bool on_item_release(GdkEventButton* event, Gtk::MenuItem* item);

    std::vector<std::unique_ptr<Gtk::MenuItem>> items_;
    Gtk::MenuItem* pressed_ = nullptr;
};
