#include "host/TemporaryOutput.h"

#include "host/HostError.h"
#include "host/ProgressBar.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Temporary files alive now, for removal when the user interrupts the tool. Plain
// character arrays: a signal handler may only unlink what it can read without allocating.
constexpr std::size_t kPathMax = 4096;
std::array<std::array<char, kPathMax>, 4> pending{};

extern "C" void removePendingAndDie(int signal) {
    bool removed = false;
    for (auto& path : pending)
        if (path[0]) removed = unlink(path.data()) == 0 || removed;
    // Only what a signal handler may call: write, not stdio.
    constexpr char kNote[] = "\norvella-host: interrupted; no output was written\n";
    if (removed) {
        const bool fresh = !progressLineOpen();
        [[maybe_unused]] const auto n =
            write(STDERR_FILENO, kNote + fresh, sizeof kNote - 1 - fresh);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

int remember(const fs::path& path) {
    static const bool installed = [] {
        for (int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, removePendingAndDie);
        return true;
    }();
    (void)installed;
    const std::string text = path.string();
    if (text.size() >= kPathMax) return -1;
    for (std::size_t i = 0; i < pending.size(); ++i)
        if (!pending[i][0]) {
            std::memcpy(pending[i].data(), text.c_str(), text.size() + 1);
            return static_cast<int>(i);
        }
    return -1;
}

// Where writing `path` lands: an output that is a symbolic link is written where it points.
fs::path followLinks(fs::path path) {
    std::error_code ec;
    for (int hops = 0; fs::is_symlink(path, ec); ++hops) {
        if (hops == 40) throw HostError("cannot write '" + path.string() + "': too many links");
        const fs::path link = fs::read_symlink(path, ec);
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return path;
}

// What a temporary file's name says besides its target's name and the process writing it.
constexpr const char* kUnfinished = ".orvella-host-unfinished-";

// Removes what killed runs left of the target: files named for it whose process is gone.
void removeLeftovers(const fs::path& folder, const std::string& target) {
    const std::string prefix = "." + target + kUnfinished;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            fs::remove(entry.path(), ec);
    }
}

} // namespace

TemporaryOutput::TemporaryOutput(const fs::path& target) : target_(followLinks(target)) {
    const std::string name = "'" + target.string() + "'";
    // A file that is there keeps its permissions, and one the user may not write stays.
    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        throw HostError("cannot write " + name + ": it is not a file");
    // Read-only by its permissions too, for a user (root) whom they do not stop.
    const bool readOnly =
        !(existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) || access(target_.c_str(), W_OK) != 0;
    if (exists && readOnly)
        throw HostError("cannot write " + name + ": it is read-only (nothing was changed)");
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    removeLeftovers(folder, target_.filename().string());
    std::string pattern = (folder / ("." + target_.filename().string() + kUnfinished +
                                     std::to_string(getpid()) + ".XXXXXX"))
                              .string();
    // Made and remembered with the interrupting signals held: none finds the file there and
    // not yet known, or its name half copied.
    sigset_t interrupts, before;
    sigemptyset(&interrupts);
    for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupts, s);
    sigprocmask(SIG_BLOCK, &interrupts, &before);
    const int fd = mkstemp(pattern.data());
    const int made = errno;
    if (fd >= 0) slot_ = remember(pattern);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    if (fd < 0) throw HostError("cannot write " + name + ": " + std::strerror(made));
    // mkstemp makes the file private; the result should look like any file the user writes.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, exists ? existing.st_mode & 07777 : 0666 & ~mask);
    close(fd);
    temporary_ = pattern;
}

TemporaryOutput::~TemporaryOutput() {
    if (!committed_) unlink(temporary_.c_str());
    if (slot_ >= 0) pending[static_cast<std::size_t>(slot_)][0] = 0;
}

void TemporaryOutput::commit() {
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
        throw HostError("cannot write '" + target_.string() + "': " + std::strerror(errno));
    committed_ = true;
}
