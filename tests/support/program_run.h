#pragma once
// Runs a built program as a user would, from a test: to its end, or in the
// background while the test talks to it. The environment is the test's own with
// changes: "NAME=VALUE" sets, a bare "NAME" removes.

#include <glib.h>

#include <string>
#include <vector>

struct ProgramRun {
    int status = -1;  // exit status, or 128 + signal
    std::string out, err;
};

ProgramRun run_program(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes = {});

// Started on construction; ended with SIGTERM on destruction, or with end(SIGKILL) as by
// a power cut. Its standard error goes to a file that err() reads back at any time.
class RunningProgram {
public:
    RunningProgram(const std::vector<std::string>& argv, const std::vector<std::string>& env_changes = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    std::string err() const;
    bool ended();  // reaps it when it has
    int end(int signal);  // its exit status, or 128 + signal; -1 when it had ended already

private:
    GPid pid_ = 0;
    std::string err_file_;
    bool ended_ = false;
};
