#include "support/smtp_receiver.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <thread>
#include <vector>

#include "support/temp_folder.h"

extern char** environ;

namespace kavelune::testing {

namespace {
using namespace std::chrono_literals;
constexpr const char* kPython = "/usr/bin/python3";
}  // namespace

SmtpReceiver::SmtpReceiver(const std::filesystem::path& script, const std::filesystem::path& out, double delaySeconds)
    : out_(out) {
    std::vector<std::string> arguments = {kPython,        script.string(),
                                          "--port-file",  (out / "port").string(),
                                          "--out",        out.string(),
                                          "--received-file", (out / "received").string(),
                                          "--delay",      std::to_string(delaySeconds),
                                          "--seconds",    "60"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
}

SmtpReceiver::~SmtpReceiver() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

int SmtpReceiver::port() const {
    for (auto until = std::chrono::steady_clock::now() + 20s; pid_ > 0 && std::chrono::steady_clock::now() < until;) {
        const std::string text = readFile(out_ / "port");
        if (!text.empty()) return std::stoi(text);
        std::this_thread::sleep_for(50ms);
    }
    return 0;
}

bool SmtpReceiver::received() const { return std::filesystem::exists(out_ / "received"); }

bool SmtpReceiver::finish(std::chrono::seconds limit) {
    for (auto until = std::chrono::steady_clock::now() + limit; pid_ > 0 && std::chrono::steady_clock::now() < until;) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

}  // namespace kavelune::testing
