// Walks a verification model as a user does in the window: every item of the tree accepted in
// turn, with the text the user types for it or the value shown. For tests and for the tools
// that make sample project files from real models.
#pragma once

#include <cstddef>
#include <limits>
#include <map>
#include <string>

#include "safety/parameter_values.h"
#include "verification/verification_model.h"

namespace norvane::testing {

// The text that accepts a parameter's current value: an enumeration's item text, a hex view's
// 0x form, otherwise the number.
inline std::string ShownValue(const VerificationModel& model, size_t index) {
    const CatalogParameter& parameter = model.Parameters()[index];
    if (parameter.paramView == ParamView::Enum) {
        const CatalogEnumItem* item = FindEnumItem(model.EnumItems(index), parameter.value);
        return item != nullptr ? item->valueText : std::string();
    }
    return FormatParameterValue(parameter.paramView, parameter.type, parameter.value);
}

// Accepts the items of the walk in order, at most `count` of them: the bus address with
// `busAddress`, a parameter with `typed[name]` where given, else with its value as shown.
// Returns how many were verified.
inline size_t AcceptWalk(VerificationModel& model, const std::map<std::string, std::string>& typed,
                         const std::string& busAddress,
                         size_t count = std::numeric_limits<size_t>::max()) {
    size_t verified = 0;
    for (const WalkItem& item : model.Items()) {
        if (verified == count) {
            break;
        }
        std::string input;
        if (item.kind == ItemKind::BusAddress) {
            input = busAddress;
        } else if (item.kind == ItemKind::Parameter) {
            const auto found = typed.find(model.Parameters()[item.parameter].name);
            input = found != typed.end() ? found->second : ShownValue(model, item.parameter);
        }
        if (model.Accept(item, input).verified) {
            ++verified;
        }
    }
    return verified;
}

}  // namespace norvane::testing
