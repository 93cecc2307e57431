#include "sent_page_recorder.h"

#include "mail/invitation/mail_html_part.h"

namespace kvl {

namespace {

class RecordingConnection final : public kavelune::MailConnection {
public:
    RecordingConnection(std::unique_ptr<kavelune::MailConnection> real, std::shared_ptr<std::string> written)
        : real_(std::move(real)), written_(std::move(written)) {}

    bool write(std::string_view bytes) override {
        written_->append(bytes);
        return real_->write(bytes);
    }
    bool readSome(std::string& appendTo, std::chrono::milliseconds timeout) override {
        return real_->readSome(appendTo, timeout);
    }
    bool startTls(const std::string& hostName) override { return real_->startTls(hostName); }
    void close() override { real_->close(); }
    std::string failureReason() const override { return real_->failureReason(); }

private:
    std::unique_ptr<kavelune::MailConnection> real_;
    std::shared_ptr<std::string> written_;
};

// Lines that begin with a period went out with a second one in front (SMTP's transparency).
std::string withoutDotStuffing(std::string_view data) {
    std::string message;
    message.reserve(data.size());
    bool lineStart = true;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (lineStart && data[i] == '.' && i + 1 < data.size() && data[i + 1] == '.') continue;
        message.push_back(data[i]);
        lineStart = data[i] == '\n';
    }
    return message;
}

}  // namespace

std::unique_ptr<kavelune::MailConnection> SentPageRecorder::connect(const std::string& host, std::uint16_t port,
                                                                    bool implicitTls, std::chrono::milliseconds timeout,
                                                                    std::string& error) {
    std::unique_ptr<kavelune::MailConnection> connection = real_.connect(host, port, implicitTls, timeout, error);
    if (!connection) return nullptr;
    return std::make_unique<RecordingConnection>(std::move(connection), written_);
}

bool SentPageRecorder::sentPage(std::string& page) const {
    // The commands before DATA are one line each, so the first DATA line is the command itself;
    // the message runs from there to the lone period that ends it.
    const std::string& written = *written_;
    const std::size_t data = written.find("\r\nDATA\r\n");
    if (data == std::string::npos) return false;
    const std::size_t start = data + 8;
    const std::size_t end = written.find("\r\n.\r\n", start);
    if (end == std::string::npos) return false;
    return kavelune::htmlOfSavedMail(withoutDotStuffing(std::string_view(written).substr(start, end + 2 - start)), page);
}

}  // namespace kvl
