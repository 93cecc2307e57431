#include "smtp_peer.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace kavelune::testing {
namespace {

using namespace std::chrono_literals;

template <typename Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

}  // namespace

SmtpPeer::SmtpPeer(const std::string& script, std::vector<std::string> arguments) {
    std::vector<std::string> command = {KAVELUNE_SYSTEM_PYTHON, std::string(KAVELUNE_SMTP_PEERS) + "/" + script,
                                        "--port-file", (folder_ / "port").string(), "--out",
                                        (folder_ / "record.json").string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<ChildProcess>(command, std::vector<std::pair<std::string, std::string>>{});
    // Python and aiosmtpd take a moment to start on a busy machine.
    if (waitUntil([&] { return std::filesystem::exists(folder_ / "port"); }, 15s))
        port_ = static_cast<std::uint16_t>(std::stoi(readFile(folder_ / "port")));
}

nlohmann::json SmtpPeer::finish() {
    waitUntil([&] { return !process_->running(); }, 10s);
    process_->stop();
    const auto record = folder_ / "record.json";
    if (!std::filesystem::exists(record))
        return nullptr;
    return nlohmann::json::parse(readFile(record), nullptr, false);
}

}  // namespace kavelune::testing
