#pragma once

#include "gui/CBaseObject.h"

#include <cstdint>

namespace GUI {

inline constexpr const char* kMsgTimer = "timer fired";

// A repeating timer: every interval after start it sends its target notify(timer,
// "timer fired"). Timers fire from the editor's idle pass, so they are as punctual as the
// host's idle calls; named, like GUIEditorInterface, without a plug-in format. [ui thread]
// for every operation.
class CGUITimer : public CBaseObject {
public:
    CGUITimer(CBaseObject* target, int32_t intervalMs);
    ~CGUITimer() override;

    // Answers whether the timer runs; starting a running timer changes nothing.
    virtual bool start();
    // False when it was not running.
    virtual bool stop();
    // A new interval restarts a running timer with it.
    virtual bool setFireTime(int32_t intervalMs);
    int32_t getFireTime() const { return fireTime; }
    bool isRunning() const { return running; }

    // Fires every running timer that is due at `nowMs` (a getTicks() time).
    static void fireDueTimers(uint32_t nowMs);

private:
    CBaseObject* target;
    int32_t fireTime;
    uint32_t nextFire = 0;
    bool running = false;
};

} // namespace GUI
