#include "mail/invitation/open_invitation.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "base/atomic_file.h"
#include "base/path_resolution.h"
#include "base/text.h"
#include "mail/invitation/invitation_package.h"
#include "mail/invitation/invitation_page.h"
#include "mail/invitation/launch_file_names.h"
#include "mail/invitation/mail_html_part.h"
#include "mail/invitation/page_parameters.h"
#include "mail/invitation/safe_entry_path.h"
#include "mail/invitation/transfer_decoding.h"
#include "mail/invitation/zip_archive_reader.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

// A saved mail bigger than this is not an invitation we made.
constexpr std::uintmax_t kMaxInvitationFileBytes = 512ull << 20;

bool refuse(OpenedInvitation& opened, std::string why) {
    opened.error = std::move(why);
    return false;
}

bool decodeParameter(std::string_view page, const char* name, std::string& bytes, OpenedInvitation& opened) {
    std::string value;
    if (!findPageParameter(page, name, value)) return refuse(opened, std::string("the page has no ") + name);
    if (!decodeBase64Data(value, bytes)) return refuse(opened, std::string("the ") + name + " is damaged");
    return true;
}

bool isSoundFile(const std::string& stored) {
    return endsWithNoCase(stored, ".mp3") || endsWithNoCase(stored, ".emp") || endsWithNoCase(stored, ".wav");
}

// The launch file's paths must stay inside the content root like the files themselves.
bool checkNamedPath(const std::string& stored, const char* what, OpenedInvitation& opened) {
    std::vector<std::string> components;
    if (stored.empty() || safeRelativeComponents(stored, components)) return true;
    return refuse(opened, std::string("the launch file names a ") + what + " outside the content folder: " + stored);
}

}  // namespace

bool openInvitationText(std::string_view text, const fs::path& contentRoot, OpenedInvitation& opened) {
    opened = OpenedInvitation{};
    std::string page;
    if (!htmlOfSavedMail(text, page)) return refuse(opened, "the mail holds no invitation page");

    std::string contentArchive;
    std::string startArchive;
    if (!decodeParameter(page, kProgramSourceParameter, opened.installerData, opened) ||
        !decodeParameter(page, kDataSourceParameter, contentArchive, opened) ||
        !decodeParameter(page, kStartFileSourceParameter, startArchive, opened)) {
        return false;
    }

    std::string error;
    std::vector<ZipEntry> startEntries;
    if (!readZipArchive(startArchive, startEntries, error)) return refuse(opened, "the start archive: " + error);
    for (const ZipEntry& entry : startEntries) {
        if (equalsNoCase(storedFileName(entry.name), kInvitationLaunchFileName)) opened.launchFileText = entry.bytes;
    }
    if (opened.launchFileText.empty()) return refuse(opened, "the start archive holds no kavelune.txt");

    std::vector<ZipEntry> entries;
    if (!readZipArchive(contentArchive, entries, error)) return refuse(opened, "the content archive: " + error);

    // Every place is worked out before the first file is written, so a single bad name leaves
    // the content folder as it was.
    std::vector<fs::path> targets;
    for (const ZipEntry& entry : entries) {
        fs::path target;
        if (!placeBelow(contentRoot, entry.name, target)) {
            return refuse(opened, "the invitation would write outside the content folder: " + entry.name);
        }
        targets.push_back(target);
    }
    LaunchFileNames names = readLaunchFileNames(opened.launchFileText);
    if (!checkNamedPath(names.character, "character", opened) || !checkNamedPath(names.dance, "dance", opened) ||
        !checkNamedPath(names.sound, "sound", opened)) {
        return false;
    }

    std::error_code fsError;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ZipEntry& entry = entries[i];
        if (entry.folder) {
            fs::create_directories(targets[i], fsError);
        } else {
            fs::create_directories(targets[i].parent_path(), fsError);
            if (!writeFileAtomically(targets[i], entry.bytes)) {
                return refuse(opened, "cannot write " + targets[i].string());
            }
        }
        if (fsError) return refuse(opened, "cannot make the folder for " + entry.name);
        if (!entry.folder) opened.unpacked.push_back(entry.name);
    }

    opened.character = names.character;
    opened.dance = names.dance;
    opened.sound = names.sound;
    if (opened.sound.empty() && !opened.unpacked.empty() && isSoundFile(opened.unpacked.front())) {
        opened.sound = opened.unpacked.front();
    }
    auto resolved = [&](const std::string& stored) {
        return stored.empty() ? fs::path() : resolveContentPath(contentRoot, stored);
    };
    opened.characterFile = resolved(opened.character);
    opened.danceFile = resolved(opened.dance);
    opened.soundFile = resolved(opened.sound);
    return true;
}

bool openInvitation(const fs::path& file, const fs::path& contentRoot, OpenedInvitation& opened) {
    std::error_code error;
    std::uintmax_t size = fs::file_size(file, error);
    if (error) {
        opened = OpenedInvitation{};
        return refuse(opened, "cannot read " + file.string());
    }
    if (size > kMaxInvitationFileBytes) {
        opened = OpenedInvitation{};
        return refuse(opened, "the file is too large to be an invitation");
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in || in.bad()) {
        opened = OpenedInvitation{};
        return refuse(opened, "cannot read " + file.string());
    }
    return openInvitationText(text.str(), contentRoot, opened);
}

}  // namespace kavelune
