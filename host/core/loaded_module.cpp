#include "loaded_module.h"

#include <cstdio>

#include "service_table.h"

namespace panel {
namespace {

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

LoadedModule::LoadedModule(const std::filesystem::path& path) : library_(path) {
    const std::string name = path.string();
    linkage_ = static_cast<LinkageRecord*>(library_.symbol("Linkage"));
    import_table_ = static_cast<ImportTableRecord*>(library_.symbol("ImportTable"));
    if (linkage_ == nullptr) throw ModuleError(name + ": exports no Linkage record");
    if (import_table_ == nullptr) throw ModuleError(name + ": exports no ImportTable record");
    if (import_table_->panel_services.id != IMPORT_ID_PANEL_SERVICES) {
        throw ModuleError(name + ": ImportTable names service table " +
                          hex(import_table_->panel_services.id) + ", expected 0xF");
    }
    // A real module lists a handful of gauges; a long list means the record is not one.
    constexpr size_t max_gauges = 2;
    for (size_t i = 0; i < max_gauges && linkage_->gauges[i] != nullptr; ++i) {
        gauges_.push_back(linkage_->gauges[i]);
    }
    if (gauges_.empty()) throw ModuleError(name + ": Linkage lists no gauge");

    import_table_->panel_services.pointer = host_service_table();
    if (linkage_->module_init != nullptr) linkage_->module_init();
}

LoadedModule::~LoadedModule() {
    if (linkage_ != nullptr && linkage_->module_deinit != nullptr) linkage_->module_deinit();
}

}  // namespace panel
