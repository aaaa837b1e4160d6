// Whether this machine runs 32-bit x86 Linux programs, as wine's loader is one: natively,
// under an emulator registered with binfmt_misc (a kernel booted with its 32-bit emulation
// off), or not at all. POSIX: posix_spawn, waitpid.
#pragma once

#include <filesystem>
#include <string>

namespace panel::bridge {

enum class I386Programs { native, emulated, refused, no_loader };

struct I386Probe {
    // The i386 loader of libc6:i386, which is run with --version to see whether it runs.
    std::filesystem::path loader = "/lib/ld-linux.so.2";
    std::filesystem::path binfmt_misc = "/proc/sys/fs/binfmt_misc";
};

// The probe of this machine; PANEL_I386_LOADER, when set, names another loader (as the
// test scripts' probe takes it).
I386Probe machine_i386_probe();

I386Programs probe_i386_programs(const I386Probe& probe);

// Whether an enabled binfmt_misc entry in `folder` hands 32-bit x86 ELF programs to an
// emulator.
bool i386_emulator_registered(const std::filesystem::path& folder);

// One line saying why Windows modules cannot run here and what to do, for refused and
// no_loader; empty for the others.
std::string i386_refusal(I386Programs programs, const I386Probe& probe);

}  // namespace panel::bridge
