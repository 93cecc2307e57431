#include "mail/invitation/invitation_page.h"

#include "base/code_page.h"
#include "mail/base64.h"

namespace kavelune {

std::string messageAsPageText(std::string_view message) {
    std::string out;
    out.reserve(message.size() + message.size() / 8);
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') {
            out += "<br>\n";
            ++i;
        } else if (message[i] == '\n') {
            out += "<br>\n";
        } else {
            out += message[i];
        }
    }
    return out;
}

std::string buildInvitationPage(const InvitationPageSettings& settings, std::string_view message,
                                const InvitationPayload& payload, int codePage) {
    auto text = [codePage](std::string_view utf8) { return utf8ToCodePage(utf8, codePage); };
    auto linkLine = [&](const std::string& name, const std::string& address) {
        return text(name) + " : <a href=\"" + text(address) + "\"> " + text(address) + " </a><br>\n";
    };
    std::string installer = base64Encode(payload.installerData);
    std::string content = base64Encode(payload.contentArchive);
    std::string start = base64Encode(payload.startArchive);

    std::string page;
    page.reserve(installer.size() + content.size() + start.size() + message.size() * 2 + 1024);
    page += "\n<html><title>" + text(settings.title) + "</title><body><br>\n";
    page += text(messageAsPageText(message));
    page += "\n<br><br><br>" + std::string(52, '=') + "<br>\n";
    page += linkLine(settings.serviceName, settings.serviceAddress);
    page += linkLine(settings.makerName, settings.makerAddress);
    page += "<OBJECT ID=\"" + text(settings.controlId) + "\" CLASSID=\"CLSID:" + text(settings.controlClassId) +
            "\"\n CODEBASE=\"" + text(settings.installerLocation) + "#version=1,2,0,1\">\n\n";
    page += "<PARAM NAME=\"ExitOnEnd\"\t\t\tVALUE=\"0\">\n\n";
    page += "<PARAM NAME=\"Program\"\t\t\tVALUE=\"KaveluneLE.exe\">\n\n";
    page += "<PARAM NAME=\"TempInstall\"\t\tVALUE=\"1\">\n\n";
    page += "<PARAM NAME=\"ProgramSource\"\t\tVALUE=\"\n";
    page += installer;
    page += "\n\"> <PARAM NAME=\"DataSource\" VALUE=\"\n";
    page += content;
    page += "\n\"><PARAM NAME=\"StartFileSource\" VALUE=\"\n";
    page += start;
    page += "\n\"></OBJECT></body></html>\n";
    return page;
}

}  // namespace kavelune
