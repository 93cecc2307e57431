#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

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

// Starts the program with its standard output (and, when asked, its standard error) going into a
// pipe, and the rest of `actions` applied. Returns the process id, or -1; `readEnd` is the pipe's
// end to read from, to be closed by the caller.
pid_t startWithOutputPipe(const std::vector<std::string>& commandLine, bool withStandardError,
                          posix_spawn_file_actions_t& actions, int& readEnd) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    if (withStandardError) posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    const pid_t child = start(commandLine, &actions);
    close(pipeEnds[1]);
    if (child < 0) {
        close(pipeEnds[0]);
        return -1;
    }
    readEnd = pipeEnds[0];
    return child;
}

// Reads the pipe to its end, or until more than `maxBytes` have come; false in that case.
bool readToEnd(int readEnd, std::size_t maxBytes, std::string& printed) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(readEnd, buffer, sizeof buffer);
        if (got > 0) {
            printed.append(buffer, static_cast<std::size_t>(got));
            if (printed.size() > maxBytes) return false;
        } else if (got == 0 || errno != EINTR) {
            return true;
        }
    }
}

}  // namespace

int runCollectingOutput(const std::vector<std::string>& commandLine, std::string& printed) {
    printed.clear();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int readEnd = -1;
    const pid_t child = startWithOutputPipe(commandLine, true, actions, readEnd);
    posix_spawn_file_actions_destroy(&actions);
    if (child < 0) return -1;
    readToEnd(readEnd, printed.max_size(), printed);
    close(readEnd);
    return exitStatus(child);
}

int runCollectingStandardOutput(const std::vector<std::string>& commandLine, std::size_t maxBytes,
                                std::string& printed) {
    printed.clear();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    int readEnd = -1;
    const pid_t child = startWithOutputPipe(commandLine, false, actions, readEnd);
    posix_spawn_file_actions_destroy(&actions);
    if (child < 0) return -1;
    const bool whole = readToEnd(readEnd, maxBytes, printed);
    close(readEnd);
    if (!whole) {
        kill(child, SIGKILL);
        exitStatus(child);
        printed.clear();
        return -1;
    }
    return exitStatus(child);
}

int runAndWait(const std::vector<std::string>& commandLine) {
    const pid_t child = start(commandLine, nullptr);
    return child < 0 ? -1 : exitStatus(child);
}

}  // namespace kavelune::posix
