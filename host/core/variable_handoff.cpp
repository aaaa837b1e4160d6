#include "variable_handoff.h"

namespace panel {

void VariableHandoff::post(Update update) {
    checked_index(catalogue_, update.id, update.type);
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(update));
}

void VariableHandoff::post_number(uint32_t id, double value) {
    post({.id = id, .type = VariableType::number, .number = value});
}

void VariableHandoff::post_integer(uint32_t id, int32_t value) {
    post({.id = id, .type = VariableType::integer, .integer = value});
}

void VariableHandoff::post_text(uint32_t id, std::string_view text) {
    post({.id = id, .type = VariableType::text, .text = std::string(text)});
}

void VariableHandoff::post_null_text(uint32_t id) {
    post({.id = id, .type = VariableType::text, .null_text = true});
}

size_t VariableHandoff::apply_to(VariableStore& store) {
    {
        std::lock_guard lock(mutex_);
        applying_.swap(pending_);
    }
    for (const Update& update : applying_) {
        switch (update.type) {
            case VariableType::number: store.set_number(update.id, update.number); break;
            case VariableType::integer: store.set_integer(update.id, update.integer); break;
            case VariableType::text:
                if (update.null_text) store.set_null_text(update.id);
                else store.set_text(update.id, update.text);
                break;
        }
    }
    const size_t applied = applying_.size();
    applying_.clear();
    return applied;
}

}  // namespace panel
