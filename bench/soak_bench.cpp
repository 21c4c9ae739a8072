// Days of refresh cycles in minutes: the real main window on four pages of a local
// server, one of them as heavy as a real dashboard, each pane loading its page anew
// (a new query string every time, so no cache spares the work) as fast as the four
// loads finish. One timer tick follows each cycle. The figures show whether memory,
// file descriptors, threads or the tick grow with the cycles.
//
// Usage: xvfb-run -a soak_bench [cycles]   (default 2000, about three days of
// two-minute cycles)

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_stand.h"
#include "main_window/main_window.h"
#include "process_tree.h"
#include "support/local_http_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kFirstReport = 50;
constexpr int kReportEvery = 250;
constexpr std::size_t kTickWindow = 100;

// A dashboard: a canvas chart redrawn every second, a table of 5,000 rows and a few
// MB of data in a script.
std::string heavy_page() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> value(0, 999999);
    std::string data = "const series=[";
    for (int i = 0; i < 400000; ++i) data += std::to_string(value(random)) + ",";
    data += "0];";
    std::string rows;
    for (int row = 1; row <= 5000; ++row)
        rows += "<tr><td>" + std::to_string(row) + "</td><td>Sensore " + std::to_string(row % 97) + "</td><td>" +
                std::to_string(value(random)) + "</td><td>ok</td></tr>";
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + bench_page_title(4) +
           "</title></head><body style=\"margin:0;font:14px sans-serif\"><h1>" + bench_page_title(4) +
           "</h1><canvas id=chart width=1200 height=300></canvas><table>" + rows + "</table><script>" + data +
           "const c=document.getElementById('chart').getContext('2d');let t=0;"
           "function draw(){c.clearRect(0,0,1200,300);c.beginPath();"
           "for(let x=0;x<1200;x+=4){const v=series[(x*7+t*131)%series.length];"
           "c.lineTo(x,300-v/1000000*300)}c.stroke();t++}draw();setInterval(draw,1000);</script></body></html>";
}

struct Figures {
    int cycle = 0;
    double tree_pss_mib = 0;
    double tree_anon_mib = 0;
    double ui_pss_mib = 0;
    double ui_anon_mib = 0;
    double web_pss_mib = 0;      // every web process together
    double network_pss_mib = 0;  // the network process
    int processes = 0;
    int fds = 0;
    int threads = 0;
    double tick_median_ms = 0;
    double wall_s = 0;
};

double mib(long long kib) { return static_cast<double>(kib) / 1024.0; }

// The memory figures of one moment; the rest of figures is left alone.
void sample_tree(Figures& figures) {
    figures = Figures{figures.cycle};
    const auto tree = sample_process_tree(getpid());
    figures.processes = static_cast<int>(tree.size());
    for (const ProcessSample& process : tree) {
        const double pss = mib(pss_kib(process.pid).value_or(0));
        const double anon = mib(anon_pss_kib(process.pid).value_or(0));
        figures.tree_pss_mib += pss;
        figures.tree_anon_mib += anon;
        if (process.pid == getpid()) {
            figures.ui_pss_mib = pss;
            figures.ui_anon_mib = anon;
        }
        else if (process.name.find("WebProces") != std::string::npos)
            figures.web_pss_mib += pss;
        else if (process.name.find("Network") != std::string::npos)
            figures.network_pss_mib += pss;
        figures.fds += open_fd_count(process.pid).value_or(0);
        figures.threads += thread_count(process.pid).value_or(0);
    }
}

// Pages leave garbage that their engine collects when it sees fit: one sample could
// land before or after a collection and swing by tens of MiB. The lowest of a few
// samples a second apart, figure by figure, is what the tree really keeps.
Figures measure_tree(int cycle, std::vector<double> last_ticks, Clock::time_point start) {
    constexpr int kSamples = 5;
    Figures figures{cycle};
    sample_tree(figures);
    for (int sample = 1; sample < kSamples; ++sample) {
        run_main_loop_for(std::chrono::seconds(1));
        Figures next{cycle};
        sample_tree(next);
        figures.tree_pss_mib = std::min(figures.tree_pss_mib, next.tree_pss_mib);
        figures.tree_anon_mib = std::min(figures.tree_anon_mib, next.tree_anon_mib);
        figures.ui_pss_mib = std::min(figures.ui_pss_mib, next.ui_pss_mib);
        figures.ui_anon_mib = std::min(figures.ui_anon_mib, next.ui_anon_mib);
        figures.web_pss_mib = std::min(figures.web_pss_mib, next.web_pss_mib);
        figures.network_pss_mib = std::min(figures.network_pss_mib, next.network_pss_mib);
        figures.fds = std::max(figures.fds, next.fds);
        figures.threads = std::max(figures.threads, next.threads);
    }
    if (!last_ticks.empty()) {
        std::nth_element(last_ticks.begin(), last_ticks.begin() + static_cast<long>(last_ticks.size() / 2),
                         last_ticks.end());
        figures.tick_median_ms = last_ticks[last_ticks.size() / 2];
    }
    figures.wall_s = std::chrono::duration<double>(Clock::now() - start).count();
    return figures;
}

void print_figures(const Figures& f) {
    std::printf("cycle %d: tree PSS %.1f MiB (UI %.1f, web processes %.1f, network %.1f; anonymous %.1f, of which "
                "UI %.1f) in %d processes; fds %d; threads %d; tick median %.4f ms; wall %.0f s\n",
                f.cycle, f.tree_pss_mib, f.ui_pss_mib, f.web_pss_mib, f.network_pss_mib, f.tree_anon_mib,
                f.ui_anon_mib, f.processes, f.fds, f.threads, f.tick_median_ms, f.wall_s);
    std::fflush(stdout);
}

void print_growth(const Figures& from, const Figures& to) {
    std::printf("growth from cycle %d to cycle %d:\n", from.cycle, to.cycle);
    const auto print_mib = [&](const char* what, double Figures::*figure) {
        const double a = from.*figure, b = to.*figure;
        std::printf("%s: %+.1f MiB (%+.1f %%)\n", what, b - a, a > 0 ? (b - a) / a * 100 : 0);
    };
    print_mib("tree PSS", &Figures::tree_pss_mib);
    print_mib("tree anonymous PSS", &Figures::tree_anon_mib);
    print_mib("UI process PSS", &Figures::ui_pss_mib);
    print_mib("UI process anonymous PSS", &Figures::ui_anon_mib);
    print_mib("web processes PSS", &Figures::web_pss_mib);
    print_mib("network process PSS", &Figures::network_pss_mib);
    std::printf("file descriptors: %+d\n", to.fds - from.fds);
    std::printf("threads: %+d\n", to.threads - from.threads);
    std::printf("tick median: %+.4f ms\n", to.tick_median_ms - from.tick_median_ms);
    std::printf("wall time: %.0f s for %d cycles\n", to.wall_s - from.wall_s, to.cycle - from.cycle);
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 2000;
    if (cycles < kFirstReport) {
        std::fprintf(stderr, "usage: soak_bench [cycles]   (at least %d)\n", kFirstReport);
        return 2;
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "soak_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    LocalHttpServer server;
    const std::string heavy = heavy_page();
    const BenchPanes panes = serve_bench_pages(server, [&](int n) { return n == 4 ? heavy : bench_page(n); });
    write_settings_file(folder.path() / "dati.cfg", panes, 0);
    MainWindow window(folder.path() / "dati.cfg");
    if (!show_and_load_bench_pages(window, "soak_bench"))
        return 1;

    const auto start = Clock::now();
    std::vector<double> ticks;
    Figures first;
    Figures last;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const auto reload_all = [&] {
            for (int n = 1; n <= 4; ++n)
                window.pane(n).navigate(panes[n - 1].address + "?cycle=" + std::to_string(cycle));
        };
        if (!wait_for_pane_loads(window, std::chrono::seconds(60), reload_all)) {
            std::fprintf(stderr, "soak_bench: cycle %d did not finish loading within 60 s\n", cycle);
            return 1;
        }
        // Long enough for the scripts of the new pages to start, as between real ticks.
        run_main_loop_for(std::chrono::milliseconds(20));
        const auto tick_start = Clock::now();
        window.Timer1_Timer();
        ticks.push_back(Millis(Clock::now() - tick_start).count());
        if (ticks.size() > kTickWindow)
            ticks.erase(ticks.begin());
        if (cycle == kFirstReport || (cycle - kFirstReport) % kReportEvery == 0 || cycle == cycles) {
            last = measure_tree(cycle, ticks, start);
            if (cycle == kFirstReport)
                first = last;
            print_figures(last);
        }
    }
    if (!panes_show_bench_pages(window))
        std::printf("warning: a pane does not show its page at the end; the cycles did not all load\n");
    print_growth(first, last);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return run_bench("soak-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
