#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kavelune {

// What a received invitation brought.
struct OpenedInvitation {
    // Stored paths (backslashes, relative to the content root) of what to show: the character
    // and dance the invitation's launch file names, and its sound, or else the first file of the
    // content (the sender's song comes first). Empty when not named.
    std::string character;
    std::string dance;
    std::string sound;
    // The same, below the content root.
    std::filesystem::path characterFile;
    std::filesystem::path danceFile;
    std::filesystem::path soundFile;

    std::vector<std::string> unpacked;  // the content archive's entries, as named in it
    std::string launchFileText;         // the invitation's kavelune.txt
    std::string installerData;          // the sender's installer data, opaque
    std::string error;                  // why the invitation was refused
};

// Opens a saved invitation: a mail message (.eml) whose HTML alternative is the invitation page,
// or the page saved on its own. Finds the installer control's parameters, decodes the content
// archive and the start archive, checks every name they hold and only then unpacks the content
// into `contentRoot`. An entry that is absolute, has a drive letter or a ".." component, or would
// land outside the root refuses the whole invitation before anything is written.
bool openInvitation(const std::filesystem::path& file, const std::filesystem::path& contentRoot,
                    OpenedInvitation& opened);

// The same for a page or message already in memory.
bool openInvitationText(std::string_view text, const std::filesystem::path& contentRoot, OpenedInvitation& opened);

}  // namespace kavelune
