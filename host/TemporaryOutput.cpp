#include "host/TemporaryOutput.h"

#include "host/HostError.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Temporary files alive now, for removal when the user interrupts the tool. Plain
// character arrays: a signal handler may only unlink what it can read without allocating.
constexpr std::size_t kPathMax = 4096;
std::array<std::array<char, kPathMax>, 4> pending{};

extern "C" void removePendingAndDie(int signal) {
    for (auto& path : pending)
        if (path[0]) unlink(path.data());
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

} // namespace

TemporaryOutput::TemporaryOutput(fs::path target) : target_(std::move(target)) {
    const fs::path folder = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    std::string pattern = (folder / ("." + target_.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) throw HostError("cannot write '" + target_.string() + "': " + std::strerror(errno));
    // mkstemp makes the file private; the result should look like any file the user writes.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    temporary_ = pattern;
    slot_ = remember(temporary_);
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
