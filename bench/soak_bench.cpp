// Days of refresh cycles in minutes: four panes on four pages of a local server, one
// of them as heavy as a real dashboard, reloaded as the countdown reloads them, as
// fast as the four loads finish. One timer tick follows each cycle. The figures show
// whether any process's memory, file descriptors, threads or the tick grow with the
// cycles.
//
// Usage: xvfb-run -a soak_bench [cycles] [--navigate] [--bare[=pieces]] [--light]
//   cycles       default 2000, about three days of two-minute cycles
//   --navigate   each cycle loads a new address instead of reloading the page shown
//   --bare       the same four views and pages in a plain window, without the panes'
//                scripts and handlers; =watch,probe,ping,guard,writes (or =all) adds
//                those of the pane's pieces, rebuilt here from the same parts
//   --light      pane 4 shows a light page too, for quicker cycles
//   --dashboards four dashboards whose document never scrolls, held by panning
//   --trim       before each sample, glibc's allocator hands back the free memory it keeps
//   --server-inside  the pages' server runs on a thread of the measured process, as it
//                once did, instead of in a process of its own

#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include "bench_stand.h"
#include "platform/engine_allocator.h"
#include "browser_pane/panning/app_shell.h"
#include "browser_pane/page_guard.h"
#include "browser_pane/pane_web_view.h"
#include "browser_pane/scroll_script.h"
#include "main_window/main_window.h"
#include "process_tree.h"
#include "support/local_http_server.h"
#include "support/wait_until.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;

constexpr int kFirstReport = 100;
constexpr int kReportEvery = 100;
constexpr int kFloorEvery = 5;
constexpr std::size_t kTickWindow = 100;
constexpr auto kLoadDeadline = std::chrono::seconds(60);

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

// The pane's pieces that the bare mode can add back one by one.
struct Pieces {
    bool watch = false;   // the scroll watch script at document start, in its own world
    bool probe = false;   // the app-shell probe after each load
    bool ping = false;    // a script every 10 s that shows the page process answers
    bool guard = false;   // the policy and guard handlers
    bool writes = false;  // the tick's scroll writes
};

struct Options {
    int cycles = 2000;
    bool navigate = false;
    bool bare = false;
    bool light = false;
    bool dashboards = false;
    bool server_inside = false;
    bool trim = false;
    Pieces pieces;
};

bool parse_pieces(const std::string& list, Pieces& pieces) {
    const std::pair<const char*, bool Pieces::*> names[] = {
        {"watch", &Pieces::watch}, {"probe", &Pieces::probe}, {"ping", &Pieces::ping},
        {"guard", &Pieces::guard}, {"writes", &Pieces::writes}};
    std::size_t at = 0;
    while (at <= list.size()) {
        const std::size_t end = std::min(list.find(',', at), list.size());
        const std::string piece = list.substr(at, end - at);
        const auto named = std::find_if(std::begin(names), std::end(names),
                                        [&](const auto& name) { return piece == name.first; });
        if (piece == "all")
            pieces = {true, true, true, true, true};
        else if (named != std::end(names))
            pieces.*(named->second) = true;
        else
            return false;
        at = end + 1;
    }
    return true;
}

bool parse_options(int argc, char** argv, Options& options) {
    const std::pair<const char*, bool Options::*> flags[] = {
        {"--navigate", &Options::navigate}, {"--light", &Options::light}, {"--dashboards", &Options::dashboards},
        {"--server-inside", &Options::server_inside}, {"--trim", &Options::trim}, {"--bare", &Options::bare}};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto flag = std::find_if(std::begin(flags), std::end(flags),
                                       [&](const auto& named) { return arg == named.first; });
        if (flag != std::end(flags))
            options.*(flag->second) = true;
        else if (arg.rfind("--bare=", 0) == 0) {
            options.bare = true;
            if (!parse_pieces(arg.substr(7), options.pieces))
                return false;
        } else if (!arg.empty() && arg.find_first_not_of("0123456789") == std::string::npos)
            options.cycles = std::atoi(arg.c_str());
        else
            return false;
    }
    return options.cycles >= kFirstReport;
}

// The pages' server in a process of its own. On a thread of the measured process, what
// it allocated for each connection counted as the program's memory, and grew with the
// cycles. Forked before GTK starts a thread; it ends when this process
// closes its end of the pipe, however this process ends.
class ServerProcess {
public:
    explicit ServerProcess(const std::function<std::string(int n)>& page) {
        int addresses[2];
        int alive[2];
        if (pipe2(addresses, O_CLOEXEC) != 0 || pipe2(alive, O_CLOEXEC) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(addresses[0]);
            close(alive[1]);
            LocalHttpServer server;
            std::ostringstream out;
            for (const BenchPane& pane : serve_bench_pages(server, page))
                out << pane.scroll_x << ' ' << pane.scroll_y << ' ' << pane.address << '\n';
            const std::string text = out.str();
            if (write(addresses[1], text.data(), text.size()) == static_cast<ssize_t>(text.size())) {
                close(addresses[1]);
                char byte;
                while (read(alive[0], &byte, 1) != 0) {
                }
            }
            _exit(0);
        }
        close(addresses[1]);
        close(alive[0]);
        alive_ = alive[1];
        std::string text;
        char buffer[512];
        for (ssize_t got; (got = read(addresses[0], buffer, sizeof buffer)) != 0;)
            if (got > 0)
                text.append(buffer, static_cast<std::size_t>(got));
            else if (errno != EINTR)
                break;
        close(addresses[0]);
        std::istringstream in(text);
        for (BenchPane& pane : panes_) ready_ = static_cast<bool>(in >> pane.scroll_x >> pane.scroll_y >> pane.address);
    }

    ~ServerProcess() {
        if (alive_ >= 0)
            close(alive_);
        if (pid_ > 0)
            waitpid(pid_, nullptr, 0);
    }

    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }
    const BenchPanes& panes() const { return panes_; }

private:
    pid_t pid_ = -1;
    int alive_ = -1;
    bool ready_ = false;
    BenchPanes panes_;
};

// What a run drives: four views in a window, reloaded and ticked cycle by cycle.
class Stand {
public:
    virtual ~Stand() = default;
    // Starts the cycle's loads and waits for all four; false when they did not finish in time.
    virtual bool load_all(int cycle) = 0;
    virtual void tick() = 0;
};

// The program's own main window, its panes reloaded as the countdown does.
class ProgramStand : public Stand {
public:
    ProgramStand(const std::filesystem::path& settings, const BenchPanes& panes, bool navigate)
        : window_(settings), panes_(panes), navigate_(navigate) {}

    bool show() { return show_and_load_bench_pages(window_, "soak_bench"); }

    bool load_all(int cycle) override {
        return wait_for_pane_loads(window_, kLoadDeadline, [&] {
            for (int n = 1; n <= 4; ++n) {
                if (navigate_)
                    window_.pane(n).navigate(panes_[n - 1].address + "?cycle=" + std::to_string(cycle));
                else
                    window_.pane(n).refresh(ReloadCause::schedule);
            }
        });
    }

    void tick() override { window_.on_countdown_tick(); }

private:
    MainWindow window_;
    BenchPanes panes_;
    bool navigate_;
};

// Four views of the program's kind (same context, settings and sandbox) in a plain
// window, with only the chosen pieces of the pane rebuilt around them.
class BareStand : public Stand {
public:
    BareStand(const BenchPanes& panes, const Pieces& pieces, bool navigate)
        : panes_(panes), pieces_(pieces), navigate_(navigate) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(window_), 1920, 1040);
        GtkWidget* grid = gtk_grid_new();
        gtk_grid_set_row_homogeneous(GTK_GRID(grid), TRUE);
        gtk_grid_set_column_homogeneous(GTK_GRID(grid), TRUE);
        gtk_container_add(GTK_CONTAINER(window_), grid);
        for (int n = 0; n < 4; ++n) {
            views_[n] = new_pane_web_view();
            gtk_widget_set_hexpand(GTK_WIDGET(views_[n]), TRUE);
            gtk_widget_set_vexpand(GTK_WIDGET(views_[n]), TRUE);
            gtk_grid_attach(GTK_GRID(grid), GTK_WIDGET(views_[n]), n % 2, n / 2, 1, 1);
            add_pieces(n);
        }
        if (pieces_.ping)
            ping_ = g_timeout_add_seconds(10, &BareStand::ping_all, this);
    }

    ~BareStand() override {
        if (ping_)
            g_source_remove(ping_);
        for (int n = 0; n < 4; ++n) {
            g_signal_handlers_disconnect_by_data(views_[n], this);
            g_signal_handlers_disconnect_by_data(views_[n], &guard_);
        }
        gtk_widget_destroy(window_);
        for (WebKitWebView* view : views_) g_object_unref(view);
    }

    bool show() {
        gtk_widget_show_all(window_);
        for (int n = 0; n < 4; ++n) webkit_web_view_load_uri(views_[n], panes_[n].address.c_str());
        return wait_loads();
    }

    bool load_all(int cycle) override {
        for (int n = 0; n < 4; ++n) {
            if (navigate_)
                webkit_web_view_load_uri(views_[n],
                                         (panes_[n].address + "?cycle=" + std::to_string(cycle)).c_str());
            else
                webkit_web_view_reload(views_[n]);
        }
        return wait_loads();
    }

    void tick() override {
        if (!pieces_.writes)
            return;
        for (int n = 0; n < 4; ++n) {
            const std::string script = scroll_script(panes_[n].scroll_x, panes_[n].scroll_y);
            webkit_web_view_evaluate_javascript(views_[n], script.c_str(), static_cast<gssize>(script.size()),
                                                kScrollWorld, nullptr, nullptr, &BareStand::drop_result, nullptr);
        }
    }

private:
    void add_pieces(int n) {
        WebKitWebView* view = views_[n];
        g_signal_connect(view, "load-changed", G_CALLBACK(&BareStand::on_load_changed), this);
        if (pieces_.guard) {
            // The pane's own policy handler (failures, server errors) sits beside the guard's.
            attach_page_guard(view, &guard_);
            g_signal_connect(view, "decide-policy", G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision*,
                                                                   WebKitPolicyDecisionType, gpointer) {
                                 return FALSE;
                             }),
                             this);
            g_signal_connect(view, "load-failed",
                             G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar*, GError*, gpointer) {
                                 return TRUE;
                             }),
                             this);
        }
        if (pieces_.watch) {
            WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(view);
            WebKitUserScript* watch = webkit_user_script_new_for_world(
                scroll_watch_script().c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kScrollWorld, nullptr, nullptr);
            webkit_user_content_manager_add_script(content, watch);
            webkit_user_script_unref(watch);
            webkit_user_content_manager_register_script_message_handler_in_world(content, kScrollMessage,
                                                                                 kScrollWorld);
        }
    }

    static void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
        auto* self = static_cast<BareStand*>(data);
        if (event != WEBKIT_LOAD_FINISHED)
            return;
        for (int n = 0; n < 4; ++n)
            if (self->views_[n] == view)
                self->finished_[n] = true;
        if (self->pieces_.probe) {
            const int width = gtk_widget_get_allocated_width(GTK_WIDGET(view));
            const int height = gtk_widget_get_allocated_height(GTK_WIDGET(view));
            const std::string script = page_probe_script(width, height);
            webkit_web_view_evaluate_javascript(view, script.c_str(), static_cast<gssize>(script.size()),
                                                kScrollWorld, nullptr, nullptr, &BareStand::drop_result, nullptr);
        }
    }

    static gboolean ping_all(gpointer data) {
        for (WebKitWebView* view : static_cast<BareStand*>(data)->views_)
            webkit_web_view_evaluate_javascript(view, "0", 1, nullptr, nullptr, nullptr, &BareStand::drop_result,
                                                nullptr);
        return G_SOURCE_CONTINUE;
    }

    static void drop_result(GObject* view, GAsyncResult* result, gpointer) {
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, nullptr))
            g_object_unref(value);
    }

    bool wait_loads() {
        const bool loaded = wait_until(
            [&] {
                for (int n = 0; n < 4; ++n)
                    if (!finished_[n] || webkit_web_view_is_loading(views_[n]))
                        return false;
                return true;
            },
            kLoadDeadline);
        finished_ = {};
        return loaded;
    }

    BenchPanes panes_;
    Pieces pieces_;
    bool navigate_;
    GtkWidget* window_ = nullptr;
    std::array<WebKitWebView*, 4> views_{};
    std::array<bool, 4> finished_{};
    PageGuard guard_{true, {}};
    guint ping_ = 0;
};

// PSS and its anonymous part, in MiB, of one process.
struct Memory {
    double pss = 0;
    double anon = 0;
};

struct Figures {
    int cycle = 0;
    Memory ui;
    Memory network;
    // Page processes in the order they started: the panes' first loads started them in
    // pane order. Their pids show that no process was replaced meanwhile.
    std::vector<Memory> pages;
    std::vector<pid_t> page_pids;
    int fds = 0;
    int threads = 0;
    double tick_median_ms = 0;
    double wall_s = 0;
    std::string load_average;
};

double mib(long long kib) { return static_cast<double>(kib) / 1024.0; }

Memory memory_of(pid_t pid) { return {mib(pss_kib(pid).value_or(0)), mib(anon_pss_kib(pid).value_or(0))}; }

// The server's process, when there is one, is left out of every figure.
pid_t g_server_pid = -1;

Figures sample_tree(int cycle) {
    Figures figures;
    figures.cycle = cycle;
    std::vector<ProcessSample> tree = sample_process_tree(getpid());
    std::erase_if(tree, [](const ProcessSample& process) { return process.pid == g_server_pid; });
    std::stable_sort(tree.begin(), tree.end(),
                     [](const ProcessSample& a, const ProcessSample& b) { return a.start_time < b.start_time; });
    for (const ProcessSample& process : tree) {
        if (process.pid == getpid())
            figures.ui = memory_of(process.pid);
        else if (process.name.find("WebProces") != std::string::npos) {
            figures.pages.push_back(memory_of(process.pid));
            figures.page_pids.push_back(process.pid);
        } else if (process.name.find("Network") != std::string::npos)
            figures.network = memory_of(process.pid);
        figures.fds += open_fd_count(process.pid).value_or(0);
        figures.threads += thread_count(process.pid).value_or(0);
    }
    return figures;
}

void keep_lowest(Memory& kept, const Memory& next) {
    kept.pss = std::min(kept.pss, next.pss);
    kept.anon = std::min(kept.anon, next.anon);
}

std::string load_average() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Memory figure by figure: the lower of the two, for the same page processes only.
void keep_lowest(Figures& kept, const Figures& next) {
    keep_lowest(kept.ui, next.ui);
    keep_lowest(kept.network, next.network);
    if (next.page_pids == kept.page_pids)
        for (std::size_t i = 0; i < kept.pages.size(); ++i) keep_lowest(kept.pages[i], next.pages[i]);
}

// Pages leave garbage that their engine collects when it sees fit, which on a page that
// runs little script of its own can take a hundred reloads: one sample could land
// before or after a collection and swing by several MiB. What a process really keeps is
// the lowest it falls to, so the figures are the lowest of the samples taken through the
// last cycles (floor) and of a few a second apart at their end.
Figures measure_tree(int cycle, const Figures& floor, std::vector<double> last_ticks, Clock::time_point start) {
    constexpr int kSamples = 5;
    Figures figures = sample_tree(cycle);
    if (!floor.page_pids.empty())
        keep_lowest(figures, floor);
    for (int sample = 1; sample < kSamples; ++sample) {
        run_main_loop_for(std::chrono::seconds(1));
        const Figures next = sample_tree(cycle);
        keep_lowest(figures, next);
        figures.fds = std::max(figures.fds, next.fds);
        figures.threads = std::max(figures.threads, next.threads);
    }
    if (!last_ticks.empty()) {
        std::nth_element(last_ticks.begin(), last_ticks.begin() + static_cast<long>(last_ticks.size() / 2),
                         last_ticks.end());
        figures.tick_median_ms = last_ticks[last_ticks.size() / 2];
    }
    figures.wall_s = std::chrono::duration<double>(Clock::now() - start).count();
    figures.load_average = load_average();
    return figures;
}

void print_figures(const Figures& f) {
    std::printf("cycle %d: UI %.1f (anon %.1f); network %.1f (%.1f); pages", f.cycle, f.ui.pss, f.ui.anon,
                f.network.pss, f.network.anon);
    for (std::size_t i = 0; i < f.pages.size(); ++i)
        std::printf(" %zu:%.1f (%.1f)", i + 1, f.pages[i].pss, f.pages[i].anon);
    std::printf("; fds %d; threads %d; tick median %.4f ms; wall %.0f s; load %s\n", f.fds, f.threads,
                f.tick_median_ms, f.wall_s, f.load_average.c_str());
    std::fflush(stdout);
}

void print_pids(const Figures& f) {
    std::printf("page processes at cycle %d, in order of start:", f.cycle);
    for (pid_t pid : f.page_pids) std::printf(" %d", static_cast<int>(pid));
    std::printf("\n");
}

void print_growth(const Figures& from, const Figures& to) {
    std::printf("growth from cycle %d to cycle %d, MiB PSS (anonymous):\n", from.cycle, to.cycle);
    const auto print_memory = [](const std::string& what, const Memory& a, const Memory& b) {
        std::printf("%s: %+.1f (%+.1f) = %+.1f %% (%+.1f %%)\n", what.c_str(), b.pss - a.pss, b.anon - a.anon,
                    a.pss > 0 ? (b.pss - a.pss) / a.pss * 100 : 0, a.anon > 0 ? (b.anon - a.anon) / a.anon * 100 : 0);
    };
    print_memory("UI process", from.ui, to.ui);
    print_memory("network process", from.network, to.network);
    if (from.page_pids == to.page_pids)
        for (std::size_t i = 0; i < from.pages.size(); ++i)
            print_memory("page process " + std::to_string(i + 1), from.pages[i], to.pages[i]);
    else
        std::printf("page processes: not comparable, a process was replaced\n");
    std::printf("file descriptors: %+d\n", to.fds - from.fds);
    std::printf("threads: %+d\n", to.threads - from.threads);
    std::printf("tick median: %+.4f ms\n", to.tick_median_ms - from.tick_median_ms);
    std::printf("wall time: %.0f s for %d cycles\n", to.wall_s - from.wall_s, to.cycle - from.cycle);
}

int measure(int argc, char** argv, const BenchFolder& folder) {
    Options options;
    if (!parse_options(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: soak_bench [cycles, at least %d] [--navigate] [--light] [--dashboards] "
                     "[--server-inside] [--trim] [--bare[=watch,probe,ping,guard,writes|all]]\n",
                     kFirstReport);
        return 2;
    }
    const std::function<std::string(int)> page = [&options](int n) {
        if (options.dashboards)
            return bench_dashboard_page(n);
        return n == 4 && !options.light ? heavy_page() : bench_page(n);
    };
    std::unique_ptr<ServerProcess> server_process;
    BenchPanes panes;
    if (!options.server_inside) {
        server_process = std::make_unique<ServerProcess>(page);
        if (!server_process->ready()) {
            std::fprintf(stderr, "soak_bench: the pages' server did not start\n");
            return 1;
        }
        panes = server_process->panes();
        g_server_pid = server_process->pid();
    }
    if (!start_gtk(argc, argv, folder.path() / "home")) {
        std::fprintf(stderr, "soak_bench: no display; run it under xvfb-run -a\n");
        return 1;
    }
    std::unique_ptr<LocalHttpServer> server;
    if (options.server_inside) {
        server = std::make_unique<LocalHttpServer>();
        panes = serve_bench_pages(*server, page);
    }
    std::unique_ptr<Stand> stand;
    if (options.bare) {
        auto bare = std::make_unique<BareStand>(panes, options.pieces, options.navigate);
        if (!bare->show()) {
            std::fprintf(stderr, "soak_bench: the four pages did not load within 60 s\n");
            return 1;
        }
        stand = std::move(bare);
    } else {
        write_settings_file(folder.path() / "dati.cfg", panes, 0);
        auto program = std::make_unique<ProgramStand>(folder.path() / "dati.cfg", panes, options.navigate);
        if (!program->show())
            return 1;
        stand = std::move(program);
    }

    const auto start = Clock::now();
    std::vector<double> ticks;
    Figures first;
    Figures last;
    Figures floor;
    for (int cycle = 1; cycle <= options.cycles; ++cycle) {
        if (!stand->load_all(cycle)) {
            std::fprintf(stderr, "soak_bench: cycle %d did not finish loading within 60 s\n", cycle);
            return 1;
        }
        // Long enough for the scripts of the new pages to start, as between real ticks.
        run_main_loop_for(std::chrono::milliseconds(20));
        const auto tick_start = Clock::now();
        stand->tick();
        ticks.push_back(Millis(Clock::now() - tick_start).count());
        if (ticks.size() > kTickWindow)
            ticks.erase(ticks.begin());
        // Through the second half of each hundred, when the pages have settled after the start.
        if (cycle % kFloorEvery == 0 && cycle % kReportEvery >= kReportEvery / 2) {
            const Figures next = sample_tree(cycle);
            if (floor.page_pids.empty())
                floor = next;
            else
                keep_lowest(floor, next);
        }
        if (cycle % kReportEvery == 0 || cycle == options.cycles) {
            // What the allocator keeps free is no leak, but it shows as the process's memory.
            if (options.trim)
                malloc_trim(0);
            last = measure_tree(cycle, floor, ticks, start);
            floor = Figures{};
            if (cycle == kFirstReport) {
                first = last;
                print_pids(first);
            }
            print_figures(last);
        }
    }
    print_pids(last);
    print_growth(first, last);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    platform::send_engine_allocations_through_malloc(argv);
    return run_bench("soak-bench", [&](const BenchFolder& folder) { return measure(argc, argv, folder); });
}
