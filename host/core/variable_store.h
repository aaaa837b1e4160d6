// The simulator's variables as the host answers them to a gauge: by id, each a double, a
// 32-bit integer or a text. An id never set reads 0.0.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>

#include "gauge_records.h"

namespace panel {

class VariableStore {
public:
    using Value = std::variant<double, int32_t, std::string>;

    void set_number(uint32_t id, double value) { values_[id] = value; }
    void set_integer(uint32_t id, int32_t value) { values_[id] = value; }
    void set_text(uint32_t id, std::string text) { values_[id] = std::move(text); }
    void clear(uint32_t id) { values_.erase(id); }

    // What the store holds for `id`: 0.0 when nothing was set.
    Value value(uint32_t id) const;

    // Writes the current value of `var.id` into its 8-byte value: a double, an integer in the
    // low 32 bits with the high bits zero, or a pointer to text that stays valid until the
    // variable is set again.
    void fill(ModuleVar& var) const;

private:
    std::map<uint32_t, Value> values_;
};

}  // namespace panel
