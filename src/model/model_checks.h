#pragma once

#include "model/character_model.h"

namespace kavelune {

// What posing and drawing rely on and a file could get wrong: exactly 19 body segments and 16
// per hand, none or two hands, at most 16 rest rotations per hand, a weight (and, for hands, a
// normal) for every vertex, texture coordinates for every vertex when there are any, and every
// part index and segment list entry naming an existing vertex.
bool modelIsSafeToPose(const CharacterModel& model);

}  // namespace kavelune
