// Running programs from the tests that drive whole programs and packages. A program gets its
// arguments as a list, straight through posix_spawn: no shell reads a command string, so a
// path or value may hold any character.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace shell {

struct Command {
    std::vector<std::string> arguments;  // the program (looked up on PATH), then its arguments
    // NAME=value settings on top of the test's own; a bare NAME leaves that variable out.
    std::vector<std::string> environment = {};
    std::string directory = {};  // where it runs; empty: where the test runs
};

// What Capture keeps: the program's output and errors together, its errors alone, or its
// output alone (a picture it prints, say).
enum class Keep { Everything, Errors, Output };

struct Output {
    int status = -1;  // the exit status; -1 when the program did not start or exit, or it is lost
    std::string output;

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(output);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

namespace detail {
// The test's environment with `settings` in place of the variables they name.
inline std::vector<std::string> Environment(const std::vector<std::string>& settings) {
    std::vector<std::string> environment = {};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        bool replaced = false;
        for (const std::string& setting : settings) {
            const std::string name = setting.substr(0, setting.find('=')) + "=";
            replaced = replaced || variable.compare(0, name.size(), name) == 0;
        }
        if (!replaced) {
            environment.push_back(variable);
        }
    }
    for (const std::string& setting : settings) {
        if (setting.find('=') != std::string::npos) {
            environment.push_back(setting);
        }
    }
    return environment;
}

inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& text : strings) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}
}  // namespace detail

// Runs the command to its end and collects what it writes.
inline Output Capture(const Command& command, Keep keep = Keep::Everything) {
    Output run;
    int ends[2];
    if (command.arguments.empty() || pipe2(ends, O_CLOEXEC) != 0) {
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keep == Keep::Errors) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    }
    if (keep == Keep::Output) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, ends[1], STDERR_FILENO);
    }
    if (!command.directory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, command.directory.c_str());
    }
    std::vector<std::string> arguments = command.arguments;
    std::vector<std::string> environment = detail::Environment(command.environment);
    std::vector<char*> argv = detail::Pointers(arguments);
    std::vector<char*> envp = detail::Pointers(environment);
    pid_t pid;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (spawned == 0) {
        char buffer[4096];
        for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) != 0;) {
            if (n > 0) {
                run.output.append(buffer, static_cast<size_t>(n));
            }
        }
        // Only an interrupted wait is waited again: one that fails otherwise (the child reaped
        // already, where SIGCHLD is ignored) leaves the status unknown.
        int status = 0;
        pid_t waited;
        while ((waited = waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
        }
        run.status = waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    close(ends[0]);
    return run;
}

// Whether the command ran and succeeded.
inline bool Run(const Command& command) {
    return Capture(command).status == 0;
}

// Whether a program of that name is on PATH.
inline bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (access(((folder.empty() ? "." : folder) + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

// The processor time, user and system, that a process has used so far, in seconds: a measure
// of its own work that a busy machine leaves as it is. 0 where the process is gone.
inline double ProcessorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // Counted after the command name, which may hold spaces: utime and stime are the 14th and
    // 15th fields of the line.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) {
        fields >> skipped;
    }
    unsigned long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace shell
