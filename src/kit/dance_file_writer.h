#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "motion/beat_map.h"
#include "motion/dance_file.h"

namespace kavelune {

// Writers of dance files as parseDanceContent reads them.

// Record writers, each writing its own tag. Longer lists than a field can count are cut.
void writeDanceHeader(std::ostream& out, const DanceFile& dance);
void writeSoundRecord(std::ostream& out, const std::string& soundName);
void writeBeatMapRecord(std::ostream& out, const BeatMap& map);
void writeTrackRecord(std::ostream& out, const TrackRecord& track);
void writeCameraRecord(std::ostream& out, const CameraRecord& camera);
void writeEndRecord(std::ostream& out);

// The inflated content: header, "SF" (when there is a sound name), "BS", the tracks, "CS" and
// "SE".
std::string encodeDanceContent(const DanceFile& dance);

// A complete dance file: the deflated content followed by `trailing` bytes.
std::string encodeDanceFile(const DanceFile& dance, const std::string& trailing = {});
bool writeDanceFile(const std::filesystem::path& file, const DanceFile& dance,
                    const std::string& trailing = {});

}  // namespace kavelune
