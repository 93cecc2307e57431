// mail.cfg, the user's mail account as the Mail Preference dialog keeps it.
#include <cstddef>
#include <cstdint>

#include "mail/settings/mail_settings.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = kavelune::fuzz::writeScratchFile("mail.cfg", data, size);
    kavelune::MailSettings settings;
    kavelune::readMailConfig(file, settings);
    // What was read is written back when the dialog is confirmed; that must not fail either.
    kavelune::formatMailConfig(settings);
    return 0;
}
