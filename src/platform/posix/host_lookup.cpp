#include "platform/posix/host_lookup.h"

#include <netdb.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace kavelune::posix {
namespace {

struct LookupJob {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::vector<SocketAddress> addresses;
};

std::vector<SocketAddress> resolve(const std::string& host, const std::string& service, int flags) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    // No AI_ADDRCONFIG: it hides "localhost" on a machine with only a loopback interface, and an
    // address of a family we cannot reach simply fails to connect and the next one is tried.
    hints.ai_flags = flags | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::vector<SocketAddress> addresses;
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0)
        return addresses;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
        if (entry->ai_addrlen > sizeof(sockaddr_storage))
            continue;
        SocketAddress address;
        std::memcpy(&address.address, entry->ai_addr, entry->ai_addrlen);
        address.length = entry->ai_addrlen;
        address.family = entry->ai_family;
        addresses.push_back(address);
    }
    freeaddrinfo(found);
    return addresses;
}

}  // namespace

LookupResult lookUpHost(const std::string& host, std::uint16_t port, Deadline deadline,
                        std::vector<SocketAddress>& addresses) {
    const std::string service = std::to_string(port);
    // A numeric address is taken as it is: no lookup, so nothing that could hang.
    addresses = resolve(host, service, AI_NUMERICHOST);
    if (!addresses.empty())
        return LookupResult::Found;

    // getaddrinfo has no time-out of its own: a name is looked up on a thread of its own and
    // the caller waits no longer than its deadline.
    auto job = std::make_shared<LookupJob>();
    try {
        std::thread([job, host, service] {
            std::vector<SocketAddress> found = resolve(host, service, 0);
            const std::lock_guard lock(job->mutex);
            job->addresses = std::move(found);
            job->done = true;
            job->finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        addresses = resolve(host, service, 0);  // no thread to spare: look it up here
        return addresses.empty() ? LookupResult::NotFound : LookupResult::Found;
    }

    std::unique_lock lock(job->mutex);
    if (!job->finished.wait_until(lock, deadline, [&] { return job->done; }))
        return LookupResult::TimedOut;
    addresses = std::move(job->addresses);
    return addresses.empty() ? LookupResult::NotFound : LookupResult::Found;
}

}  // namespace kavelune::posix
