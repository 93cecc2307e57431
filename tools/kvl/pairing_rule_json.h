#pragma once

#include <span>

#include <nlohmann/json.hpp>

#include "base/pairing_rule.h"

namespace kvl {

// Pairing rules as `kvl inspect` shows them for models and dances alike: an array of objects
// with name_one, name_two, flag_one, flag_two and flag_any.
nlohmann::ordered_json pairingRulesJson(std::span<const kavelune::PairingRule> rules);

}  // namespace kvl
