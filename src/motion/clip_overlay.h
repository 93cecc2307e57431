#pragma once

#include <cstdint>
#include <vector>

#include "motion/dance_sequence.h"

namespace kavelune {

// One clip laid over the running dance: a short dance (its beat map and first track) whose pose
// is blended onto a target track, ramping in and out. The clips and the target are owned by the
// scene; they must outlive the clip's run.
class ClipOverlay {
public:
    // Starts clip `index` of `clips` at scene time `startTime` onto `target`, with a ramp of
    // `rampMs` (at most half the clip's length). Refused while a clip runs, for an index out of
    // range and for a clip without a track.
    bool start(std::vector<DanceSequence>& clips, std::size_t index, std::uint32_t rampMs,
               std::uint32_t startTime, MotionTrack& target);

    // Called after the dance was updated at scene time `time`: ends the clip outside its span,
    // otherwise evaluates it and lays its pose onto the target track. Allocates nothing.
    void update(std::uint32_t time);

    void stop() { clip_ = nullptr; }
    bool running() const { return clip_ != nullptr; }
    float weight() const { return weight_; }
    std::uint32_t length() const { return length_; }
    std::uint32_t ramp() const { return ramp_; }

private:
    float weightAt(std::uint32_t clipTime) const;

    DanceSequence* clip_ = nullptr;
    MotionTrack* target_ = nullptr;
    std::uint32_t startTime_ = 0;
    std::uint32_t length_ = 0;
    std::uint32_t ramp_ = 0;
    float weight_ = 0.0f;
    bool placed_ = false;      // the clip's ground offset to the dancer is known
    std::int16_t placeX_ = 0;  // added to the clip's root x and z
    std::int16_t placeZ_ = 0;
    bool rampedIn_ = false;    // the target's base offset has been moved to the clip's place
};

}  // namespace kavelune
