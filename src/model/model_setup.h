#pragma once

#include "model/character_model.h"

namespace kavelune {

// Everything a freshly parsed model derives before it can be posed and drawn, in order: segment
// boxes, floor offset and leg data, hands set to their rest rotations and posed once, working
// buffers, draw lists and skinning plans, one pose at rest and the smooth normals taken from
// it. Allocates all the memory posing will ever use.
void prepareLoadedModel(CharacterModel& model);

// Box of each segment from its listed base vertices (min and max start at 0, so the joint is
// inside); a segment without vertices keeps corners (1, 1, 1, 1).
void computeSegmentBoxes(CharacterModel& model);

// Foot offsets, floor offset (root y) and leg scale from the pivots and the feet's vertices.
LegData computeLegData(const CharacterModel& model);

}  // namespace kavelune
