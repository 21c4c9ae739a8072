#include "support/program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "support/files.h"

namespace {

struct Spawn {  // argv and environment as g_spawn wants them
    Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& changes) : env(g_get_environ()) {
        for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        for (const auto& change : changes) {
            const auto eq = change.find('=');
            env = eq == std::string::npos
                      ? g_environ_unsetenv(env, change.c_str())
                      : g_environ_setenv(env, change.substr(0, eq).c_str(), change.c_str() + eq + 1, TRUE);
        }
    }
    ~Spawn() { g_strfreev(env); }
    std::vector<char*> args;
    char** env;
};

}  // namespace

ProgramRun run_program(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes) {
    Spawn spawn(argv, env_changes);
    char *out = nullptr, *err = nullptr;
    int wait_status = 0;
    if (!g_spawn_sync(nullptr, spawn.args.data(), spawn.env, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &out, &err,
                      &wait_status, nullptr))
        throw std::runtime_error("cannot start " + argv.front());
    ProgramRun r{WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status), out, err};
    g_free(out);
    g_free(err);
    return r;
}

RunningProgram::RunningProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes) {
    char name[] = "/tmp/orvalis-stderr-XXXXXX";
    const int fd = mkstemp(name);
    err_file_ = name;
    Spawn spawn(argv, env_changes);
    const bool spawned = fd >= 0 && g_spawn_async_with_fds(nullptr, spawn.args.data(), spawn.env,
                                                           GSpawnFlags(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_SEARCH_PATH),
                                                           nullptr, nullptr, &pid_, -1, -1, fd, nullptr);
    close(fd);
    if (!spawned) throw std::runtime_error("cannot start " + argv.front());
}

RunningProgram::~RunningProgram() {
    end(SIGTERM);
    unlink(err_file_.c_str());
}

int RunningProgram::end(int signal) {
    int wait_status = 0;
    if (ended() || kill(pid_, signal) != 0 || waitpid(pid_, &wait_status, 0) != pid_) return -1;
    ended_ = true;
    return WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
}

std::string RunningProgram::err() const { return file_text(err_file_); }

bool RunningProgram::ended() { return ended_ || (ended_ = waitpid(pid_, nullptr, WNOHANG) == pid_); }
