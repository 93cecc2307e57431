// Sending an invitation page of several megabytes (mostly Base64 lines, as the invitation's
// embedded archives are) through the SMTP dialogue to a connection that only counts: the cost
// of composing the message, how many writes reach the connection, and that the page is never
// copied whole (the largest single allocation during a send).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "mail/base64.h"
#include "mail/smtp/mail_manager.h"

// The replacement pair is malloc/free on both sides; GCC cannot see that across inlined
// library code.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
namespace {

std::atomic<std::size_t> largestAllocation{0};

}  // namespace

void* operator new(std::size_t size) {
    std::size_t seen = largestAllocation.load(std::memory_order_relaxed);
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

using namespace kavelune;

// Answers every command at once and swallows the message.
class CountingConnection final : public MailConnection {
public:
    explicit CountingConnection(std::size_t& writes) : writes_(writes) {}

    bool write(std::string_view data) override {
        ++writes_;
        if (data.starts_with("EHLO") || data.starts_with("MAIL") || data.starts_with("RCPT") ||
            data.ends_with("\r\n.\r\n"))
            pending_ += "250 ok\r\n";
        else if (data.starts_with("DATA"))
            pending_ += "354 go on\r\n";
        else if (data.starts_with("QUIT"))
            pending_ += "221 bye\r\n";
        return true;
    }
    bool readSome(std::string& appendTo, std::chrono::milliseconds) override {
        if (pending_.empty())
            return false;
        appendTo += pending_;
        pending_.clear();
        return true;
    }
    bool startTls(const std::string&) override { return false; }
    void close() override {}

private:
    std::size_t& writes_;
    std::string pending_ = "220 ready\r\n";
};

class CountingConnector final : public MailConnector {
public:
    std::size_t writes = 0;  // by the last connection
    std::unique_ptr<MailConnection> connect(const std::string&, std::uint16_t, bool, std::chrono::milliseconds,
                                            std::string&) override {
        writes = 0;
        return std::make_unique<CountingConnection>(writes);
    }
};

std::string page(std::size_t megabytes) {
    const std::size_t archiveSize = megabytes * 1024 * 1024 * 3 / 4;  // Base64 makes 4 of every 3
    std::string archive;
    archive.reserve(archiveSize);
    for (std::size_t i = 0; i < archiveSize; ++i)
        archive += static_cast<char>(i * 31 % 251 + 1);
    return "<html><body>\n<param value=\"\n" + base64Encode(archive) + "\">\n</body></html>\n";
}

void sendPage(benchmark::State& state) {
    const std::string html = page(static_cast<std::size_t>(state.range(0)));
    CountingConnector connector;
    std::size_t writes = 0;
    std::size_t largest = 0;
    for (auto _ : state) {
        MailManager manager(kInvitationMailerHeader, connector);
        SendMailRequest request;
        request.recipients = {{"friend@example.org", ""}};
        request.subject = "Invitation";
        request.plainBody = "Dance with me";
        request.htmlBody = html;
        request.server = "127.0.0.1";
        request.sender = {"me@example.org", ""};
        request.charset = "ISO-8859-1";
        largestAllocation = 0;
        const std::string result = manager.Send(request);
        largest = largestAllocation;
        if (result != "OK")
            state.SkipWithError(result.c_str());
        writes = connector.writes;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * html.size()));
    state.counters["writes"] = static_cast<double>(writes);
    state.counters["largest_alloc_KiB"] = static_cast<double>(largest) / 1024.0;
    state.counters["page_KiB"] = static_cast<double>(html.size()) / 1024.0;
}
BENCHMARK(sendPage)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void encodeBase64(benchmark::State& state) {
    const std::string archive(4 * 1024 * 1024, 'k');
    for (auto _ : state)
        benchmark::DoNotOptimize(base64Encode(archive));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * archive.size()));
}
BENCHMARK(encodeBase64)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
