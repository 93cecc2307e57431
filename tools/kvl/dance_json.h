#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "motion/dance_sequence.h"
#include "motion/motion_pool.h"

namespace kvl {

// The program folder for a dance: --home when given, else KAVELUNE_HOME, else the folder above
// the dance's own folder (dances live in the program folder's Sequences).
std::filesystem::path danceHome(const std::optional<std::string>& home,
                                const std::filesystem::path& danceFile);

// A motion pool registry pointed at the program folder's pool folders.
void pointPoolAt(kavelune::MotionPool& pool, const std::filesystem::path& home);

// Loads `file` with its pool references resolved in the program folder (`home` as danceHome
// reads it). On failure prints "kvl COMMAND: file: problem" and returns false.
bool loadDanceFor(const char* command, const std::filesystem::path& file,
                  const std::optional<std::string>& home, kavelune::MotionPool& pool,
                  kavelune::DanceSequence& dance);

nlohmann::json danceJson(const kavelune::DanceSequence& dance);
nlohmann::json vectorJson(const kavelune::Vec3s& v);
nlohmann::json quaternionJson(const kavelune::Quaternion& q);

}  // namespace kvl
