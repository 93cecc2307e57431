// Info/dancemp3.txt, the table of which song goes with which dance.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/content/dance_music_table.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = kavelune::fuzz;
    fuzz::writeScratchFile("Info/dancemp3.txt", data, size);
    kavelune::DanceMusicTable table(fuzz::scratchFolder() / "Info");
    std::vector<std::string> dances;
    for (const auto& entry : table.entries()) dances.push_back(entry.danceFileName);
    for (const std::string& dance : dances) table.lookup(dance);
    table.lookup("dance.dsq");
    return 0;
}
