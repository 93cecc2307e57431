#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "mail/invitation/invitation_content.h"
#include "mail/invitation/invitation_page.h"

namespace kavelune {

inline constexpr const char* kInstallerDataLE = "KaveluneLE.bin";
inline constexpr const char* kInstallerDataTrova = "KaveluneTrova.bin";
inline constexpr const char* kInvitationLaunchFileName = "kavelune.txt";

// Where the package's pieces come from.
struct PackageSources {
    std::filesystem::path programFolder;   // holds the content and the installer data file
    std::string installerFileName = kInstallerDataLE;
    std::filesystem::path temporaryFolder; // the per-user temporary folder (system's when empty)
};

struct PackageOutcome {
    bool installerMissing = false;       // the installer data file could not be read
    std::string error;                   // why the package could not be made
    std::vector<std::string> leftOut;    // listed files that could not be read and were left out
};

// Reads the installer data file and packs the content archive (the content list of `content`)
// and the start archive (kavelune.txt from the caller's written form) into `payload`. The
// archives are made in a private temporary folder that is gone when this returns, whatever
// happened. False with `outcome` saying why.
bool buildInvitationPayload(const InvitationContent& content, const PackageSources& sources,
                            InvitationPayload& payload, PackageOutcome& outcome);

}  // namespace kavelune
