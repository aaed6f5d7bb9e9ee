#include "host/ProgressBar.h"

#include <csignal>
#include <string>
#include <unistd.h>

namespace {
volatile std::sig_atomic_t lineOpen = 0;
}

bool progressLineOpen() {
    return lineOpen;
}

ProgressBar::ProgressBar(std::FILE* stream, bool enabled, double audioSeconds)
    : stream_(stream), enabled_(enabled && isatty(fileno(stream))), audioSeconds_(audioSeconds),
      started_(Clock::now()) {}

void ProgressBar::update(std::size_t done, std::size_t all) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (done < all && shown_ && now - drawn_ < std::chrono::milliseconds(100)) return;
    drawn_ = now;
    shown_ = true;
    lineOpen = 1;

    constexpr int kWidth = 30;
    const double share = all ? static_cast<double>(done) / static_cast<double>(all) : 1.0;
    const int filled = static_cast<int>(share * kWidth);
    const double elapsed = std::chrono::duration<double>(now - started_).count();
    const double speed = elapsed > 0 ? share * audioSeconds_ / elapsed : 0;
    std::fprintf(stream_, "\r[%s%s] %3d%%  %6.1f s  %7.1fx real time",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(),
                 static_cast<int>(share * 100), elapsed, speed);
    std::fflush(stream_);
}

ProgressBar::~ProgressBar() {
    finish(); // a failure's message then starts on a line of its own
}

void ProgressBar::finish() {
    if (enabled_ && shown_) std::fputc('\n', stream_);
    shown_ = false;
    lineOpen = 0;
}
