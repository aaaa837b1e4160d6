// Loading a native gauge module with dlopen.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "cue_import_posix.h"
#include "file_structure_check.h"
#include "module_library.h"

namespace panel {
namespace {

// The loaded segments of the object behind a dlopen handle.
ModuleImage image_at(void* handle) {
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return {};
    struct Search {
        ElfW(Addr) base;
        std::vector<MemoryRange> ranges;
    } search{map->l_addr, {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* search = static_cast<Search*>(data);
            if (info->dlpi_addr != search->base || !search->ranges.empty()) return 0;
            for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD || segment.p_memsz == 0) continue;
                const uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
                search->ranges.push_back(
                    {begin, begin + segment.p_memsz, (segment.p_flags & PF_W) != 0, (segment.p_flags & PF_X) != 0});
            }
            return 1;
        },
        &search);
    return ModuleImage(std::move(search.ranges));
}

// A private copy of `path` in the temporary folder, for a separate instance.
std::filesystem::path private_copy_of(const std::filesystem::path& path) {
    std::string name =
        (std::filesystem::temp_directory_path() / ("panel-" + path.stem().string() + "-XXXXXX.so")).string();
    const int fd = mkstemps(name.data(), 3);
    if (fd < 0) throw ModuleError(path.string() + ": cannot make a private copy for a separate instance");
    close(fd);
    std::error_code error;
    std::filesystem::copy_file(path, name, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        std::filesystem::remove(name, error);
        throw ModuleError(path.string() + ": cannot make a private copy for a separate instance (" + error.message() +
                          ")");
    }
    return name;
}

}  // namespace

ModuleLibrary::ModuleLibrary(const std::filesystem::path& path, ModuleInstance instance)
    : path_(std::filesystem::absolute(path).lexically_normal()) {
    // dlopen maps a malformed file as it is and can kill the process, so its structure is checked first.
    const ModuleFileInfo checked = check_file_structure(path_);
    if (checked.kind == ModuleFileKind::pe) {
        throw ModuleError(path_.string() + ": " + describe_module_file(checked) +
                          "; this host loads only native modules (a .gau runs under the Windows test host)");
    }
#if defined(__x86_64__)
    constexpr uint16_t own_machine = 62;  // EM_X86_64
#elif defined(__i386__)
    constexpr uint16_t own_machine = 3;  // EM_386
#elif defined(__aarch64__)
    constexpr uint16_t own_machine = 183;  // EM_AARCH64
#else
    constexpr uint16_t own_machine = 0;  // not known here: dlopen refuses a foreign module itself
#endif
    if (own_machine != 0 && (checked.machine != own_machine || checked.is_64_bit != (sizeof(void*) == 8))) {
        throw ModuleError(path_.string() + ": built for another machine (" + describe_module_file(checked) + ")");
    }
    if (void* loaded = dlopen(path_.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
        dlclose(loaded);
        if (instance == ModuleInstance::only) {
            throw ModuleError(path_.string() +
                              ": already loaded; a second gauge from it would share the first one's "
                              "state, so it must be loaded as a separate instance");
        }
    }
    std::filesystem::path file = path_;
    if (instance == ModuleInstance::separate) file = private_copy_ = private_copy_of(path_);
    bind_cue_import();
    // RTLD_LOCAL keeps two modules' identically named records apart.
    handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        std::string message =
            path_.string() + ": cannot be loaded as a gauge module (" + (reason ? reason : "unknown reason") + ")";
        if (!private_copy_.empty()) std::filesystem::remove(private_copy_);
        throw ModuleError(message);
    }
    image_ = image_at(handle_);
}

ModuleLibrary::~ModuleLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
    std::error_code ignored;
    if (!private_copy_.empty()) std::filesystem::remove(private_copy_, ignored);
}

void* ModuleLibrary::symbol(const char* name) const {
    return dlsym(handle_, name);
}

}  // namespace panel
