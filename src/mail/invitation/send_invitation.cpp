#include "mail/invitation/send_invitation.h"

#include "mail/invitation/mail_charset.h"
#include "mail/invitation/recipients.h"
#include "mail/smtp/mail_manager.h"

namespace kavelune {

namespace {

constexpr std::size_t kProgressStep = 2048;

bool cancelled(const SendControls& controls) {
    return controls.cancel && controls.cancel->load();
}

InvitationResult failure(std::string text, std::string caption = "Send") {
    InvitationResult result;
    result.text = std::move(text);
    result.caption = std::move(caption);
    return result;
}

}  // namespace

InvitationResult SendInvitation(MailForm& form, const InvitationContent& content, const InvitationSetup& setup,
                                MailConnector& connector, const SendControls& controls) {
    selectAccountForSender(form);

    std::vector<MailAddress> recipients;
    for (std::string& address : splitRecipients(form.recipients)) {
        recipients.push_back({utf8ToCodePage(address, setup.codePage), {}});
    }
    if (recipients.empty()) return failure("Error: no recipient address was given");
    if (cancelled(controls)) return failure(kUserBreakText);

    InvitationPayload payload;
    PackageOutcome package;
    if (!buildInvitationPayload(content, setup.sources, payload, package)) {
        if (package.installerMissing) return failure(package.error, "ERROR");
        return failure("Error: the invitation could not be packed (" + package.error + ")");
    }
    std::string page = buildInvitationPage(setup.page, form.message, payload, setup.codePage);
    payload = {};  // the page holds it now; several megabytes need not live twice
    if (cancelled(controls)) return failure(kUserBreakText);

    MailManager manager(kInvitationMailerHeader, connector, setup.serverTimeout);
    if (!form.password.empty()) manager.setPassword(form.password);

    const std::size_t range = page.size() / kProgressStep;
    std::size_t done = 0;
    if (controls.progress) controls.progress(0, range);

    SendMailRequest request;
    request.recipients = std::move(recipients);
    request.subject = utf8ToCodePage(asOneLine(form.subject), setup.codePage);
    request.plainBody = utf8ToCodePage(withCrLfLineEnds(form.message), setup.codePage);
    request.htmlBody = page;
    request.server = form.server;
    request.userName = form.userName;
    request.sender = {utf8ToCodePage(form.sender, setup.codePage), {}};
    request.replyTo = request.sender;
    request.charset = mailCharsetName(setup.codePage);
    request.cancel = controls.cancel;
    if (controls.progress) {
        request.progressStep = [&]() { controls.progress(++done, range); };
    }

    std::string outcome = manager.Send(request);
    InvitationResult result;
    result.leftOut = std::move(package.leftOut);
    result.caption = "Send";
    result.sent = outcome == "OK";
    result.text = result.sent ? kSendCompletedText : outcome;
    return result;
}

}  // namespace kavelune
