#include "mail/invitation/invitation_package.h"

#include <fstream>
#include <sstream>

#include "base/path_resolution.h"
#include "mail/invitation/private_temp_folder.h"
#include "mail/invitation/zip_archive_writer.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

bool readWhole(const fs::path& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) return false;
    bytes = std::move(out).str();
    return true;
}

bool writeWhole(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace

bool buildInvitationPayload(const InvitationContent& content, const PackageSources& sources,
                            InvitationPayload& payload, PackageOutcome& outcome) {
    fs::path installer = resolveContentPath(sources.programFolder, sources.installerFileName);
    if (fs::is_directory(installer) || !readWhole(installer, payload.installerData)) {
        outcome.installerMissing = true;
        outcome.error = sources.installerFileName + " file not found.";
        return false;
    }

    PrivateTempFolder temporary(sources.temporaryFolder);
    if (!temporary.valid()) {
        outcome.error = "no private temporary folder could be made";
        return false;
    }

    std::vector<ZipSource> contentFiles;
    for (const std::string& stored : invitationContentList(content, sources.programFolder)) {
        contentFiles.push_back({stored, resolveContentPath(sources.programFolder, stored)});
    }
    fs::path contentArchive = temporary.path() / "data.zip";
    if (!writeZipArchive(contentArchive, contentFiles, outcome.leftOut, outcome.error) ||
        !readWhole(contentArchive, payload.contentArchive)) {
        if (outcome.error.empty()) outcome.error = "the content archive cannot be read";
        return false;
    }

    fs::path launchFile = temporary.path() / kInvitationLaunchFileName;
    fs::path startArchive = temporary.path() / "kavelune.zip";
    std::vector<std::string> unreadable;
    if (!writeWhole(launchFile, content.launchFileText)) {
        outcome.error = "kavelune.txt cannot be written";
        return false;
    }
    if (!writeZipArchive(startArchive, {{kInvitationLaunchFileName, launchFile}}, unreadable, outcome.error) ||
        !unreadable.empty() || !readWhole(startArchive, payload.startArchive)) {
        if (outcome.error.empty()) outcome.error = "the start archive cannot be read";
        return false;
    }
    return true;
}

}  // namespace kavelune
