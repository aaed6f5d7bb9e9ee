#include "host/EditorWindow.h"

#include "host/HostError.h"
#include "host/WindowEvents.h"
#include "vstbridge/DoruvezovException.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr auto kIdleInterval = std::chrono::milliseconds(20);
}

struct EditorWindow::Connection {
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    bool destroyed = false;             // by someone else: nothing left to destroy
    std::vector<std::string> automated; // lines not printed yet
};

namespace {

void fixSize(Display* display, Window window, int width, int height) {
    // The editor draws a fixed layout: the window neither grows nor shrinks under it.
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width;
    hints->min_height = hints->max_height = height;
    XSetWMNormalHints(display, window, hints);
    XFree(hints);
    XResizeWindow(display, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
}

bool editorSize(PluginHost& host, int& width, int& height) {
    int w = 0, h = 0;
    host.plugIn().getEditorDimensions(w, h);
    if (w <= 0 || h <= 0) return false;
    width = w;
    height = h;
    return true;
}

} // namespace

EditorWindow::EditorWindow(PluginHost& host) : host_(host), x_(new Connection) {
    if (!host.plugIn().hasEditor()) {
        delete x_;
        throw HostError("the plug-in has no editor");
    }
    x_->display = XOpenDisplay(nullptr);
    if (!x_->display) {
        delete x_;
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name)
            throw HostError("no X display is set (DISPLAY is empty): run this in a desktop "
                            "session, over 'ssh -X', or start one, e.g. 'Xvfb :99 &' and "
                            "DISPLAY=:99");
        throw HostError(std::string("cannot open the X display '") + name +
                        "': is its X server running, and may you use it?");
    }
    Display* d = x_->display;
    int width = 400, height = 300;
    editorSize(host, width, height);
    x_->window = XCreateSimpleWindow(
        d, DefaultRootWindow(d), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
        0, BlackPixel(d, DefaultScreen(d)), BlackPixel(d, DefaultScreen(d)));
    const std::string title = host.effectName().empty() ? "orvella-host" : host.effectName();
    XStoreName(d, x_->window, title.c_str());
    XClassHint classHint{const_cast<char*>("orvella-host"), const_cast<char*>("orvella-host")};
    XSetClassHint(d, x_->window, &classHint);
    x_->deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, x_->window, &x_->deleteWindow, 1);
    XSelectInput(d, x_->window, StructureNotifyMask);
    fixSize(d, x_->window, width, height);
    XMapWindow(d, x_->window);
    XSync(d, False);

    host.onSizeWindow = [this](int w, int h) {
        if (w > 0 && h > 0) fixSize(x_->display, x_->window, w, h);
        XFlush(x_->display);
    };
    // The display text is read at once: by the time the lines are printed, a drag has
    // moved the parameter on.
    host.onAutomate = [this](VstInt32 index, float value) {
        char number[32];
        std::snprintf(number, sizeof number, "%.4f", static_cast<double>(value));
        x_->automated.push_back("parameter " + std::to_string(index) + " \"" +
                                host_.parameterName(index) + "\" = " + number + " \"" +
                                host_.parameterDisplay(index) + "\"");
    };
    host.resume();
    try {
        host.plugIn().openEditor(reinterpret_cast<void*>(x_->window));
    } catch (const DoruvezovException& e) {
        release();
        throw HostError(e.what());
    }
    // Some editors know their size only once open.
    if (editorSize(host, width, height)) fixSize(d, x_->window, width, height);
    XFlush(d);
}

EditorWindow::~EditorWindow() {
    release();
}

void EditorWindow::release() {
    if (host_.plugIn().isEditorOpen()) host_.plugIn().closeEditor();
    host_.onSizeWindow = nullptr;
    host_.onAutomate = nullptr;
    host_.suspend();
    if (!x_->destroyed) XDestroyWindow(x_->display, x_->window);
    XCloseDisplay(x_->display);
    delete x_;
}

void EditorWindow::run(std::ostream& out) {
    using Clock = std::chrono::steady_clock;
    Display* d = x_->display;
    auto nextIdle = Clock::now();
    bool readable = true; // opening the window may have left events behind
    for (;;) {
        if (readable && windowClosed(d, x_->window, x_->deleteWindow, &x_->destroyed)) return;
        const auto now = Clock::now();
        if (now >= nextIdle) {
            host_.plugIn().idle();
            nextIdle = now + kIdleInterval;
            for (const std::string& line : x_->automated) out << line << std::endl;
            x_->automated.clear();
        }
        // Rounded up: waking a fraction of a millisecond early would spin until the tick.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextIdle - Clock::now());
        readable = waitForEvents(d, static_cast<int>(wait.count()));
    }
}
