#pragma once
// PanFrame: holds one widget (a pane's web view) and, while panning, gives it a
// larger allocation than its own, of which it shows the part that starts at the
// stored offsets (see pan_geometry). It has a window of its own, so the child is
// clipped to the frame, and it shows no scroll bars and handles no events: pointer
// and keys go to the child's window, at the place on the page they hit.
// Whether to pan, and which offsets, is the pane's to say.

#include <optional>

#include <gtkmm/bin.h>

#include "browser_pane/panning/app_shell.h"

class PanFrame : public Gtk::Bin {
public:
    PanFrame();
    ~PanFrame() override;

    // On the axes not panned the child gets the frame's own size, whatever offsets
    // are stored.
    void set_panning(PanAxes axes);
    bool panning() const { return axes_.x || axes_.y; }
    // Stores the offsets (an absent one stays as it was) and, while panning, shows
    // them. Offsets are stored while not panning too, for when panning starts.
    void pan_to(std::optional<double> x, std::optional<double> y);
    // Offsets are page pixels; at a zoom other than 1 the child lays out that many
    // times more widget pixels per page pixel, and so is panned by that many more.
    void set_zoom(double zoom);
    double zoom() const { return zoom_; }
    // The child's size and the part shown, as last allocated.
    const PanGeometry& geometry() const { return geometry_; }
    // The frame's own size: what the pane shows, in widget pixels.
    int pane_width() const { return get_allocated_width(); }
    int pane_height() const { return get_allocated_height(); }
    // The same in page pixels, at the zoom set.
    int page_width() const;
    int page_height() const;

protected:
    void on_size_allocate(Gtk::Allocation& allocation) override;
    void on_realize() override;
    void on_unrealize() override;

private:
    PanGeometry wanted(int width, int height) const;
    void update();

    PanAxes axes_;
    double x_ = 0;
    double y_ = 0;
    double zoom_ = 1;
    PanGeometry geometry_;
    Glib::RefPtr<Gdk::Window> window_;
};
