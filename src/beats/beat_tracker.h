#pragma once

#include <atomic>
#include <string>

#include "beats/beat_track.h"

namespace kavelune {

// Finds the beats of a song file (MP3 or WAV, whatever the audio engine decodes) offline: the
// beat tracker of aubio over the whole song, then a check of the metrical level (a tracker
// may lock onto every eighth note or every other beat) and the low-register accent of each
// beat. Takes about a second per minute of music. `cancel`, when given, is looked at now and
// then; a cancelled search returns false. False, with `problem` set, for a file that cannot
// be decoded or holds no beat.
bool findBeats(const std::string& songFile, BeatTrack& out, std::string* problem = nullptr,
               const std::atomic<bool>* cancel = nullptr);

}  // namespace kavelune
