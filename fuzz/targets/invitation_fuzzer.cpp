// A received invitation (a saved mail message or page) being opened: parameters found, the
// archives decoded, their names checked and the content unpacked.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mail/invitation/open_invitation.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = kavelune::fuzz;
    const auto file = fuzz::writeScratchFile("invitation.eml", data, size);
    kavelune::OpenedInvitation opened;
    kavelune::openInvitation(file, fuzz::scratchFolder() / "content", opened);
    // What one invitation unpacked must not meet the next.
    fuzz::clearScratchFolder();
    return 0;
}
