#include "wine_prefix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <system_error>

#include "bridge_process.h"

namespace panel::bridge {
namespace {

namespace fs = std::filesystem;

bool made(const fs::path& prefix) {
    std::error_code error;
    return fs::is_regular_file(prefix / "system.reg", error);
}

// Runs a wine tool in the prefix to its end; its status, or what kept it from starting.
std::string run_wine_tool(const std::vector<std::string>& argv, const fs::path& prefix, std::chrono::seconds limit) {
    ChildProcess tool(argv, wine_environment(prefix));
    tool.end(limit);
    return tool.ended().value_or("did not end");
}

// Holds an exclusive lock on a file beside the prefix while it lives.
class PrefixLock {
public:
    explicit PrefixLock(const fs::path& file) : fd_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) throw std::runtime_error(file.string() + ": cannot lock the wine prefix");
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) throw std::runtime_error(file.string() + ": cannot lock the wine prefix");
        }
    }
    ~PrefixLock() { ::close(fd_); }
    PrefixLock(const PrefixLock&) = delete;
    PrefixLock& operator=(const PrefixLock&) = delete;

private:
    int fd_;
};

}  // namespace

fs::path wine_prefix_folder(const char* xdg_cache_home, const char* home) {
    if (xdg_cache_home != nullptr && *xdg_cache_home == '/') return fs::path(xdg_cache_home) / "panelhost" / "wine";
    if (home != nullptr && *home != '\0') return fs::path(home) / ".cache" / "panelhost" / "wine";
    throw std::runtime_error("no folder for the wine prefix: neither XDG_CACHE_HOME nor HOME is set");
}

std::vector<std::string> wine_environment(const fs::path& prefix) {
    // No Mono or Gecko installer dialogs on first use, no debug output on the bridge's
    // standard error but its own.
    return {"WINEPREFIX=" + prefix.string(), "WINEARCH=win32", "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml="};
}

void ensure_wine_prefix(const fs::path& prefix, std::FILE* progress) {
    if (made(prefix)) return;
    std::error_code error;
    fs::create_directories(prefix.parent_path(), error);
    if (error) throw std::runtime_error(prefix.parent_path().string() + ": cannot create (" + error.message() + ")");
    PrefixLock lock(prefix.parent_path() / "wine.lock");
    if (made(prefix)) return;  // another panelhost made it while this one waited
    if (progress != nullptr) {
        std::fprintf(progress, "panelhost: setting up wine in %s for the Windows modules (once; about a minute)\n",
                     prefix.c_str());
        std::fflush(progress);
    }
    fs::remove_all(prefix, error);  // half a prefix from a setup that broke off
    std::string how;
    try {
        how = run_wine_tool({"wineboot", "-i"}, prefix, std::chrono::seconds(300));
        run_wine_tool({"wineserver", "-w"}, prefix, std::chrono::seconds(120));
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error(std::string(failure.what()) +
                                 " (wine runs the Windows modules: apt-get install wine)");
    }
    if (!made(prefix))
        throw std::runtime_error(prefix.string() + ": wine could not set up its prefix (wineboot " + how + ")");
}

std::vector<std::string> wine_bridge_command(const fs::path& bridge, const fs::path& module) {
    return {"wine", fs::absolute(bridge).string(), fs::absolute(module).string()};
}

}  // namespace panel::bridge
