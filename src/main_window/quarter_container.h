#pragma once
// QuarterContainer: holds the four panes and gives each a quarter of whatever space
// it receives, edge to edge (pane 1 top-left, 2 top-right, 3 bottom-left, 4
// bottom-right), on every size allocation. It asks for twice its largest child in
// each direction; what the children show is theirs.

#include <gtkmm/container.h>

#include <array>

class QuarterContainer : public Gtk::Container {
public:
    QuarterContainer();
    ~QuarterContainer() override;

    // pane is 1..4; another number is ignored. A widget already in that quarter
    // is taken out first.
    void set_quarter(int pane, Gtk::Widget& child);

protected:
    GType child_type_vfunc() const override;
    void forall_vfunc(gboolean include_internals, GtkCallback callback, gpointer callback_data) override;
    // Gtk::Container::add fills the first free quarter.
    void on_add(Gtk::Widget* child) override;
    void on_remove(Gtk::Widget* child) override;

    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void get_preferred_width_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_vfunc(int& minimum, int& natural) const override;
    void get_preferred_height_for_width_vfunc(int width, int& minimum, int& natural) const override;
    void get_preferred_width_for_height_vfunc(int height, int& minimum, int& natural) const override;
    void on_size_allocate(Gtk::Allocation& allocation) override;

private:
    void place(std::size_t index, Gtk::Widget& child);

    std::array<Gtk::Widget*, 4> children_{};
};
