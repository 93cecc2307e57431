#pragma once

#include <string>

#include "kit/demo/demo_song.h"

namespace kvl::demo {

// Encodes PCM as a constant-bit-rate MP3 with fixed encoder settings (so the same samples give
// the same bytes). The stream starts with an "Info" frame that tells decoders the encoder's
// delay and padding, so the music starts on time. False (and `error`) when the encoder refuses.
bool encodeMp3(const PcmAudio& pcm, std::string& mp3, std::string* error = nullptr);

}  // namespace kvl::demo
