#include "support/scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>

namespace kavelune::fuzz {

namespace fs = std::filesystem;

namespace {

struct Scratch {
    fs::path path;

    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kavelune-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
        path = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

}  // namespace

const fs::path& scratchFolder() {
    static Scratch scratch;
    return scratch.path;
}

fs::path writeScratchFile(std::string_view name, const std::uint8_t* data, std::size_t size) {
    fs::path file = scratchFolder() / name;
    std::error_code ignored;
    fs::create_directories(file.parent_path(), ignored);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + file.string());
    if (size > 0) std::fwrite(data, 1, size, out);
    std::fclose(out);
    return file;
}

void clearScratchFolder() {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(scratchFolder(), ignored)) {
        fs::remove_all(entry.path(), ignored);
    }
}

}  // namespace kavelune::fuzz
