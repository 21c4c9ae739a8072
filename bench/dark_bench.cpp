// What a dark wall costs against a lit one: the CPU of the whole process tree (this
// program and WebKit's processes) with four heavy pages, each a canvas redrawn 60
// times a second from a timer, first lit, then dark through the same call as the
// `screen` action. The X server's CPU is given apart, where it can be found.
//
// Usage: xvfb-run -a dark_bench [seconds]   (default 20 each way)

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "bench_stand.h"
#include "main_window/main_window.h"
#include "platform/engine_allocator.h"
#include "process_tree.h"
#include "support/local_http_server.h"

namespace {

using namespace std::chrono_literals;

// A page that never rests: 2000 coloured squares at random places on a canvas the
// size of its pane, at every tick of a 16 ms timer.
std::string canvas_page(int n) {
    return "<!DOCTYPE html><title>" + bench_page_title(n) +
           "</title><body style='margin:0;overflow:hidden'><canvas id=c></canvas><script>"
           "const c = document.getElementById('c'), g = c.getContext('2d'); let t = 0;"
           "setInterval(() => { c.width = innerWidth; c.height = innerHeight; ++t;"
           "  for (let i = 0; i < 2000; i++) { g.fillStyle = 'hsl(' + (i + t) % 360 + ',80%,50%)';"
           "    g.fillRect(Math.random() * c.width, Math.random() * c.height, 20, 20); } }, 16);"
           "</script>";
}

struct Cost {
    double tree = 0;  // seconds of CPU a second
    std::optional<double> x_server;
};

unsigned long long x_ticks(std::optional<pid_t> x) {
    const auto sample = x ? sample_process(*x) : std::nullopt;
    return sample ? sample->own_ticks : 0;
}

Cost measure_for(int seconds) {
    const auto x = find_x_server();
    const auto tree_before = tree_ticks(sample_process_tree(getpid())), x_before = x_ticks(x);
    run_main_loop_for(std::chrono::seconds(seconds));
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK)) * seconds;
    Cost cost{static_cast<double>(tree_ticks(sample_process_tree(getpid())) - tree_before) / tick, std::nullopt};
    if (x) cost.x_server = static_cast<double>(x_ticks(x) - x_before) / tick;
    return cost;
}

void print(const char* state, const Cost& cost) {
    std::printf("%-5s tree %5.1f %% of a core", state, cost.tree * 100);
    if (cost.x_server) std::printf(", X server %5.1f %%", *cost.x_server * 100);
    std::printf("\n");
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    if (seconds < 1) {
        std::fprintf(stderr, "usage: dark_bench [seconds]\n");
        return 2;
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "dark_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    LocalHttpServer server;
    write_settings_file(folder.path() / "dati.cfg", serve_bench_pages(server, canvas_page), 0);
    MainWindow window(folder.path() / "dati.cfg");
    if (!show_and_load_bench_pages(window, "dark_bench")) return 1;
    // The pages' first frames and WebKit's start-up work are nobody's steady cost.
    run_main_loop_for(3s);
    const Cost lit = measure_for(seconds);
    window.screen().set_lit(false);
    run_main_loop_for(3s);
    const Cost dark = measure_for(seconds);
    std::printf("four canvas pages, %d s each way, load average at the end: ", seconds);
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("%.2f %.2f %.2f", load[0], load[1], load[2]);
    std::printf("\n");
    print("lit", lit);
    print("dark", dark);
    std::printf("dark / lit: tree %.3f\n", lit.tree > 0 ? dark.tree / lit.tree : 0.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    return run_bench("dark-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
