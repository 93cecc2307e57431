#pragma once

#include <cstddef>
#include <string>

#include "platform/posix/socket_wait.h"

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace kavelune::posix {

// TLS over a connected non-blocking socket with OpenSSL: the client handshake with the
// server's certificate verified against the system's trust store (OpenSSL's default paths,
// which also honour SSL_CERT_FILE and SSL_CERT_DIR) and its host name or address checked.
// The socket stays the caller's.
class TlsChannel {
public:
    TlsChannel() = default;
    ~TlsChannel();
    TlsChannel(const TlsChannel&) = delete;
    TlsChannel& operator=(const TlsChannel&) = delete;

    // False with `reason` set (for the user: "certificate verify failed: ...", "timed out").
    bool handshake(int descriptor, const std::string& hostName, Deadline deadline, std::string& reason);

    // Like recv and send on the socket: the count of bytes moved, 0 for a closed stream, or -1
    // when the socket must first become ready for `waitEvents` (POLLIN/POLLOUT) or, with
    // `waitEvents` 0, when the stream failed.
    long read(char* buffer, std::size_t size, short& waitEvents);
    long write(const char* data, std::size_t size, short& waitEvents);

    // Says goodbye (close_notify) without waiting for the server's answer.
    void shutdown();

private:
    long finish(int result, short& waitEvents);

    SSL_CTX* context_ = nullptr;
    SSL* ssl_ = nullptr;
};

}  // namespace kavelune::posix
