// The plug-in's editor in a top-level X11 window of the host's own, idled about every
// 20 ms. The only part of the tool that talks to an X server.
#pragma once

#include "host/PluginHost.h"

#include <ostream>

class EditorWindow final {
public:
    // [main thread] Opens the display and a window the size of the editor's rectangle and
    // opens the editor in it; throws HostError when there is no editor or no display.
    explicit EditorWindow(PluginHost& host);
    // [main thread] Closes the editor, then the window and the display.
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // [main thread] Idles the editor and prints each automated parameter change (index,
    // name, host value, display text) until the user closes the window.
    void run(std::ostream& out);

private:
    // Closes the editor, then the window and the display.
    void release();

    struct Connection;
    PluginHost& host_;
    Connection* x_;
};
