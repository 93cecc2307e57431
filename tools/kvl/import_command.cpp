// kvl import MODEL.glb|.gltf|.vrm --out Characters/NAME [--name NAME] [--height UNITS]: a rigged
// glTF or VRM avatar as a character folder (NAME.dcz and its textures).
#include <cmath>
#include <iostream>

#include "arguments.h"
#include "command.h"
#include "kit/import/avatar_import.h"

namespace kvl {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "MODEL.glb|.gltf|.vrm --out DIR [--name NAME] [--height UNITS]";

int runImport(const std::vector<std::string>& args) {
    Arguments arguments(args, {"out", "name", "height"}, {});
    if (!arguments.ok() || arguments.positionals().size() != 1 || !arguments.value("out")) {
        return fail("import", std::string("usage: kvl import ") + kUsage, kExitUsage);
    }
    const fs::path model = arguments.positionals()[0];
    const fs::path out = *arguments.value("out");
    import::ImportOptions options;
    options.name = arguments.value("name").value_or(out.filename().string());
    if (options.name.empty()) options.name = out.parent_path().filename().string();
    if (options.name.empty() || options.name.find_first_of("/\\") != std::string::npos) {
        return fail("import", "needs a character name (--name NAME)", kExitUsage);
    }
    if (auto height = arguments.value("height")) {
        try {
            std::size_t used = 0;
            options.height = std::stod(*height, &used);
            if (used != height->size() || !std::isfinite(options.height)) throw std::invalid_argument(*height);
        } catch (...) {
            return fail("import", "--height takes model units", kExitUsage);
        }
        if (options.height < 100.0 || options.height > 30000.0) {
            return fail("import", "--height must be between 100 and 30000", kExitUsage);
        }
    }
    import::ImportedCharacter character;
    std::string error;
    if (!import::importFile(model, options, character, error)) {
        return fail("import", model.string() + ": " + error);
    }
    if (!import::writeCharacterFolder(out, options, character, error)) {
        return fail("import", error);
    }
    for (const std::string& note : character.notes) std::cout << note << "\n";
    std::size_t faces = 0;
    for (const auto& part : character.model.parts) faces += part.faceCount();
    std::cout << "wrote " << (out / (options.name + ".dcz")).string() << ": " << character.model.vertexCount()
              << " vertices, " << faces << " faces, " << character.model.parts.size() << " parts, "
              << character.model.hands.size() << " hands, " << character.textures.size() << " textures\n";
    return kExitOk;
}

Command registration("import", kUsage, runImport);

}  // namespace

}  // namespace kvl
