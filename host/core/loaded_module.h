// A gauge module bound to this host: its two exports found and checked, the service table
// written into its import slot. module_init and module_deinit are the owner's to call, inside
// a service scope, since a module may use the services from them.
#pragma once

#include <filesystem>
#include <vector>

#include "gauge_records.h"
#include "module_library.h"

namespace panel {

class LoadedModule {
public:
    // Throws ModuleError naming the file when it is not a usable gauge module.
    explicit LoadedModule(const std::filesystem::path& path, ModuleInstance instance = ModuleInstance::only);
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    LinkageRecord& linkage() const { return *linkage_; }
    ImportTableRecord& import_table() const { return *import_table_; }
    // The gauge headers that Linkage lists: its record holds one, then NULL.
    const std::vector<GaugeHeader*>& gauges() const { return gauges_; }
    const ModuleLibrary& library() const { return library_; }
    // The file name for messages.
    std::string name() const { return library_.path().string(); }

    void call_init() const;
    void call_deinit() const;

private:
    ModuleLibrary library_;
    LinkageRecord* linkage_ = nullptr;
    ImportTableRecord* import_table_ = nullptr;
    std::vector<GaugeHeader*> gauges_;
};

}  // namespace panel
