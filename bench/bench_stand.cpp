#include "bench_stand.h"

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glib.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <vector>

#include "main_window/main_window.h"
#include "settings/settings_writer.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"
#include "support/wait_until.h"

BenchFolder::BenchFolder(const char* name_template) {
    if (gchar* folder = g_dir_make_tmp(name_template, nullptr)) {
        path_ = folder;
        g_free(folder);
    }
}

BenchFolder::~BenchFolder() {
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

int run_and_reap(const std::function<int()>& measure) {
    // A heap profiler follows one process, not a forked child: measure here instead.
    if (g_getenv("ORVALIS_BENCH_IN_PROCESS"))
        return measure();
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const pid_t child = fork();
    if (child == 0) {
        const int code = measure();
        std::fflush(nullptr);
        _exit(code);
    }
    if (child < 0)
        return measure();
    int code = 1;
    for (;;) {
        int status = 0;
        const pid_t ended = waitpid(-1, &status, 0);
        if (ended < 0 && errno == EINTR)
            continue;
        if (ended < 0)
            break;
        if (ended == child)
            code = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
    }
    return code;
}

bool start_gtk(int& argc, char**& argv, const std::filesystem::path& data_home) {
    // Without a session bus the accessibility bridge only waits for time-outs,
    // which would land in the start-up figure.
    g_setenv("NO_AT_BRIDGE", "1", TRUE);
    for (const char* variable : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        // Created now: some users of these folders (Mesa's shader cache) only make the last level.
        std::error_code ignored;
        std::filesystem::create_directories(data_home / variable, ignored);
        g_setenv(variable, (data_home / variable).c_str(), TRUE);
    }
    if (!gtk_init_check(&argc, &argv))
        return false;
    Gtk::Main::init_gtkmm_internals();
    return true;
}

std::string bench_page_title(int n) { return "Orvalis bench page " + std::to_string(n); }

std::string bench_page(int n) {
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + bench_page_title(n) +
                       "</title><style>body{margin:0;width:3000px;font:16px sans-serif}"
                       "p{margin:0 0 8px}</style></head><body><h1>" +
                       bench_page_title(n) + "</h1>";
    for (int line = 1; line <= 300; ++line)
        page += "<p>Line " + std::to_string(line) + " of page " + std::to_string(n) +
                ": plain text that keeps the page far taller than its pane.</p>";
    return page + "</body></html>";
}

std::string bench_dashboard_page(int n) {
    // The document never scrolls: 300 rows scroll in a box under a header, as on a
    // monitoring board, so a pane holds it by panning.
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + bench_page_title(n) +
                       "</title><style>html,body{margin:0;height:100%;overflow:hidden;font:16px sans-serif}"
                       "body{display:flex;flex-direction:column}h1{flex:none;margin:0;height:40px}"
                       "#rows{flex:1;overflow:auto}p{margin:0;height:60px;border-bottom:1px solid #888}"
                       "</style></head><body><h1>" + bench_page_title(n) + "</h1><div id=rows>";
    for (int row = 1; row <= 300; ++row)
        page += "<p>Row " + std::to_string(row) + " of board " + std::to_string(n) + ": status ok</p>";
    return page + "</div></body></html>";
}

void write_settings_file(const std::filesystem::path& file, const BenchPanes& panes, int refresh_flag) {
    std::vector<Value> values;
    for (const BenchPane& pane : panes) {
        values.emplace_back(pane.scroll_x);
        values.emplace_back(pane.scroll_y);
    }
    for (const BenchPane& pane : panes) values.emplace_back(pane.address);
    for (int n = 0; n < 4; ++n) values.emplace_back(static_cast<std::int16_t>(refresh_flag));
    values.emplace_back();
    std::ofstream(file, std::ios::binary) << settings::settings_file_content(values);
}

BenchPanes serve_bench_pages(LocalHttpServer& server, const std::function<std::string(int n)>& page) {
    BenchPanes panes;
    for (int n = 1; n <= 4; ++n) {
        const std::string path = "/page" + std::to_string(n) + ".html";
        server.serve(path, "text/html; charset=utf-8", page(n));
        panes[n - 1] = {server.url(path), 50 * (n - 1), 300 * n};
    }
    return panes;
}

bool wait_for_pane_loads(MainWindow& window, std::chrono::milliseconds deadline, const std::function<void()>& start) {
    std::array<bool, 4> finished{};
    std::array<sigc::connection, 4> watches;
    for (int n = 1; n <= 4; ++n)
        watches[n - 1] = window.pane(n).signal_load_finished().connect([&finished, n] { finished[n - 1] = true; });
    if (start)
        start();
    const bool loaded = wait_until(
        [&] {
            for (int n = 1; n <= 4; ++n)
                if (!finished[n - 1] || window.pane(n).is_loading())
                    return false;
            return true;
        },
        deadline);
    for (auto& watch : watches) watch.disconnect();
    return loaded;
}

bool panes_show_bench_pages(MainWindow& window) {
    // A failed load finishes too, on an error page that would cost something else.
    for (int n = 1; n <= 4; ++n)
        if (script_result(window.pane(n), "document.title") != bench_page_title(n))
            return false;
    return true;
}

bool show_and_load_bench_pages(MainWindow& window, const char* bench) {
    window.show();
    if (wait_for_first_loads(window, std::chrono::seconds(60)) && panes_show_bench_pages(window))
        return true;
    std::fprintf(stderr, "%s: the four pages did not load within 60 s\n", bench);
    return false;
}

void run_main_loop_for(std::chrono::milliseconds duration) {
    bool over = false;
    g_timeout_add_full(G_PRIORITY_DEFAULT, static_cast<guint>(duration.count()),
                       +[](gpointer data) -> gboolean {
                           *static_cast<bool*>(data) = true;
                           return G_SOURCE_REMOVE;
                       },
                       &over, nullptr);
    while (!over) g_main_context_iteration(nullptr, TRUE);
}

int run_bench(const char* name, const std::function<int(const BenchFolder&)>& measure) {
    const std::string folder_template = std::string("orvalis-") + name + "-XXXXXX";
    BenchFolder folder(folder_template.c_str());
    if (folder.path().empty()) {
        std::fprintf(stderr, "%s: cannot make a temporary folder\n", name);
        return 1;
    }
    return run_and_reap([&] { return measure(folder); });
}

