#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>

#include "mail/mime/body_lines.h"
#include "mail/mime/mail_date.h"
#include "mail/mime/mime_message.h"

namespace kavelune {
namespace {

struct StringSink final : MessageSink {
    std::string bytes;
    bool cancel = false;
    bool write(std::string_view more) override {
        bytes.append(more);
        return true;
    }
    bool cancelRequested() const override { return cancel; }
};

class InZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        saved_ = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", "JST-9", 1);
        tzset();
    }
    void TearDown() override {
        saved_ ? setenv("TZ", saved_->c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(InZone, DateHeaderIsEnglishLocalTimeWithTheZoneName) {
    EXPECT_EQ(formatMailDate(0), "Thu, 01 Jan 1970 09:00:00 JST");
    EXPECT_EQ(formatMailDate(1700000000), "Wed, 15 Nov 2023 07:13:20 JST");
}

TEST_F(InZone, MessageIsWrittenByteForByte) {
    const std::string plain = "Hello\r\n.\r\nBye";
    const std::string html = "<p>Hi</p>\n.hidden\n<p>end</p>";
    MimeMessage message;
    message.mailerHeader = "X-Mailer: Kavelune By Halvenor \r\n";
    message.toAddress = "first@example.org";
    message.fromAddress = "me@example.org";
    message.replyToAddress = "me@example.org";
    message.subject = "Dance\r\nBcc: injected@example.org";
    message.charset = "euc-kr";
    message.plainBody = plain;
    message.htmlBody = html;
    message.date = 0;
    StringSink sink;
    ASSERT_EQ(writeMimeMessage(message, sink).status, MimeWriteResult::Status::Written);
    EXPECT_EQ(sink.bytes,
              "Date: Thu, 01 Jan 1970 09:00:00 JST\r\n"
              "X-Mailer: Kavelune By Halvenor \r\n"
              "To: <first@example.org>\r\n"
              "From: <me@example.org>\r\n"
              "Reply-To: <me@example.org>\r\n"
              "Subject: Dance  Bcc: injected@example.org\r\n"
              "MIME-Version: 1.0\r\nContent-type: multipart/alternative;\r\n\tboundary=\"#BOUNDARY#\"\r\n\r\n"
              "This is a multi-part message in MIME format.\r\n\r\n"
              "--#BOUNDARY#\r\nContent-Type: text/plain;\r\n\tcharset=\"euc-kr\"\r\n"
              "Content-Transfer-Encoding: 8bit\r\n"
              "\r\n"
              "Hello\r\n..\r\nBye"
              "\r\n"
              "\r\n--#BOUNDARY#\r\nContent-Type: text/html;\r\n\tcharset=\"euc-kr\"\r\n"
              "Content-Transfer-Encoding:  8bit\r\n\r\n"
              "<p>Hi</p>\r\n..hidden\r\n<p>end</p>\r\n"
              "\r\n--#BOUNDARY#--");
}

TEST(BodyLines, LineBreaksAndLeadingPeriods) {
    const std::string longLine = "." + std::string(3000, 'a');
    const std::string crAtStepEnd = std::string(2047, 'b') + "\r\nc";
    struct Row {
        std::string body;
        bool html;
        std::string expected;
    };
    const Row rows[] = {
        {"a\nb", true, "a\r\nb\r\n"},
        {"a\nb\n", true, "a\r\nb\r\n\r\n"},  // a final line feed leaves an empty last line
        {"", true, "\r\n"},
        {"a\r\nb", true, "a\r\nb\r\n"},  // a carriage return before the line feed is not doubled
        {".\n..x\n.", true, "..\r\n...x\r\n..\r\n"},
        {"l1\r\n.\r\nl3", false, "l1\r\n..\r\nl3"},
        {"x\ny\n", false, "x\r\ny\r\n"},
        {".lead", false, "..lead"},
        {"a\rb", false, "a\rb"},
        {longLine, true, "." + longLine + "\r\n"},
        {crAtStepEnd, true, std::string(2047, 'b') + "\r\nc\r\n"},
    };
    for (const Row& row : rows) {
        StringSink sink;
        BodyLineOptions options;
        options.breakAfterLastLine = row.html;
        EXPECT_EQ(writeBodyLines(sink, row.body, options), BodyWriteStatus::Written);
        EXPECT_EQ(sink.bytes, row.expected) << row.body.substr(0, 40);
    }
}

TEST(BodyLines, OneProgressStepPer2048Characters) {
    const std::pair<std::size_t, int> rows[] = {{0, 0}, {2047, 0}, {2048, 1}, {4095, 1}, {4096, 2}, {10000, 4}};
    for (const auto& [length, steps] : rows) {
        for (const char filler : {'x', '\n'}) {
            int counted = 0;
            const std::function<void()> step = [&] { ++counted; };
            BodyLineOptions options;
            options.breakAfterLastLine = true;
            options.progressStep = &step;
            StringSink sink;
            writeBodyLines(sink, std::string(length, filler), options);
            EXPECT_EQ(counted, steps) << length << " characters of " << int(filler);
        }
    }
}

}  // namespace
}  // namespace kavelune
