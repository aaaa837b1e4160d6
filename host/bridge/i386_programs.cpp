#include "i386_programs.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <system_error>

namespace panel::bridge {
namespace {

namespace fs = std::filesystem;

// Runs `program --version` with its output discarded; whether it started and exited 0.
bool runs(const fs::path& program) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd : {0, 1, 2}) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    const std::string path = program.string();
    char version[] = "--version";
    char* argv[] = {const_cast<char*>(path.c_str()), version, nullptr};
    char* envp[] = {nullptr};
    pid_t pid = -1;
    const int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// An entry's file: "enabled" first, and a magic for an ELF header of class 1, little-endian,
// machine 3 (x86), executable or shared object.
bool handles_i386(const fs::path& entry) {
    std::ifstream in(entry);
    std::string line;
    if (!std::getline(in, line) || line != "enabled") return false;
    while (std::getline(in, line)) {
        constexpr std::string_view magic = "magic 7f454c460101";
        if (!line.starts_with(magic) || line.size() < magic.size() + 28) continue;
        const std::string_view type_and_machine = std::string_view(line).substr(magic.size() + 20, 8);
        return type_and_machine == "02000300" || type_and_machine == "03000300";
    }
    return false;
}

}  // namespace

I386Probe machine_i386_probe() {
    I386Probe probe;
    if (const char* loader = std::getenv("PANEL_I386_LOADER"); loader != nullptr && *loader != '\0')
        probe.loader = loader;
    return probe;
}

bool i386_emulator_registered(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name == "register" || name == "status") continue;
        if (handles_i386(entry->path())) return true;
    }
    return false;
}

I386Programs probe_i386_programs(const I386Probe& probe) {
    std::error_code error;
    if (!fs::exists(probe.loader, error)) return I386Programs::no_loader;
    if (!runs(probe.loader)) return I386Programs::refused;
    return i386_emulator_registered(probe.binfmt_misc) ? I386Programs::emulated : I386Programs::native;
}

std::string i386_refusal(I386Programs programs, const I386Probe& probe) {
    switch (programs) {
        case I386Programs::refused:
            return "this machine cannot run 32-bit programs, which wine needs for the Windows modules: its kernel has "
                   "32-bit emulation off (boot it with ia32_emulation=on, or register qemu-user's qemu-i386 with "
                   "binfmt_misc, as tools/install-deps.sh does as root)";
        case I386Programs::no_loader:
            return "wine's 32-bit half is not installed (" + probe.loader.string() +
                   " is missing): apt-get install wine32:i386";
        case I386Programs::native:
        case I386Programs::emulated: break;
    }
    return "";
}

}  // namespace panel::bridge
