// An output file written under a temporary name in its target folder and renamed into
// place only when complete, so a failed or interrupted run leaves no partial file. An
// output that is a symbolic link is written where the link points; a file that exists
// keeps its permissions, and a read-only one is refused. The temporary name says what it
// is (".out.wav.orvella-host-unfinished-PID.XXXXXX"); one left by a killed run is removed by
// the next run writing the same target.
#pragma once

#include <filesystem>

class TemporaryOutput final {
public:
    // [main thread] Creates the empty temporary file; throws HostError when the target is
    // read-only or not a file, or its folder cannot take it.
    explicit TemporaryOutput(const std::filesystem::path& target);
    // [main thread] Removes the temporary file unless it was committed.
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    const std::filesystem::path& path() const { return temporary_; }
    // [main thread] Moves the finished file onto the target; throws HostError.
    void commit();

private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int slot_ = -1;
    bool committed_ = false;
};
