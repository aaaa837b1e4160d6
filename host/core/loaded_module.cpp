#include "loaded_module.h"

#include "service_table.h"
#include "text_escape.h"

namespace panel {

LoadedModule::LoadedModule(const std::filesystem::path& path, ModuleInstance instance) : library_(path, instance) {
    const std::string name = library_.path().string();
    const ModuleImage& image = library_.image();
    linkage_ = static_cast<LinkageRecord*>(library_.symbol("Linkage"));
    import_table_ = static_cast<ImportTableRecord*>(library_.symbol("ImportTable"));
    if (linkage_ == nullptr) throw ModuleError(name + ": exports no Linkage record");
    if (import_table_ == nullptr) throw ModuleError(name + ": exports no ImportTable record");
    // Read through the image: a Linkage shorter than the record must not be read past.
    LinkageRecord linkage;
    if (!image.read(linkage_, linkage)) throw ModuleError(name + ": Linkage is not a whole record in the module");
    if (!image.holds_writable(import_table_, sizeof *import_table_)) {
        throw ModuleError(name + ": ImportTable is not a whole writable record in the module");
    }
    if (import_table_->panel_services.id != IMPORT_ID_PANEL_SERVICES) {
        throw ModuleError(name + ": ImportTable names service table " + hex_text(import_table_->panel_services.id) +
                          ", expected 0xF");
    }
    if (linkage.module_id != LINKAGE_MODULE_ID) {
        throw ModuleError(name + ": Linkage has module id " + hex_text(linkage.module_id) + ", expected 0x13");
    }
    if (linkage.module_version != LINKAGE_MODULE_VERSION) {
        throw ModuleError(name + ": Linkage has version " + hex_text(linkage.module_version) + ", expected 0x800");
    }
    if (linkage.gauges[0] == nullptr) throw ModuleError(name + ": Linkage lists no gauge");
    // The record holds one gauge and the NULL that ends the list; anything else there means
    // the list goes on past the record.
    if (linkage.gauges[1] != nullptr) throw ModuleError(name + ": Linkage's gauge list has no NULL within the record");
    if (!image.holds(linkage.gauges[0], sizeof(GaugeHeader))) {
        throw ModuleError(name + ": Linkage's gauge is not a whole header in the module");
    }
    for (ModuleHook hook : {linkage.module_init, linkage.module_deinit}) {
        if (hook != nullptr && !image.holds_code(reinterpret_cast<const void*>(hook))) {
            throw ModuleError(name + ": Linkage's module_init or module_deinit points outside the module's code");
        }
    }
    gauges_.push_back(linkage.gauges[0]);
    import_table_->panel_services.pointer = host_service_table();
}

void LoadedModule::call_init() const {
    if (linkage_->module_init != nullptr) linkage_->module_init();
}

void LoadedModule::call_deinit() const {
    if (linkage_->module_deinit != nullptr) linkage_->module_deinit();
}

}  // namespace panel
