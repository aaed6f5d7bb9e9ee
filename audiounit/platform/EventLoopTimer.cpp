#include "audiounit/platform/EventLoopTimer.h"

#include "audiounit/platform/PlatformState.h"

#include <algorithm>
#include <chrono>
#include <vector>

using Clock = std::chrono::steady_clock;

struct EventLoopTimer {
    Clock::time_point due;
    Clock::duration interval;
    EventLoopTimerProc proc;
    void* userData;
};

namespace {

std::vector<EventLoopTimer*>& timers() {
    return platformState().timers;
}

Clock::duration seconds(double value) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

} // namespace

OSStatus InstallEventLoopTimer(double firstDelay, double interval, EventLoopTimerProc proc,
                               void* userData, EventLoopTimerRef* timer) {
    if (!proc || !timer || !(firstDelay >= 0) || !(interval >= 0)) return paramErr;
    auto* made =
        new EventLoopTimer{Clock::now() + seconds(firstDelay), seconds(interval), proc, userData};
    timers().push_back(made);
    *timer = made;
    return noErr;
}

OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer) {
    auto& installed = timers();
    const auto found = std::find(installed.begin(), installed.end(), timer);
    if (found == installed.end()) return paramErr;
    installed.erase(found);
    delete timer;
    return noErr;
}

int RunMainEventLoopTimers() {
    const Clock::time_point now = Clock::now();
    std::vector<EventLoopTimer*> due;
    for (EventLoopTimer* timer : timers()) {
        if (timer->due <= now) due.push_back(timer);
    }
    int fired = 0;
    for (EventLoopTimer* timer : due) {
        auto& installed = timers();
        if (std::find(installed.begin(), installed.end(), timer) == installed.end()) continue;
        if (timer->interval == Clock::duration::zero()) {
            installed.erase(std::find(installed.begin(), installed.end(), timer));
            const EventLoopTimer once = *timer;
            delete timer;
            once.proc(nullptr, once.userData);
        } else {
            timer->due = now + timer->interval;
            timer->proc(timer, timer->userData);
        }
        ++fired;
    }
    return fired;
}
