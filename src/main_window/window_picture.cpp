#include "main_window/window_picture.h"

#include <cairo.h>
#include <gio/gio.h>

#include <iostream>

namespace {

struct PictureJob {
    cairo_surface_t* surface;
    std::string file;
    std::function<void(const std::string&)> done;
    std::string png;
    std::string error;
    ~PictureJob() { cairo_surface_destroy(surface); }
};

void encode(GTask* task, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<PictureJob*>(data);
    const auto append = [](void* png, const unsigned char* bytes, unsigned int length) {
        static_cast<std::string*>(png)->append(reinterpret_cast<const char*>(bytes), length);
        return CAIRO_STATUS_SUCCESS;
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(job->surface, append, &job->png);
    GError* error = nullptr;
    if (status != CAIRO_STATUS_SUCCESS) job->error = cairo_status_to_string(status);
    else if (!job->file.empty() && !g_file_set_contents(job->file.c_str(), job->png.data(), job->png.size(), &error)) {
        job->error = error->message;
        g_error_free(error);
    }
    g_task_return_boolean(task, TRUE);
}

}  // namespace

namespace {

// Draws the window as it stands and hands the picture to a worker.
void draw_and_encode(Gtk::Window& window, const std::string& file, std::function<void(const std::string&)> done) {
    const int width = window.get_allocated_width(), height = window.get_allocated_height();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    gtk_widget_draw(GTK_WIDGET(window.gobj()), cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    auto* job = new PictureJob{surface, file, std::move(done), {}, {}};
    GTask* task = g_task_new(nullptr, nullptr, [](GObject*, GAsyncResult* result, gpointer) {
        auto* finished = static_cast<PictureJob*>(g_task_get_task_data(G_TASK(result)));
        if (!finished->error.empty())
            std::cerr << "orvalis: schermata non fatta" << (finished->file.empty() ? "" : " in " + finished->file)
                      << ": " << finished->error << '\n';
        else if (finished->done)
            finished->done(finished->png);
    }, nullptr);
    g_task_set_task_data(task, job, [](gpointer data) { delete static_cast<PictureJob*>(data); });
    g_task_run_in_thread(task, &encode);
    g_object_unref(task);
}

struct WaitingPicture {
    Gtk::Window* window;
    std::string file;
    std::function<void(const std::string&)> done;
    gulong handler = 0;
};

}  // namespace

void take_window_picture(Gtk::Window& window, const std::string& file, std::function<void(const std::string&)> done) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window.gobj()));
    if (!window.get_mapped() || !clock) {
        std::cerr << "orvalis: schermata non fatta: la finestra non si vede\n";
        return;
    }
    // Drawn once the next frame is painted: a window whose layout is being worked out
    // (a caption that changed size, say) cannot be drawn before.
    auto* waiting = new WaitingPicture{&window, file, std::move(done)};
    waiting->handler = g_signal_connect(clock, "after-paint", G_CALLBACK(+[](GdkFrameClock* clock, gpointer data) {
        auto* picture = static_cast<WaitingPicture*>(data);
        g_signal_handler_disconnect(clock, picture->handler);
        draw_and_encode(*picture->window, picture->file, std::move(picture->done));
        delete picture;
    }), waiting);
    window.queue_draw();
}
