#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/skeleton.h"
#include "base/pairing_rule.h"
#include "base/quaternion.h"
#include "base/vec3s.h"
#include "model/finger_pose.h"
#include "model/skinning_plan.h"

namespace kavelune {

// The body skeleton has 19 segments (JointCount, from base/skeleton.h), a hand skeleton 16.
constexpr int HandSegmentCount = 16;
constexpr int BoxCornerCount = 8;

// Segment numbers with a role of their own.
constexpr int FirstHandHostSegment = 8;
constexpr int SecondHandHostSegment = 12;

// A vertex as drawn: four signed 16-bit model units, w always 1. The layout matches a GL
// vertex array of four shorts, so deformed vertices go to the renderer as they are.
struct Vertex4s {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
    std::int16_t w = 1;

    bool operator==(const Vertex4s&) const = default;
};

// The eight corners of a segment's box, in the order (min,min,min), (max,min,min),
// (max,max,min), (min,max,min), then the same four at max z.
using BoxCorners = std::array<Vertex4s, BoxCornerCount>;

// One material group of triangles.
struct MeshPart {
    // Flag value 4 selects smooth shading with vertex normals; other bits are kept only.
    static constexpr std::uint16_t SmoothFlag = 4;

    std::uint16_t flags = 0;
    std::string textureSpec;  // texture name and parameters; empty = untextured
    std::uint32_t value = 0;  // kept with the part, no behaviour
    std::vector<std::uint16_t> indices;  // three per face

    // Drawing state, filled by the texture and render code.
    std::array<std::uint8_t, 3> colour{255, 255, 255};
    unsigned baseTexture = 0;         // GL texture name, 0 = none
    unsigned environmentTexture = 0;  // GL texture name, 0 = none
    bool blend = false;               // the base texture has alpha

    std::vector<Vec3f> faceNormals;    // one per face, refreshed by every pose
    std::vector<std::uint8_t> hidden;  // one per face; non-zero = never drawn (a hand covers it)

    // Visible-face list rebuilt by culling: room for every face is reserved at load so culling
    // never allocates. drawIndices holds three indices per visible face, drawFaces the face
    // numbers, drawFaceCount how many of them are in use.
    std::vector<std::uint16_t> drawIndices;
    std::vector<std::uint32_t> drawFaces;
    std::size_t drawFaceCount = 0;

    std::size_t faceCount() const { return indices.size() / 3; }
    bool smooth() const { return (flags & SmoothFlag) != 0; }
};

// An 11-byte record kept from the file; nothing in the program uses its values.
struct LinkRecord {
    std::uint16_t first = 0;
    std::uint16_t second = 0;
    std::uint8_t kind = 0;
    std::uint8_t pairOneByte = 0;
    std::uint16_t pairOneValue = 0;
    std::uint8_t pairTwoByte = 0;
    std::uint16_t pairTwoValue = 0;

    bool operator==(const LinkRecord&) const = default;
};

// What body and hands share: a mesh whose vertices each belong to one segment and follow that
// segment's rotation by their weight, and the per-segment working state of the pose.
struct SkinnedMesh {
    // Loaded data.
    std::vector<Vertex4s> baseVertices;  // in the coordinates of the vertex's own segment
    std::vector<float> weights;          // one per vertex, 0..1
    std::vector<float> texCoords;        // two per vertex (u, v)
    std::vector<float> secondTexCoords;  // read and kept; not drawn
    std::vector<MeshPart> parts;
    std::vector<Vec3s> pivots;  // joint offset from the parent joint, in the parent's frame
    std::vector<std::vector<std::uint16_t>> segmentVertices;  // vertices each segment moves

    // Pose state, one entry per segment (sized by the constructors of the body and the hand).
    std::vector<Quaternion> localRotations;
    std::vector<Quaternion> worldRotations;
    std::vector<Vec3s> joints;

    // Working buffers, sized at load.
    std::vector<Vertex4s> vertices;  // deformed
    std::vector<Vec3f> normals;      // deformed
    std::vector<Vec3f> restNormals;
    SkinningPlan skinning;  // how the pose walks the segment lists, worked out at load

    std::size_t vertexCount() const { return baseVertices.size(); }
    std::size_t segmentCount() const { return localRotations.size(); }
};

// A hand hung at a host segment: palm (segment 0) and five chains of three finger segments.
struct HandModel : SkinnedMesh {
    HandModel();

    std::uint8_t version = 0;
    std::vector<Quaternion> restRotations;  // at most 16; slot k is the rest of segment k

    // Finger pose conversion cache: the two converted poses (A, B) and the 44-byte records they
    // came from. A record is converted again only when its bytes change.
    std::array<std::array<Quaternion, HandSegmentCount>, 2> convertedPoses{};
    std::array<FingerPoseBytes, 2> convertedRecords{};
    std::array<bool, 2> hasConverted{false, false};
};

// Foot offsets, hip height and leg scale derived once from the loaded skeleton.
struct LegData {
    Vec3s footA;              // under segment 15's vertices; x stays 0
    Vec3s footB;              // under segment 18's vertices
    std::int16_t rootY = 0;   // the floor offset: hips at the average leg length above y = 0
    float legScale = 0.0f;
};

// How an attachment hangs on its host: the anchor code from the character description, its
// class and the offset from the anchor joint, plus the state that smooths jumps between
// object records.
struct AttachmentBinding {
    std::int16_t anchor = 0;
    int anchorClass = 0;
    Vec3s offset;

    bool hasPlacement = false;   // a placement was computed for an earlier record
    float lastRecordKey = 0.0f;  // first value of the object record last seen
    Vec3s lastPlacement;         // Q computed for that record, before smoothing
    Vec3s smoothingDelta;        // D: previous record's placement minus the current one's
};

// One body model of a character: the loaded model file, its pose state and its placement on
// the stage. Move-only (it owns its attachment).
struct CharacterModel : SkinnedMesh {
    CharacterModel();

    std::uint8_t version = 0;
    std::array<PairingRule, 4> rules{};
    std::string firstName;
    std::string secondName;
    std::int32_t propMode = 0;  // 1: a rigid prop placed whole by its host

    std::vector<BoxCorners> boxes;             // per segment, rest
    std::vector<BoxCorners> transformedBoxes;  // per segment, refreshed by every pose
    std::vector<LinkRecord> links;
    std::vector<HandModel> hands;  // none or two: the first at segment 8, the second at 12

    LegData legs;

    // Placement on the stage: translate(stagePosition), turn about +y, translate(root).
    Vec3s stagePosition;
    std::int16_t turn = 0;      // degrees
    std::int16_t dancer = -1;   // performer track; -1 = position in the scene's model list
    Vec3s root;                 // written by the motion side; y starts at legs.rootY

    std::unique_ptr<CharacterModel> attachment;
    AttachmentBinding attachmentBinding;
};

// Parent of each body segment (-1 for the root) and of each hand segment.
extern const std::array<int, JointCount> BodySegmentParent;
extern const std::array<int, HandSegmentCount> HandSegmentParent;

}  // namespace kavelune
