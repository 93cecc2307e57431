#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/posix/socket_wait.h"

namespace kavelune::posix {

struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
    int family = 0;
};

enum class LookupResult { Found, NotFound, TimedOut };

// The addresses of `host` (a name, or a numeric IPv4/IPv6 address used as it is, without any
// reverse lookup) for a TCP connection to `port`. A name lookup that outlasts the deadline is
// left to finish on its own thread while the caller moves on.
LookupResult lookUpHost(const std::string& host, std::uint16_t port, Deadline deadline,
                        std::vector<SocketAddress>& addresses);

}  // namespace kavelune::posix
