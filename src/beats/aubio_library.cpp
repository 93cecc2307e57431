#include "beats/aubio_library.h"

#include <dlfcn.h>

#include <mutex>

namespace kavelune {

namespace {

struct Loaded {
    AubioFunctions functions;
    std::string problem;
    bool ok = false;
};

template <typename Function>
bool lookUp(void* library, const char* name, Function& function, std::string& problem) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (function == nullptr && problem.empty()) {
        problem = std::string("the beat tracker library has no ") + name;
    }
    return function != nullptr;
}

Loaded open() {
    Loaded loaded;
    void* library = dlopen(KAVELUNE_AUBIO_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = dlerror();
        loaded.problem = std::string("the beat tracker library cannot be loaded: ") + (why ? why : KAVELUNE_AUBIO_LIBRARY);
        return loaded;
    }
    AubioFunctions& f = loaded.functions;
    std::string& problem = loaded.problem;
    // Every look-up runs, so the problem names the first missing function.
    bool ok = lookUp(library, "new_aubio_tempo", f.newTempo, problem);
    ok &= lookUp(library, "del_aubio_tempo", f.deleteTempo, problem);
    ok &= lookUp(library, "aubio_tempo_do", f.tempoDo, problem);
    ok &= lookUp(library, "aubio_tempo_get_last_ms", f.tempoLastMs, problem);
    ok &= lookUp(library, "new_aubio_pvoc", f.newVocoder, problem);
    ok &= lookUp(library, "del_aubio_pvoc", f.deleteVocoder, problem);
    ok &= lookUp(library, "aubio_pvoc_do", f.vocoderDo, problem);
    ok &= lookUp(library, "new_aubio_specdesc", f.newDescriptor, problem);
    ok &= lookUp(library, "del_aubio_specdesc", f.deleteDescriptor, problem);
    ok &= lookUp(library, "aubio_specdesc_do", f.descriptorDo, problem);
    ok &= lookUp(library, "new_fvec", f.newSamples, problem);
    ok &= lookUp(library, "del_fvec", f.deleteSamples, problem);
    ok &= lookUp(library, "new_cvec", f.newSpectrum, problem);
    ok &= lookUp(library, "del_cvec", f.deleteSpectrum, problem);
    // The library stays open for the rest of the process: its functions are kept.
    loaded.ok = ok;
    return loaded;
}

}  // namespace

const AubioFunctions* aubioLibrary(std::string* problem) {
    static std::once_flag once;
    static Loaded loaded;
    std::call_once(once, [] { loaded = open(); });
    if (!loaded.ok) {
        if (problem != nullptr) *problem = loaded.problem;
        return nullptr;
    }
    return &loaded.functions;
}

}  // namespace kavelune
