#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "kit/vec3d.h"
#include "model/character_model.h"

// Skinned meshes made of lofted primitives: tubes, capsules and ellipsoids, each ring of which
// is bound to one skeleton segment with a weight. Geometry is given in the figure's rest
// coordinates (y up, facing +z); the builder stores every vertex relative to its segment's
// joint, as the model format wants.
namespace kvl::demo {

using kvl::Vec3d;

inline Vec3d normalise(Vec3d a) {
    const double l = length(a);
    return l > 0.0 ? a * (1.0 / l) : a;
}

// Which segment moves a ring and how much of the segment's own rotation it follows.
struct Binding {
    int segment = 0;
    double weight = 1.0;
};

// One cross-section of a loft: an ellipse around `centre` in the plane across the loft's
// direction (or a single point when both radii are 0, for poles).
struct Ring {
    Vec3d centre;
    double sideRadius = 0.0;     // across the figure (mostly x)
    double forwardRadius = 0.0;  // front to back (mostly z)
    Binding binding;
    double v = 0.0;  // texture row, 0 = top of the image
};

struct LoftStyle {
    int sides = 16;
    // Texture columns: u runs once around the ring, starting at the back, so the front of a
    // part lands in the middle of its image. uScale repeats the image around the ring.
    double uScale = 1.0;
    // Hint for the "forward" direction of each ring's frame; +z keeps the front at u = 0.5.
    Vec3d forwardHint{0.0, 0.0, 1.0};
};

// The points of a capsule from `a` to `b`: a half-ellipsoid cap, a straight taper, a cap.
// Rings of the first `rampShare` of the length ramp their weight from `startWeight` to 1.
std::vector<Ring> capsuleRings(Vec3d a, Vec3d b, double radiusA, double radiusB, int segment,
                               double startWeight = 0.35, double rampShare = 0.3,
                               int bodyRings = 6, int capRings = 4, double flatten = 1.0);

// An ellipsoid around `centre` along `axis` (its half length `halfLength`), from pole to pole.
std::vector<Ring> ellipsoidRings(Vec3d centre, Vec3d axis, double halfLength, double sideRadius,
                                 double forwardRadius, Binding binding, int rings = 10);

class MeshBuilder {
public:
    // `joints`: rest position of each segment's joint, in figure coordinates.
    explicit MeshBuilder(std::vector<Vec3d> joints);

    // Starts a material group; later primitives go into it. Returns its index.
    int beginPart(const std::string& textureSpec, bool smooth = true);

    // A closed or open loft through the rings, in order. Consecutive rings must differ.
    void addLoft(const std::vector<Ring>& rings, const LoftStyle& style = {});

    // Marks every face added to `part` so far as hidden (a hand model covers it).
    void hidePart(int part);

    int vertexCount() const { return static_cast<int>(vertices_.size()); }

    // Fills the mesh: base vertices relative to their segment's joint, weights, texture
    // coordinates, parts, pivots (joint minus parent joint) and per-segment vertex lists.
    // `parents` gives each segment's parent (-1 for the root).
    void finish(kavelune::SkinnedMesh& mesh, const std::vector<int>& parents) const;

    // Smooth normals of the rest shape (welded by position), three floats per vertex, for
    // formats that store normals.
    std::vector<float> restNormals() const;

private:
    struct Vertex {
        Vec3d position;
        Binding binding;
        double u = 0.0;
        double v = 0.0;
    };
    struct Part {
        std::string textureSpec;
        bool smooth = true;
        std::vector<std::uint16_t> indices;
        std::size_t hiddenFaces = 0;
    };

    kavelune::Vertex4s relativeVertex(const Vertex& vertex) const;

    std::vector<Vec3d> joints_;
    std::vector<Vertex> vertices_;
    std::vector<Part> parts_;
};

}  // namespace kvl::demo
