#pragma once

#include <string>
#include <string_view>

namespace kavelune {

// What an installation says about itself on the page: its title, the service and maker links
// and the installer control that the receiving mail reader embeds. UTF-8.
struct InvitationPageSettings {
    std::string title = "Kavelune";
    std::string serviceName = "Kavelune";
    std::string serviceAddress = "http://kavelune.invalid/";  // the web service's site address
    std::string makerName = "Halvenor";
    std::string makerAddress = "http://halvenor.invalid/";
    std::string controlId = "KaveluneInstaller";
    std::string controlClassId = "5B1F7C2E-3A94-4D60-8E1B-9C7A2F4D6E31";
    std::string installerLocation = "http://kavelune.invalid/install/KaveluneInstaller.cab";
};

// The three files the page carries, as raw bytes.
struct InvitationPayload {
    std::string installerData;  // the program's installer data (KaveluneLE.bin), opaque here
    std::string contentArchive; // zip of the current content
    std::string startArchive;   // zip holding kavelune.txt alone
};

// The user's message for the page: every line end (CR LF, and the lone LF of the desktop's text
// boxes) becomes "<br>" and a line feed.
std::string messageAsPageText(std::string_view message);

// The invitation page, byte for byte: the title and the message, the two link lines, the
// installer control with its ExitOnEnd, Program, TempInstall, ProgramSource, DataSource and
// StartFileSource parameters, the last three holding the payload in the mail's Base64 (with its
// line feeds). Texts go out in `codePage` (1252, 949 or 932).
std::string buildInvitationPage(const InvitationPageSettings& settings, std::string_view message,
                                const InvitationPayload& payload, int codePage);

// The parameter names the receiving side looks for.
inline constexpr const char* kProgramSourceParameter = "ProgramSource";
inline constexpr const char* kDataSourceParameter = "DataSource";
inline constexpr const char* kStartFileSourceParameter = "StartFileSource";

}  // namespace kavelune
