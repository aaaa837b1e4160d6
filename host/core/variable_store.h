// The simulator's variables as the host answers them to a gauge: by id, each typed as the
// catalogue says (a double, a 32-bit integer or a text). An id never set reads 0.0, as does
// any id the catalogue does not hold; setting such an id, or a value of the wrong type, is
// refused, since a gauge would read the bits as something else (a number read as a text
// pointer crashes it).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "gauge_records.h"
#include "simulator_catalogue.h"

namespace panel {

// A value refused by the store; the message names the variable and what is wrong.
class VariableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The catalogue index of `id`; throws VariableError when the catalogue lacks it or holds it
// with another type.
int checked_index(const Catalogue& catalogue, uint32_t id, VariableType type);

class VariableStore {
public:
    explicit VariableStore(const Catalogue& catalogue = simulator_catalogue());

    void set_number(uint32_t id, double value);
    void set_integer(uint32_t id, int32_t value);
    void set_text(uint32_t id, std::string_view text);
    // A text variable whose pointer is NULL, as a simulator without a text would give it.
    void set_null_text(uint32_t id);
    // Back to the value of a variable never set.
    void clear(uint32_t id);

    // What a gauge would read, for the host's own use: 0.0 / 0 / no text when unset.
    double number(uint32_t id) const;
    int32_t integer(uint32_t id) const;
    std::optional<std::string_view> text(uint32_t id) const;

    // Writes the current value of `var.id` into its 8-byte value: a double, an integer in the
    // low 32 bits with the high bits zero, or a pointer to the text (NULL when there is none).
    // A text pointer stays valid until end_frame(), even when the text is set again meanwhile.
    void fill(ModuleVar& var) const;

    // Called by the frame driver when a frame is over: texts replaced during it are freed.
    void end_frame() { retired_.clear(); }

    const Catalogue& catalogue() const { return catalogue_; }

private:
    struct Slot {
        double number = 0.0;
        int32_t integer = 0;
        std::unique_ptr<std::string> text;  // null: no text
    };

    Slot& slot_for(uint32_t id, VariableType type);
    const Slot* find(uint32_t id) const;
    void retire_text(Slot& slot);

    const Catalogue& catalogue_;
    std::vector<Slot> slots_;  // by catalogue index
    std::vector<std::unique_ptr<std::string>> retired_;
};

}  // namespace panel
