#pragma once

namespace kavelune {

// Segments of the body skeleton; every pose carries one rotation per segment.
constexpr int JointCount = 19;

}  // namespace kavelune
