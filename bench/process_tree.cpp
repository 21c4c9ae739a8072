#include "process_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

std::optional<pid_t> pid_of_entry(const std::filesystem::directory_entry& entry) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<pid_t>(std::stol(name));
}

std::vector<std::string> command_line(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::vector<std::string> words;
    for (std::string word; std::getline(in, word, '\0');) words.push_back(word);
    return words;
}

}  // namespace

std::optional<ProcessSample> sample_process(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return std::nullopt;
    // The name sits in parentheses and may itself hold blanks and parentheses.
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return std::nullopt;
    ProcessSample sample;
    sample.pid = pid;
    sample.name = line.substr(open + 1, close - open - 1);
    // Fields from the state on, numbered as in proc(5) minus 3.
    std::istringstream fields(line.substr(close + 1));
    std::vector<std::string> field;
    for (std::string word; fields >> word;) field.push_back(word);
    if (field.size() < 20)
        return std::nullopt;
    sample.parent = static_cast<pid_t>(std::stol(field[1]));
    sample.own_ticks = std::stoull(field[11]) + std::stoull(field[12]);
    sample.reaped_ticks = std::stoull(field[13]) + std::stoull(field[14]);
    sample.start_time = std::stoull(field[19]);
    return sample;
}

std::vector<ProcessSample> sample_process_tree(pid_t root) {
    std::multimap<pid_t, ProcessSample> by_parent;
    std::optional<ProcessSample> root_sample;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const auto pid = pid_of_entry(entry);
        if (!pid)
            continue;
        // A process may end between the listing and the read: it is simply not there.
        if (auto sample = sample_process(*pid)) {
            if (*pid == root)
                root_sample = sample;
            else
                by_parent.emplace(sample->parent, *sample);
        }
    }
    std::vector<ProcessSample> tree;
    if (!root_sample)
        return tree;
    tree.push_back(*root_sample);
    for (std::size_t next = 0; next < tree.size(); ++next) {
        const auto [first, last] = by_parent.equal_range(tree[next].pid);
        for (auto child = first; child != last; ++child) tree.push_back(child->second);
    }
    return tree;
}

unsigned long long tree_ticks(const std::vector<ProcessSample>& tree) {
    unsigned long long total = 0;
    for (const auto& process : tree) total += process.own_ticks + process.reaped_ticks;
    return total;
}

std::optional<long long> rollup_kib(pid_t pid, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    const std::string label = field + ":";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(label, 0) == 0)
            return std::stoll(line.substr(label.size()));
    }
    return std::nullopt;
}

std::optional<long long> pss_kib(pid_t pid) { return rollup_kib(pid, "Pss"); }

std::optional<long long> anon_pss_kib(pid_t pid) { return rollup_kib(pid, "Pss_Anon"); }

static std::optional<int> entry_count(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error)
        return std::nullopt;
    int count = 0;
    for (auto it = entries; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error)
            return std::nullopt;
        ++count;
    }
    return count;
}

std::optional<int> open_fd_count(pid_t pid) { return entry_count("/proc/" + std::to_string(pid) + "/fd"); }

std::optional<int> thread_count(pid_t pid) { return entry_count("/proc/" + std::to_string(pid) + "/task"); }

std::optional<pid_t> find_x_server() {
    const char* display = std::getenv("DISPLAY");
    if (!display)
        return std::nullopt;
    std::string wanted = display;
    // ":99.0" and ":99" name the same server.
    if (const auto dot = wanted.find('.', wanted.find(':')); dot != std::string::npos)
        wanted.erase(dot);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const auto pid = pid_of_entry(entry);
        if (!pid)
            continue;
        const auto words = command_line(*pid);
        if (words.size() < 2 || std::filesystem::path(words[0]).filename() != "Xvfb")
            continue;
        for (std::size_t i = 1; i < words.size(); ++i)
            if (words[i] == wanted)
                return pid;
    }
    return std::nullopt;
}
