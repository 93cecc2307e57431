#pragma once

#include <string>

#include <aubio/aubio.h>

namespace kavelune {

// The functions of aubio that beat finding calls. The library is opened the first time a song
// needs its beats found rather than when the program starts: it brings in a large tree of codec
// libraries that nothing else uses, which would otherwise cost every start time and memory.
struct AubioFunctions {
    decltype(&new_aubio_tempo) newTempo = nullptr;
    decltype(&del_aubio_tempo) deleteTempo = nullptr;
    decltype(&aubio_tempo_do) tempoDo = nullptr;
    decltype(&aubio_tempo_get_last_ms) tempoLastMs = nullptr;
    decltype(&new_aubio_pvoc) newVocoder = nullptr;
    decltype(&del_aubio_pvoc) deleteVocoder = nullptr;
    decltype(&aubio_pvoc_do) vocoderDo = nullptr;
    decltype(&new_aubio_specdesc) newDescriptor = nullptr;
    decltype(&del_aubio_specdesc) deleteDescriptor = nullptr;
    decltype(&aubio_specdesc_do) descriptorDo = nullptr;
    decltype(&new_fvec) newSamples = nullptr;
    decltype(&del_fvec) deleteSamples = nullptr;
    decltype(&new_cvec) newSpectrum = nullptr;
    decltype(&del_cvec) deleteSpectrum = nullptr;
};

// Opens aubio once for the whole process (any thread may ask first) and keeps it open. Null,
// with `problem` set when given, when the library or one of its functions is missing.
const AubioFunctions* aubioLibrary(std::string* problem = nullptr);

}  // namespace kavelune
