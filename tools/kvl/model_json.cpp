#include "model_json.h"

#include "json_output.h"

namespace kvl::model_json {

using nlohmann::ordered_json;

ordered_json point(const kavelune::Vec3s& p) { return ordered_json::array({p.x, p.y, p.z}); }

ordered_json point(const kavelune::Vec3f& p) { return ordered_json::array({p.x, p.y, p.z}); }

ordered_json quaternion(const kavelune::Quaternion& q) {
    return ordered_json::array({q.x, q.y, q.z, q.w});
}

ordered_json vertices(const std::vector<kavelune::Vertex4s>& vertices) {
    ordered_json list = ordered_json::array();
    for (const auto& v : vertices) {
        list.push_back(ordered_json::array({v.x, v.y, v.z}));
    }
    return list;
}

ordered_json points(const std::vector<kavelune::Vec3s>& points) {
    ordered_json list = ordered_json::array();
    for (const auto& p : points) {
        list.push_back(point(p));
    }
    return list;
}

ordered_json normals(const std::vector<kavelune::Vec3f>& normals) {
    ordered_json list = ordered_json::array();
    for (const auto& n : normals) {
        list.push_back(point(n));
    }
    return list;
}

ordered_json boxes(const std::vector<kavelune::BoxCorners>& boxes) {
    ordered_json list = ordered_json::array();
    for (const auto& box : boxes) {
        ordered_json corners = ordered_json::array();
        for (const auto& c : box) {
            corners.push_back(ordered_json::array({c.x, c.y, c.z, c.w}));
        }
        list.push_back(corners);
    }
    return list;
}

std::string dump(const ordered_json& json) {
    return kvl::jsonText(json);
}

}  // namespace kvl::model_json
