#include "variable_store.h"

#include <cstring>

namespace panel {

VariableStore::Value VariableStore::value(uint32_t id) const {
    auto found = values_.find(id);
    return found == values_.end() ? Value{0.0} : found->second;
}

void VariableStore::fill(ModuleVar& var) const {
    std::memset(&var.value, 0, sizeof var.value);
    auto found = values_.find(var.id);
    if (found == values_.end()) return;
    const Value& value = found->second;
    if (const double* number = std::get_if<double>(&value)) {
        var.value.number = *number;
    } else if (const int32_t* integer = std::get_if<int32_t>(&value)) {
        var.value.integer = *integer;
    } else {
        var.value.text = std::get<std::string>(value).c_str();
    }
}

}  // namespace panel
