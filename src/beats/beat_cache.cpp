#include "beats/beat_cache.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"

namespace kavelune {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHeader = "kavelune beats 1";

// FNV-1a: a stable name from the key, the same on every run and every machine.
std::uint64_t hashOf(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string keyText(const BeatCache::SongKey& key) {
    return key.path + '\n' + std::to_string(key.size) + '\n' + std::to_string(key.modified);
}

}  // namespace

bool BeatCache::keyOf(const std::string& song, SongKey& key) {
    std::error_code error;
    const auto size = fs::file_size(song, error);
    if (error) return false;
    const auto modified = fs::last_write_time(song, error);
    if (error) return false;
    key.path = fs::absolute(song, error).lexically_normal().string();
    if (error) key.path = song;
    key.size = size;
    key.modified = static_cast<std::int64_t>(modified.time_since_epoch().count());
    return true;
}

fs::path BeatCache::fileFor(const SongKey& key) const {
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.beats", static_cast<unsigned long long>(hashOf(keyText(key))));
    return folder_ / name;
}

bool BeatCache::load(const SongKey& key, BeatTrack& beats) const {
    if (folder_.empty()) return false;
    std::ifstream in(fileFor(key));
    std::string header, path;
    if (!std::getline(in, header) || header != kHeader) return false;
    if (!std::getline(in, path) || path != "path " + key.path) return false;
    std::string label;
    SongKey stored;
    BeatTrack track;
    std::size_t beatCount = 0, accentCount = 0;
    if (!(in >> label >> stored.size) || label != "size") return false;
    if (!(in >> label >> stored.modified) || label != "modified") return false;
    if (stored.size != key.size || stored.modified != key.modified) return false;
    if (!(in >> label >> track.tempoBpm) || label != "tempo") return false;
    if (!(in >> label >> beatCount) || label != "beats" || beatCount > 1'000'000) return false;
    track.beatsMs.resize(beatCount);
    for (auto& beat : track.beatsMs) {
        if (!(in >> beat)) return false;
    }
    if (!(in >> label >> accentCount) || label != "accents" || accentCount != beatCount) return false;
    track.accents.resize(accentCount);
    for (auto& accent : track.accents) {
        if (!(in >> accent)) return false;
    }
    beats = std::move(track);
    return true;
}

bool BeatCache::store(const SongKey& key, const BeatTrack& beats) const {
    if (folder_.empty()) return false;
    std::error_code error;
    fs::create_directories(folder_, error);
    std::ostringstream out;
    out.precision(17);  // numbers come back exactly as they were
    out << kHeader << "\npath " << key.path << "\nsize " << key.size << "\nmodified " << key.modified
        << "\ntempo " << beats.tempoBpm << "\nbeats " << beats.beatsMs.size();
    for (std::uint32_t beat : beats.beatsMs) out << ' ' << beat;
    out << "\naccents " << beats.accents.size();
    for (float accent : beats.accents) out << ' ' << accent;
    out << '\n';
    return writeFileAtomically(fileFor(key), out.str());
}

}  // namespace kavelune
