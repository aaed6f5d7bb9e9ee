#include "gui/CGUITimer.h"

#include "gui/AEffGUIEditor.h"

#include <algorithm>
#include <vector>

namespace GUI {

namespace {
std::vector<CGUITimer*>& runningTimers() {
    static std::vector<CGUITimer*> timers;
    return timers;
}
} // namespace

CGUITimer::CGUITimer(CBaseObject* t, int32_t intervalMs) : target(t), fireTime(intervalMs) {}

CGUITimer::~CGUITimer() {
    CGUITimer::stop();
}

bool CGUITimer::start() {
    if (running) return true;
    if (fireTime <= 0 || !target) return false;
    nextFire = AEffGUIEditor::getTicks() + uint32_t(fireTime);
    runningTimers().push_back(this);
    running = true;
    return true;
}

bool CGUITimer::stop() {
    if (!running) return false;
    auto& timers = runningTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    running = false;
    return true;
}

bool CGUITimer::setFireTime(int32_t intervalMs) {
    if (intervalMs == fireTime) return true;
    fireTime = intervalMs;
    if (!running) return true;
    stop();
    return start();
}

void CGUITimer::fireDueTimers(uint32_t nowMs) {
    auto& timers = runningTimers();
    // A target may start, stop or release timers while being notified: walk by index and
    // look again after each call.
    for (size_t i = 0; i < timers.size(); ++i) {
        CGUITimer* timer = timers[i];
        if (int32_t(nowMs - timer->nextFire) < 0) continue;
        timer->nextFire = nowMs + uint32_t(timer->fireTime);
        timer->remember();
        timer->target->notify(timer, kMsgTimer);
        timer->forget();
    }
}

} // namespace GUI
