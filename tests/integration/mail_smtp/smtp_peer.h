#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "integration/audio/child_process.h"
#include "support/temp_folder.h"

namespace kavelune::testing {

// One of the Python SMTP servers of this folder, listening on 127.0.0.1 for the length of a
// test. What it received comes back as the JSON it writes when it ends.
class SmtpPeer {
public:
    // `script` is "aiosmtpd_peer.py" or "faulty_smtp_peer.py"; `arguments` follow it.
    SmtpPeer(const std::string& script, std::vector<std::string> arguments);

    std::uint16_t port() const { return port_; }
    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }

    // Waits (a few seconds at most) for the server to end by itself and reads its record;
    // null when it never wrote one.
    nlohmann::json finish();

private:
    TempFolder folder_;
    std::unique_ptr<ChildProcess> process_;
    std::uint16_t port_ = 0;
};

}  // namespace kavelune::testing
