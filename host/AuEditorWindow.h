// The Audio Unit's editor view in a top-level X11 window of the tool's own, kept alive by
// the main-loop timers the component installed. Talks to the X server only from here.
#pragma once

#include "host/AudioUnitHost.h"

class AuEditorWindow final {
public:
    // [main thread] Opens the display and a window, asks the view factory named by the
    // unit's view property for a view in it; throws HostError when there is no view
    // factory or no display.
    explicit AuEditorWindow(AudioUnitHost& host);
    // [main thread] Drops the view (closing the editor), then the window and the display.
    ~AuEditorWindow();
    AuEditorWindow(const AuEditorWindow&) = delete;
    AuEditorWindow& operator=(const AuEditorWindow&) = delete;

    // [main thread] Services the main-loop timers until the user closes the window.
    void run();

private:
    struct Connection;
    Connection* x_;
};
