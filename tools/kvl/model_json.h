#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "model/character_model.h"

// JSON views of model data shared by `kvl inspect` and `kvl skin`.
namespace kvl::model_json {

nlohmann::ordered_json point(const kavelune::Vec3s& p);
nlohmann::ordered_json point(const kavelune::Vec3f& p);
nlohmann::ordered_json quaternion(const kavelune::Quaternion& q);
nlohmann::ordered_json vertices(const std::vector<kavelune::Vertex4s>& vertices);
nlohmann::ordered_json points(const std::vector<kavelune::Vec3s>& points);
nlohmann::ordered_json normals(const std::vector<kavelune::Vec3f>& normals);
nlohmann::ordered_json boxes(const std::vector<kavelune::BoxCorners>& boxes);

// Model texts are bytes in the content's code page: print them without failing on bytes that
// are not UTF-8.
std::string dump(const nlohmann::ordered_json& json);

}  // namespace kvl::model_json
