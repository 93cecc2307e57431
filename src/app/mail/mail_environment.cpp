#include "app/mail/mail_environment.h"

#include "app/mail/mail_dialog_text.h"
#include "base/path_resolution.h"
#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"

namespace kavelune {

std::filesystem::path mailConfigFile(const MailEnvironment& environment) {
    return environment.stateFolder / kMailConfigFileName;
}

AccountLookup accountLookupFor(const MailEnvironment& environment) {
    AccountLookup lookup;
    lookup.mailConfigFile = mailConfigFile(environment);
    lookup.homeFolder = environment.userHome;
    lookup.webDefault = environment.webDefault;
    lookup.senderPrompt = mailText(environment.language, mail_text::kEnterAddress);
    return lookup;
}

InvitationSetup invitationSetupFor(const MailEnvironment& environment) {
    InvitationSetup setup;
    setup.sources.programFolder = environment.programFolder;
    setup.sources.installerFileName = environment.installerFileName;
    setup.sources.temporaryFolder = environment.temporaryFolder;
    setup.codePage = codePageOf(environment.language);
    if (!environment.siteAddress.empty()) setup.page.serviceAddress = environment.siteAddress;
    setup.serverTimeout = environment.serverTimeout;
    return setup;
}

InvitationContent invitationContentOf(const LaunchSettings& settings) {
    InvitationContent content;
    content.sound = settings.sound;
    content.dance = settings.dance;
    content.character = settings.character;
    content.danceFiles = settings.danceFiles;
    content.launchFileText = settings.written();
    return content;
}

std::vector<std::string> danceFilesOf(const std::filesystem::path& programFolder, const std::string& dance) {
    std::vector<std::string> files;
    if (dance.empty()) return files;
    MotionPool pool;
    pool.setFolder(resolveContentPath(programFolder, kMotionPoolFolder));
    pool.setCameraFolder(programFolder);
    DanceSequence sequence;
    if (!loadDance(resolveContentPath(programFolder, dance), pool, sequence)) return files;
    for (const MotionTrack& track : sequence.tracks) {
        if (track.motions.empty()) continue;
        if (auto file = pool.poolFileOf(track.motions.front().poolId)) {
            files.push_back(joinStoredPath(kMotionPoolFolder, *file));
        }
    }
    return files;
}

std::string sendFormMessage(SendFormCheck check, MenuLanguage language) {
    switch (check) {
        case SendFormCheck::InvalidSender: return mailText(language, mail_text::kInvalidSender);
        case SendFormCheck::MissingFields: return mailText(language, mail_text::kMissingRecipients);
        case SendFormCheck::Ready: break;
    }
    return {};
}

}  // namespace kavelune
