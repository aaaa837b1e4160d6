// The probe modules of tests/host (see probe_module.cpp): their paths and the variables they
// read, which the simulator's catalogue does not hold.
#pragma once

#include <string>

#include "simulator_catalogue.h"

namespace probe_test {

inline std::string probe(const std::string& name) {
    return std::string(PROBE_DIR) + "/" + name + ".so";
}

inline constexpr panel::VariableInfo probe_variables[] = {
    {10, "probe_ten", panel::VariableType::number, "", "second input"},
    {20, "probe_twenty", panel::VariableType::number, "", "third input, also the slider's y"},
    {30, "probe_thirty", panel::VariableType::number, "", "first input"},
    {500, "probe_text", panel::VariableType::text, "", "element 2's own variable"},
    {501, "probe_integer", panel::VariableType::integer, "", "element 3's own variable"},
};

inline const panel::Catalogue& probe_catalogue() {
    static const panel::Catalogue catalogue(probe_variables, {});
    return catalogue;
}

}  // namespace probe_test
