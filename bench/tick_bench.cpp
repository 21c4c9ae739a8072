// How long one timer tick keeps the UI thread busy with four loaded panes: the
// countdown step, the counter caption and the eight scroll writes, timed around
// MainWindow::on_countdown_tick with the main loop running between ticks as it would.
//
// Usage: xvfb-run -a tick_bench [ticks] [--dashboards] [--zoom=PERCENT]   (default 1000 ticks)
// With --dashboards the four pages are dashboards whose document never scrolls,
// each held 3000 pixels down by panning. With --zoom every pane shows at that zoom,
// read from the zoom file as at a real start.

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench_stand.h"
#include "platform/engine_allocator.h"
#include "main_window/main_window.h"
#include "settings/zoom_file.h"
#include "support/local_http_server.h"
#include "support/pane_probe.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

// Long enough for WebKit to answer the last tick's scripts and redraw, as it does
// in the second between two real ticks.
constexpr auto kGapBetweenTicks = std::chrono::milliseconds(5);

// CPU time of this thread: unlike the wall clock it leaves out the time the thread
// waited for a core, which a busy machine adds to the wall figures.
double thread_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// "x,y" within one page pixel of x and y.
bool near(const std::string& at, int x, int y) {
    int got_x = 0, got_y = 0;
    return std::sscanf(at.c_str(), "%d,%d", &got_x, &got_y) == 2 && std::abs(got_x - x) <= 1 &&
           std::abs(got_y - y) <= 1;
}

struct Spread {
    std::vector<double> wall;
    std::vector<double> cpu;
};

template <typename Work>
Spread time_ticks(int count, Work work) {
    Spread spread;
    for (int i = 0; i < count; ++i) {
        run_main_loop_for(kGapBetweenTicks);
        const double cpu_start = thread_cpu_ms();
        const auto start = Clock::now();
        work(i);
        spread.wall.push_back(Millis(Clock::now() - start).count());
        spread.cpu.push_back(thread_cpu_ms() - cpu_start);
    }
    return spread;
}

double nearest_rank(const std::vector<double>& sorted, double fraction) {
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

void print_cpu_line(const char* what, std::vector<double> cpu) {
    std::sort(cpu.begin(), cpu.end());
    std::printf("%s: median %.4f ms, p99 %.4f ms, worst %.4f ms\n", what, nearest_rank(cpu, 0.5),
                nearest_rank(cpu, 0.99), cpu.back());
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    bool dashboards = false;
    int zoom = 100;
    int ticks = 1000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dashboards") == 0)
            dashboards = true;
        else if (std::strncmp(argv[i], "--zoom=", 7) == 0)
            zoom = std::atoi(argv[i] + 7);
        else
            ticks = std::atoi(argv[i]);
    }
    if (ticks < 1 || zoom < 30 || zoom > 300) {
        std::fprintf(stderr, "usage: tick_bench [ticks] [--dashboards] [--zoom=PERCENT]\n");
        return 2;
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "tick_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }

    LocalHttpServer server;
    BenchPanes panes = serve_bench_pages(server, dashboards ? bench_dashboard_page : bench_page);
    // Dashboards are held 3000 pixels down, by panning.
    if (dashboards)
        for (BenchPane& pane : panes) pane = {pane.address, 0, 3000};
    // No refresh flag: every measured tick finds four loaded pages to write to.
    write_settings_file(folder.path() / "dati.cfg", panes, 0);
    settings::write_zoom_file(settings::zoom_file_for(folder.path() / "dati.cfg"), {zoom, zoom, zoom, zoom});

    MainWindow window(folder.path() / "dati.cfg");
    if (!show_and_load_bench_pages(window, "tick_bench"))
        return 1;

    Spread whole = time_ticks(ticks, [&](int) { window.on_countdown_tick(); });
    std::printf("ticks:  %d (one every %lld ms of main loop, four loaded panes%s at %d %%)\n", ticks,
                static_cast<long long>(kGapBetweenTicks.count()), dashboards ? ", panned dashboards" : "",
                window.pane(1).zoom());
    const double first = whole.wall.front();
    std::sort(whole.wall.begin(), whole.wall.end());
    std::printf("median: %.4f ms\n", nearest_rank(whole.wall, 0.5));
    std::printf("p99:    %.4f ms\n", nearest_rank(whole.wall, 0.99));
    std::printf("worst:  %.4f ms (first tick %.4f ms)\n", whole.wall.back(), first);
    print_cpu_line("thread CPU time of the tick", whole.cpu);

    // Where the time goes: the two halves of a tick timed apart, the same way.
    print_cpu_line("  of which the scroll hold", time_ticks(ticks, [&](int) {
                       for (int n = 1; n <= 4; ++n)
                           window.pane(n).set_body_scroll(panes[n - 1].scroll_x, panes[n - 1].scroll_y);
                   }).cpu);
    print_cpu_line("  of which the counter caption", time_ticks(ticks, [&](int i) {
                       CommandMenuBar::set_caption(window.countdown_entry(), std::to_string(120 - i % 120));
                   }).cpu);
    run_main_loop_for(std::chrono::milliseconds(100));

    // The figures only mean something if the writes landed.
    bool held = true;
    for (int n = 1; n <= 4; ++n) {
        const BenchPane& pane = panes[n - 1];
        // A panned dashboard shows its offsets as a viewport taller than the pane by them,
        // in page pixels.
        const int height =
            static_cast<int>(std::lround(window.pane(n).widget().get_allocated_height() * 100.0 / zoom));
        const auto at = dashboards
                            ? script_result(window.pane(n), "'0,' + (innerHeight - " + std::to_string(height) + ")")
                            : script_result(window.pane(n), "document.scrollingElement.scrollLeft + ',' + "
                                                            "document.scrollingElement.scrollTop");
        const std::string wanted = std::to_string(pane.scroll_x) + "," + std::to_string(pane.scroll_y);
        std::printf("pane %d: at %s, stored %s\n", n, at ? at->c_str() : "(no answer)", wanted.c_str());
        // Below 100 % a page stands on whole screen pixels: a page pixel off is held.
        held = held && (at == wanted || (zoom < 100 && at && near(*at, pane.scroll_x, pane.scroll_y)));
    }
    if (!held)
        std::printf("warning: a pane is not at its stored offsets; the ticks did not do their whole work\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    return run_bench("tick-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
