#include "host/AuEditorWindow.h"

#include "audiounit/platform/AudioUnitRenderTypes.h"
#include "audiounit/platform/CFBundle.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/EventLoopTimer.h"
#include "host/HostError.h"
#include "host/WindowEvents.h"

#include <X11/Xlib.h>

namespace {
// The component's timer fires every 25 ms; waking twice as often keeps it on time.
constexpr int kWaitMilliseconds = 12;
using ViewEntry = OSStatus (*)(AudioUnit unit, unsigned long parent, UInt32* width, UInt32* height);
} // namespace

struct AuEditorWindow::Connection {
    AudioUnit unit = nullptr;
    CFBundleRef bundle = nullptr;
    ViewEntry entry = nullptr;
    Display* display = nullptr;
    Window window = 0;
    Atom deleteWindow = 0;
    bool destroyed = false;
};

AuEditorWindow::AuEditorWindow(AudioUnitHost& host) : x_(new Connection) {
    x_->unit = host.unit();
    try {
        if (!host.has(kAudioUnitProperty_CocoaUI)) throw HostError(host.name() + " has no editor");
        const auto view = host.get<AudioUnitCocoaViewInfo>(kAudioUnitProperty_CocoaUI);
        const CFHolder<CFString> where(view.mCocoaAUViewBundleLocation);
        const CFHolder<CFString> name(view.mCocoaAUViewClass[0]);
        x_->bundle = CFBundleCreateWithPath(where->text);
        if (x_->bundle) {
            x_->entry = reinterpret_cast<ViewEntry>(
                CFBundleGetFunctionPointerForName(x_->bundle, name->text.c_str()));
        }
        if (!x_->entry) throw HostError("no view factory '" + name->text + "' in " + where->text);
        x_->display = XOpenDisplay(nullptr);
        if (!x_->display) throw HostError("cannot open the X display");
    } catch (...) {
        if (x_->bundle) CFRelease(x_->bundle);
        delete x_;
        throw;
    }
    Display* d = x_->display;
    x_->window =
        XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, BlackPixel(d, DefaultScreen(d)),
                            BlackPixel(d, DefaultScreen(d)));
    XStoreName(d, x_->window, host.name().c_str());
    x_->deleteWindow = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, x_->window, &x_->deleteWindow, 1);
    XSelectInput(d, x_->window, StructureNotifyMask);
    XSync(d, False);
    UInt32 width = 0, height = 0;
    if (const OSStatus status = x_->entry(x_->unit, x_->window, &width, &height)) {
        XDestroyWindow(d, x_->window);
        XCloseDisplay(d);
        CFRelease(x_->bundle);
        delete x_;
        throw HostError("the view factory refused (error " + std::to_string(status) + ")");
    }
    XResizeWindow(d, x_->window, std::max(width, 1u), std::max(height, 1u));
    XMapWindow(d, x_->window);
    XFlush(d);
}

AuEditorWindow::~AuEditorWindow() {
    x_->entry(x_->unit, 0, nullptr, nullptr);
    if (!x_->destroyed) XDestroyWindow(x_->display, x_->window);
    XCloseDisplay(x_->display);
    CFRelease(x_->bundle);
    delete x_;
}

void AuEditorWindow::run() {
    Display* d = x_->display;
    bool readable = true; // opening the window may have left events behind
    for (;;) {
        if (readable && windowClosed(d, x_->window, x_->deleteWindow, &x_->destroyed)) return;
        RunMainEventLoopTimers();
        readable = waitForEvents(d, kWaitMilliseconds);
    }
}
