// A play list (.lst) loaded from the program folder, its songs settled against that folder
// and the list's own, then stepped through as playback would.
#include <cstddef>
#include <cstdint>

#include "app/content/play_list.h"
#include "support/scratch_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = kavelune::fuzz;
    fuzz::writeScratchFile("Info/list.lst", data, size);
    auto list = kavelune::PlayList::load(fuzz::scratchFolder(), "Info\\list.lst");
    if (!list) return 0;
    kavelune::PlayListCursor cursor("Info\\list.lst", *list);
    for (std::size_t i = 0; i <= list->songs().size() && cursor.current() != nullptr; ++i) {
        cursor.seek(*cursor.current());
        cursor.advance(true);
    }
    return 0;
}
