#pragma once

// A program the test starts and ends itself, with extra environment variables and its
// standard output sent to a file.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kavelune::testing {

class ChildProcess {
public:
    ChildProcess(std::vector<std::string> arguments, std::vector<std::pair<std::string, std::string>> environment,
                 const std::string& outputFile = "/dev/null") {
        pid_ = fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
            int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int null = open("/dev/null", O_WRONLY);
            if (out >= 0) dup2(out, STDOUT_FILENO);
            if (null >= 0) dup2(null, STDERR_FILENO);
            std::vector<char*> argv;
            for (auto& argument : arguments) argv.push_back(argument.data());
            argv.push_back(nullptr);
            execvp(argv[0], argv.data());
            _exit(127);
        }
    }
    ~ChildProcess() { stop(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    bool running() {
        if (pid_ <= 0) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        return true;
    }
    // Asks the program to end, and ends it for good if it does not within two seconds.
    void stop(int signal = SIGTERM) {
        if (pid_ <= 0) return;
        kill(pid_, signal);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(pid_, SIGKILL);
                waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

}  // namespace kavelune::testing
