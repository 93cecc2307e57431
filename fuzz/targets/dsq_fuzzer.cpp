// A dance file (.dsq) loaded as the program loads a dance: parsed, its pool references
// resolved against the motion and camera pools of the demo content (kept in the corpora of
// the pool targets), and checked for playing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

// Copies the corpus files with `extension` into `target`, so that references resolve.
void copyPools(const fs::path& corpus, const char* extension, const fs::path& target) {
    std::error_code ignored;
    fs::create_directories(target, ignored);
    for (const auto& entry : fs::directory_iterator(corpus, ignored)) {
        if (entry.path().extension() == extension) {
            fs::copy_file(entry.path(), target / entry.path().filename(), fs::copy_options::overwrite_existing, ignored);
        }
    }
}

const fs::path& programFolder() {
    static const fs::path folder = [] {
        const fs::path root = kavelune::fuzz::scratchFolder() / "program";
        copyPools(fs::path(KAVELUNE_FUZZ_CORPUS_DIR) / "dmp", ".dmp", root / "Sequences" / "Motion Pool");
        copyPools(fs::path(KAVELUNE_FUZZ_CORPUS_DIR) / "dcp", ".dcp", root);
        return root;
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fs::path& program = programFolder();
    const auto file = kavelune::fuzz::writeScratchFile("program/Sequences/dance.dsq", data, size);
    kavelune::MotionPool pool;
    pool.setFolder(program / "Sequences" / "Motion Pool");
    pool.setCameraFolder(program);
    kavelune::DanceSequence dance;
    std::string problem;
    kavelune::loadDance(file, pool, dance, &problem);
    return 0;
}
