#include "platform/posix/tls_channel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>

namespace kavelune::posix {
namespace {

// OpenSSL's own socket BIO writes with plain write(), and a peer that has gone away would
// then raise SIGPIPE and end the whole program. This one sends with MSG_NOSIGNAL.
int socketFrom(BIO* bio) { return static_cast<int>(reinterpret_cast<std::intptr_t>(BIO_get_data(bio))); }

bool wouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }

int bioWrite(BIO* bio, const char* data, int length) {
    BIO_clear_retry_flags(bio);
    const ssize_t sent = ::send(socketFrom(bio), data, static_cast<std::size_t>(length), MSG_NOSIGNAL);
    if (sent < 0 && wouldBlock())
        BIO_set_retry_write(bio);
    return static_cast<int>(sent);
}

int bioRead(BIO* bio, char* buffer, int size) {
    BIO_clear_retry_flags(bio);
    const ssize_t received = ::recv(socketFrom(bio), buffer, static_cast<std::size_t>(size), 0);
    if (received < 0 && wouldBlock())
        BIO_set_retry_read(bio);
    return static_cast<int>(received);
}

long bioControl(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

int bioCreate(BIO* bio) {
    BIO_set_init(bio, 1);
    return 1;
}

BIO_METHOD* noSignalSocketMethod() {
    static BIO_METHOD* const method = [] {
        BIO_METHOD* created = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "socket without SIGPIPE");
        BIO_meth_set_write(created, bioWrite);
        BIO_meth_set_read(created, bioRead);
        BIO_meth_set_ctrl(created, bioControl);
        BIO_meth_set_create(created, bioCreate);
        return created;
    }();
    return method;
}

bool isAddressLiteral(const std::string& host) {
    unsigned char buffer[16];
    return inet_pton(AF_INET, host.c_str(), buffer) == 1 || inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

std::string openSslError() {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0)
        return "the connection was closed during the handshake";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

}  // namespace

TlsChannel::~TlsChannel() {
    SSL_free(ssl_);
    SSL_CTX_free(context_);
}

bool TlsChannel::handshake(int descriptor, const std::string& hostName, Deadline deadline, std::string& reason) {
    ERR_clear_error();
    context_ = SSL_CTX_new(TLS_client_method());
    if (context_ == nullptr) {
        reason = openSslError();
        return false;
    }
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_default_verify_paths(context_) != 1) {
        reason = "the system's trusted certificates could not be loaded";
        return false;
    }

    ssl_ = SSL_new(context_);
    BIO* bio = ssl_ != nullptr ? BIO_new(noSignalSocketMethod()) : nullptr;
    if (bio == nullptr) {
        reason = openSslError();
        return false;
    }
    BIO_set_data(bio, reinterpret_cast<void*>(static_cast<std::intptr_t>(descriptor)));
    SSL_set_bio(ssl_, bio, bio);

    // The certificate must name the server we meant: its host name, or the address itself
    // when the user gave one.
    if (isAddressLiteral(hostName)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), hostName.c_str());
    } else {
        SSL_set_tlsext_host_name(ssl_, hostName.c_str());
        SSL_set1_host(ssl_, hostName.c_str());
    }

    for (;;) {
        const int result = SSL_connect(ssl_);
        if (result == 1)
            return true;
        const int error = SSL_get_error(ssl_, result);
        short events = error == SSL_ERROR_WANT_READ ? POLLIN : error == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
        if (events == 0) {
            const long verification = SSL_get_verify_result(ssl_);
            reason = verification != X509_V_OK
                         ? std::string("certificate verify failed: ") + X509_verify_cert_error_string(verification)
                         : openSslError();
            return false;
        }
        if (!waitForSocket(descriptor, events, deadline)) {
            reason = "the server did not complete the handshake in time";
            return false;
        }
    }
}

long TlsChannel::finish(int result, short& waitEvents) {
    waitEvents = 0;
    if (result > 0)
        return result;
    switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
        waitEvents = POLLIN;
        return -1;
    case SSL_ERROR_WANT_WRITE:
        waitEvents = POLLOUT;
        return -1;
    case SSL_ERROR_ZERO_RETURN:
        return 0;
    default:
        ERR_clear_error();
        return -1;
    }
}

long TlsChannel::read(char* buffer, std::size_t size, short& waitEvents) {
    return finish(SSL_read(ssl_, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX))), waitEvents);
}

long TlsChannel::write(const char* data, std::size_t size, short& waitEvents) {
    return finish(SSL_write(ssl_, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX))), waitEvents);
}

void TlsChannel::shutdown() {
    if (ssl_ != nullptr)
        SSL_shutdown(ssl_);
    ERR_clear_error();
}

}  // namespace kavelune::posix
