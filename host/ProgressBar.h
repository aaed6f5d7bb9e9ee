// A one-line progress bar on the terminal: share done, elapsed time and the speed as a
// multiple of real time. Silent when its stream is not a terminal.
#pragma once

#include <chrono>
#include <cstdio>

// [any thread, signal handlers too] Whether a progress line is drawn and not yet ended, for
// a message that must start on a line of its own.
bool progressLineOpen();

class ProgressBar final {
public:
    // [main thread] `audioSeconds` is the length of the whole job in audio time.
    ProgressBar(std::FILE* stream, bool enabled, double audioSeconds);
    // [main thread] Redraws at most ten times a second, and always at the end.
    void update(std::size_t done, std::size_t all);
    // [main thread] Ends the line, if it is not ended yet (by finish).
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    // [main thread] Ends the line.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    std::FILE* stream_;
    bool enabled_;
    double audioSeconds_;
    Clock::time_point started_;
    Clock::time_point drawn_{};
    bool shown_ = false;
};
