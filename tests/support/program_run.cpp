#include "support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

struct Strv {
    explicit Strv(const std::vector<std::string>& items) {
        for (const auto& item : items) ptrs.push_back(const_cast<char*>(item.c_str()));
        ptrs.push_back(nullptr);
    }
    std::vector<char*> ptrs;
};

char** environment(const std::vector<std::string>& changes) {
    char** env = g_get_environ();
    for (const auto& change : changes) {
        const auto eq = change.find('=');
        env = eq == std::string::npos ? g_environ_unsetenv(env, change.c_str())
                                      : g_environ_setenv(env, change.substr(0, eq).c_str(),
                                                         change.c_str() + eq + 1, TRUE);
    }
    return env;
}

int exit_status(int wait_status) {
    return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

}  // namespace

ProgramRun run_program(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes) {
    ProgramRun r;
    Strv args(argv);
    char** env = environment(env_changes);
    char *out = nullptr, *err = nullptr;
    int wait_status = 0;
    const bool spawned = g_spawn_sync(nullptr, args.ptrs.data(), env, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out, &err,
                                      &wait_status, nullptr);
    g_strfreev(env);
    if (!spawned) throw std::runtime_error("cannot start " + argv.front());
    r.out = out;
    r.err = err;
    g_free(out);
    g_free(err);
    r.status = exit_status(wait_status);
    return r;
}

RunningProgram::RunningProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes) {
    char name[] = "/tmp/orvalis-stderr-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) throw std::runtime_error("no temporary file");
    err_file_ = name;
    Strv args(argv);
    char** env = environment(env_changes);
    const bool spawned = g_spawn_async_with_fds(nullptr, args.ptrs.data(), env, GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_SEARCH_PATH), nullptr,
                                                nullptr, &pid_, -1, -1, fd, nullptr);
    g_strfreev(env);
    close(fd);
    if (!spawned) throw std::runtime_error("cannot start " + argv.front());
}

RunningProgram::~RunningProgram() {
    if (!ended()) {
        kill(pid_, SIGTERM);
        int wait_status = 0;
        waitpid(pid_, &wait_status, 0);
    }
    g_spawn_close_pid(pid_);
    unlink(err_file_.c_str());
}

std::string RunningProgram::err() const {
    std::ifstream in(err_file_);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool RunningProgram::ended() {
    if (ended_) return true;
    int wait_status = 0;
    ended_ = waitpid(pid_, &wait_status, WNOHANG) == pid_;
    return ended_;
}
