#include "audio_engine/engine_modules.h"

#include "audio_engine/input/file_source.h"

namespace kavelune::engine {

EngineModules modulesWithOutput(const OutputChoice& choice) {
    EngineModules modules;
    modules.openInput = [](const std::string& name) -> std::unique_ptr<ByteSource> {
        return FileSource::open(name);
    };
    modules.makeOutput = [choice] { return makeOutput(choice); };
    return modules;
}

EngineModules standardModules() { return modulesWithOutput(outputChoiceFromEnvironment()); }

}  // namespace kavelune::engine
