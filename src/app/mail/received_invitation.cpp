#include "app/mail/received_invitation.h"

#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "base/text.h"
#include "mail/invitation/open_invitation.h"
#include "mail/invitation/private_temp_folder.h"
#include "mail/invitation/safe_entry_path.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

constexpr const char* kContentFolders[] = {"Characters", "Sequences", "Sounds", "Info"};

bool refuse(ReceivedInvitation& received, std::string why) {
    received.error = std::move(why);
    received.commands.clear();
    received.unpacked.clear();
    return false;
}

// A file directly in one of the content folders or below it; the folder alone is not a file.
bool insideContentFolder(const std::string& stored) {
    std::vector<std::string> components;
    if (!safeRelativeComponents(stored, components) || components.size() < 2) return false;
    for (const char* folder : kContentFolders) {
        if (equalsNoCase(components.front(), folder)) return true;
    }
    return false;
}

bool readWhole(const fs::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    bytes = text.str();
    return !in.bad();
}

}  // namespace

bool isSavedInvitationName(const fs::path& file) {
    const std::string name = file.filename().string();
    return endsWithNoCase(name, ".eml") || endsWithNoCase(name, ".html") || endsWithNoCase(name, ".htm");
}

bool receiveInvitation(const fs::path& file, const fs::path& programFolder, const fs::path& temporaryFolder,
                       ReceivedInvitation& received) {
    received = ReceivedInvitation{};
    PrivateTempFolder staging(temporaryFolder);
    if (!staging.valid()) return refuse(received, "no private temporary folder could be made");

    OpenedInvitation opened;
    if (!openInvitation(file, staging.path(), opened)) return refuse(received, opened.error);

    for (const std::string& entry : opened.unpacked) {
        if (!insideContentFolder(entry)) {
            return refuse(received, "the invitation holds a file outside the content folders: " + entry);
        }
    }
    for (const std::string* named : {&opened.character, &opened.dance, &opened.sound}) {
        if (!named->empty() && !insideContentFolder(*named)) {
            return refuse(received, "the invitation names a file outside the content folders: " + *named);
        }
    }

    // Every place is worked out before the first copy, as the unpacking itself does.
    std::vector<std::pair<fs::path, fs::path>> copies;
    for (const std::string& entry : opened.unpacked) {
        fs::path from;
        fs::path to;
        if (!placeBelow(staging.path(), entry, from) || !placeBelow(programFolder, entry, to)) {
            return refuse(received, "the invitation would write outside the content folders: " + entry);
        }
        copies.emplace_back(std::move(from), std::move(to));
    }
    for (const auto& [from, to] : copies) {
        std::string bytes;
        std::error_code error;
        fs::create_directories(to.parent_path(), error);
        if (error || !readWhole(from, bytes) || !writeFileAtomically(to, bytes)) {
            return refuse(received, "cannot write " + to.string());
        }
    }

    received.unpacked = opened.unpacked;
    if (!opened.character.empty()) {
        received.commands.push_back(commandWithPath(window_command::kLoadCharacter, opened.character));
    }
    if (!opened.dance.empty()) received.commands.push_back(commandWithPath(window_command::kLoadDance, opened.dance));
    if (!opened.sound.empty()) received.commands.push_back(commandWithPath(window_command::kLoadSound, opened.sound));
    if (received.commands.empty()) return refuse(received, "the invitation names no character, dance or sound");
    return true;
}

std::string invitationRefusedText(const std::string& error) {
    return "The invitation could not be opened.\n\n" + error;
}

}  // namespace kavelune
