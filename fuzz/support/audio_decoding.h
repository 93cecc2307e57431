#pragma once

#include <string>

// Opens a song file as the audio engine's player does (file input, codec chosen by content)
// and decodes a bounded amount of it, seeking on the way.
namespace kavelune::fuzz {

void decodeSongFile(const std::string& path);

}  // namespace kavelune::fuzz
