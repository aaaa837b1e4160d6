#include "variable_store.h"

#include <cstring>

namespace panel {

VariableStore::VariableStore(const Catalogue& catalogue)
    : catalogue_(catalogue), slots_(catalogue.variables().size()) {}

namespace {

std::string with_article(VariableType type) {
    return (type == VariableType::integer ? "an " : "a ") + std::string(type_name(type));
}

}  // namespace

int checked_index(const Catalogue& catalogue, uint32_t id, VariableType type) {
    const int index = catalogue.index_of(id);
    if (index < 0) throw VariableError("variable " + std::to_string(id) + " is not one the simulator has");
    const VariableType held = catalogue.variables()[index].type;
    if (held != type) {
        throw VariableError("variable " + describe_variable(catalogue, id) + " holds " + with_article(held) + ", not " +
                            with_article(type));
    }
    return index;
}

VariableStore::Slot& VariableStore::slot_for(uint32_t id, VariableType type) {
    return slots_[checked_index(catalogue_, id, type)];
}

const VariableStore::Slot* VariableStore::find(uint32_t id) const {
    const int index = catalogue_.index_of(id);
    return index < 0 ? nullptr : &slots_[index];
}

void VariableStore::retire_text(Slot& slot) {
    if (slot.text) retired_.push_back(std::move(slot.text));
}

void VariableStore::set_number(uint32_t id, double value) {
    slot_for(id, VariableType::number).number = value;
}

void VariableStore::set_integer(uint32_t id, int32_t value) {
    slot_for(id, VariableType::integer).integer = value;
}

void VariableStore::set_text(uint32_t id, std::string_view text) {
    Slot& slot = slot_for(id, VariableType::text);
    if (slot.text && *slot.text == text) return;  // the common case: the same text every frame
    retire_text(slot);
    slot.text = std::make_unique<std::string>(text);
}

void VariableStore::set_null_text(uint32_t id) {
    retire_text(slot_for(id, VariableType::text));
}

void VariableStore::clear(uint32_t id) {
    const int index = catalogue_.index_of(id);
    if (index < 0) throw VariableError("variable " + std::to_string(id) + " is not one the simulator has");
    Slot& slot = slots_[index];
    retire_text(slot);
    slot.number = 0.0;
    slot.integer = 0;
}

double VariableStore::number(uint32_t id) const {
    const Slot* slot = find(id);
    return slot ? slot->number : 0.0;
}

int32_t VariableStore::integer(uint32_t id) const {
    const Slot* slot = find(id);
    return slot ? slot->integer : 0;
}

std::optional<std::string_view> VariableStore::text(uint32_t id) const {
    const Slot* slot = find(id);
    if (slot == nullptr || !slot->text) return std::nullopt;
    return std::string_view(*slot->text);
}

void VariableStore::fill(ModuleVar& var) const {
    std::memset(&var.value, 0, sizeof var.value);
    const int index = catalogue_.index_of(var.id);
    if (index < 0) return;
    const Slot& slot = slots_[index];
    switch (catalogue_.variables()[index].type) {
        case VariableType::number: var.value.number = slot.number; break;
        case VariableType::integer: var.value.integer = slot.integer; break;
        case VariableType::text: var.value.text = slot.text ? slot.text->c_str() : nullptr; break;
    }
}

}  // namespace panel
