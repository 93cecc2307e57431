// kvl beats SONG [--beats-per-bar N] [--json]: the tempo, beats and bar starts that the beat
// tracker finds in a song, as the program uses them to lay a dance on a song not its own.
#include <cmath>
#include <iostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "arguments.h"
#include "beats/beat_track.h"
#include "beats/beat_tracker.h"
#include "command.h"
#include "json_output.h"

namespace kvl {

namespace {

constexpr int kDefaultBeatsPerBar = 4;

void printList(const char* label, const std::vector<std::uint32_t>& times) {
    std::cout << label << " (" << times.size() << "):";
    for (std::uint32_t time : times) std::cout << ' ' << time;
    std::cout << '\n';
}

int runBeats(const std::vector<std::string>& args) {
    Arguments arguments(args, {"beats-per-bar"}, {"json"});
    if (!arguments.ok()) {
        return fail("beats", arguments.error(), kExitUsage);
    }
    if (arguments.positionals().size() != 1) {
        return fail("beats", "needs exactly one song", kExitUsage);
    }
    int beatsPerBar = kDefaultBeatsPerBar;
    if (auto text = arguments.value("beats-per-bar")) {
        try {
            std::size_t used = 0;
            beatsPerBar = std::stoi(*text, &used);
            if (used != text->size() || beatsPerBar < 1 || beatsPerBar > 64) throw std::invalid_argument(*text);
        } catch (const std::exception&) {
            return fail("beats", "--beats-per-bar needs a whole number from 1 to 64", kExitUsage);
        }
    }
    kavelune::BeatTrack track;
    std::string problem;
    if (!kavelune::findBeats(arguments.positionals()[0], track, &problem)) {
        return fail("beats", arguments.positionals()[0] + ": " + problem);
    }
    const std::vector<std::uint32_t> bars = kavelune::barStarts(track, beatsPerBar);
    // Tempo to a hundredth of a beat per minute: finer is noise.
    const double tempo = std::round(track.tempoBpm * 100.0) / 100.0;
    if (arguments.flag("json")) {
        nlohmann::ordered_json report;
        report["tempo_bpm"] = tempo;
        report["beats_ms"] = track.beatsMs;
        report["bars_ms"] = bars;
        std::cout << jsonText(report, -1) << '\n';
        return kExitOk;
    }
    std::cout << "tempo " << tempo << " bpm\n";
    printList("beats ms", track.beatsMs);
    printList("bars ms", bars);
    return kExitOk;
}

Command registration("beats", "SONG [--beats-per-bar N] [--json]", runBeats);

}  // namespace

}  // namespace kvl
