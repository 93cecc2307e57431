#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace kavelune::posix {

namespace {

// Starts the program with `actions` (may be null); its process id, or -1.
pid_t start(const std::vector<std::string>& commandLine, const posix_spawn_file_actions_t* actions) {
    if (commandLine.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : commandLine) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    return posix_spawnp(&child, argv[0], actions, nullptr, argv.data(), environ) == 0 ? child : -1;
}

int exitStatus(pid_t child) {
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int runCollectingOutput(const std::vector<std::string>& commandLine, std::string& printed) {
    printed.clear();
    if (commandLine.empty()) return -1;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    const pid_t child = start(commandLine, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return -1;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0) {
            printed.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeEnds[0]);
    return exitStatus(child);
}

int runAndWait(const std::vector<std::string>& commandLine) {
    const pid_t child = start(commandLine, nullptr);
    return child < 0 ? -1 : exitStatus(child);
}

}  // namespace kavelune::posix
