#include "pairing_rule_json.h"

namespace kvl {

nlohmann::ordered_json pairingRulesJson(std::span<const kavelune::PairingRule> rules) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const auto& rule : rules) {
        list.push_back({{"name_one", rule.nameOne},
                        {"name_two", rule.nameTwo},
                        {"flag_one", rule.flagOne},
                        {"flag_two", rule.flagTwo},
                        {"flag_any", rule.flagAny}});
    }
    return list;
}

}  // namespace kvl
