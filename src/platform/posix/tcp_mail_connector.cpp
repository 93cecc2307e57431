#include "platform/posix/tcp_mail_connector.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "mail/smtp/smtp_texts.h"
#include "platform/posix/host_lookup.h"
#include "platform/posix/socket_wait.h"
#include "platform/posix/tls_channel.h"

namespace kavelune::posix {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kWriteChunk = 16 * 1024;

class TcpMailConnection final : public MailConnection {
public:
    TcpMailConnection(int descriptor, std::chrono::milliseconds timeout) : descriptor_(descriptor), timeout_(timeout) {}
    ~TcpMailConnection() override { close(); }

    bool write(std::string_view bytes) override {
        if (descriptor_ < 0)
            return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const std::size_t size = std::min(bytes.size() - done, kWriteChunk);
            short waitEvents = 0;
            long sent;
            if (tls_) {
                sent = tls_->write(bytes.data() + done, size, waitEvents);
            } else {
                sent = ::send(descriptor_, bytes.data() + done, size, MSG_NOSIGNAL);
                if (sent < 0)
                    waitEvents = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? POLLOUT : 0;
            }
            if (sent > 0) {
                done += static_cast<std::size_t>(sent);
                continue;
            }
            // The time-out counts from the last progress: a slow but moving upload goes on.
            if (sent == 0 || waitEvents == 0 || !waitForSocket(descriptor_, waitEvents, deadlineAfter(timeout_)))
                return false;
        }
        return true;
    }

    bool readSome(std::string& appendTo, std::chrono::milliseconds timeout) override {
        if (descriptor_ < 0)
            return false;
        const Deadline deadline = deadlineAfter(timeout);
        char buffer[kReadChunk];
        for (;;) {
            short waitEvents = 0;
            long received;
            if (tls_) {
                received = tls_->read(buffer, sizeof buffer, waitEvents);
            } else {
                received = ::recv(descriptor_, buffer, sizeof buffer, 0);
                if (received < 0)
                    waitEvents = errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? POLLIN : 0;
            }
            if (received > 0) {
                appendTo.append(buffer, static_cast<std::size_t>(received));
                return true;
            }
            if (received == 0 || waitEvents == 0)
                return false;
            // A time-out comes only once the deadline has passed: callers tell it from a
            // closed connection by the time that went by.
            if (!waitForSocket(descriptor_, waitEvents, deadline))
                return false;
        }
    }

    bool startTls(const std::string& hostName) override {
        if (descriptor_ < 0 || tls_)
            return false;
        auto channel = std::make_unique<TlsChannel>();
        if (!channel->handshake(descriptor_, hostName, deadlineAfter(timeout_), failureReason_))
            return false;
        tls_ = std::move(channel);
        return true;
    }

    void close() override {
        if (descriptor_ < 0)
            return;
        if (tls_)
            tls_->shutdown();
        ::shutdown(descriptor_, SHUT_RDWR);
        ::close(descriptor_);
        descriptor_ = -1;
        tls_.reset();
    }

    std::string failureReason() const override { return failureReason_; }

private:
    int descriptor_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<TlsChannel> tls_;
    std::string failureReason_;
};

enum class ConnectResult { Connected, Refused, NoSocket, TimedOut };

ConnectResult connectSocket(const SocketAddress& address, Deadline deadline, int& descriptor) {
    descriptor = ::socket(address.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return ConnectResult::NoSocket;
    if (::connect(descriptor, reinterpret_cast<const sockaddr*>(&address.address), address.length) == 0)
        return ConnectResult::Connected;
    ConnectResult result = ConnectResult::Refused;
    if (errno == EINPROGRESS) {
        if (!waitForSocket(descriptor, POLLOUT, deadline)) {
            result = ConnectResult::TimedOut;
        } else {
            int error = 0;
            socklen_t length = sizeof error;
            if (::getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0)
                return ConnectResult::Connected;
        }
    }
    ::close(descriptor);
    descriptor = -1;
    return result;
}

}  // namespace

std::unique_ptr<MailConnection> TcpMailConnector::connect(const std::string& host, std::uint16_t port,
                                                          bool implicitTls, std::chrono::milliseconds timeout,
                                                          std::string& error) {
    const Deadline deadline = deadlineAfter(timeout);
    std::vector<SocketAddress> addresses;
    switch (lookUpHost(host, port, deadline, addresses)) {
    case LookupResult::Found:
        break;
    case LookupResult::NotFound:
        error = kNoMailHostText;
        return nullptr;
    case LookupResult::TimedOut:
        error = kNoMailHostText + timedOutNote(timeout);
        return nullptr;
    }

    // Every address the name has is tried in turn (IPv6 and IPv4 alike) until one answers.
    int descriptor = -1;
    ConnectResult last = ConnectResult::Refused;
    bool anySocket = false;
    for (const SocketAddress& address : addresses) {
        last = connectSocket(address, deadline, descriptor);
        anySocket = anySocket || last != ConnectResult::NoSocket;
        if (last == ConnectResult::Connected || last == ConnectResult::TimedOut)
            break;
    }
    if (last != ConnectResult::Connected) {
        error = !anySocket ? kNoSocketText
                : last == ConnectResult::TimedOut ? kConnectFailedText + timedOutNote(timeout)
                                                  : kConnectFailedText;
        return nullptr;
    }

    auto connection = std::make_unique<TcpMailConnection>(descriptor, timeout);
    if (implicitTls && !connection->startTls(host)) {
        error = std::string(kTlsFailedText) + ": " + connection->failureReason();
        return nullptr;
    }
    return connection;
}

}  // namespace kavelune::posix
