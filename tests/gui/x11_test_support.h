#pragma once

// Helpers for the tests that play the host to a real X11 window and drive it with XTest.
// Include last: Xlib's macros (None, Bool, ...) must not reach the headers before it.

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace xtest {

// The display, when there is one with XTEST. The server resets when its last client leaves
// and refuses connections meanwhile, hence the retries.
inline Display* openDisplay() {
    Display* display = nullptr;
    for (int attempt = 0; attempt < 40 && !display && std::getenv("DISPLAY"); ++attempt)
        if (!(display = XOpenDisplay(nullptr)))
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int event, error, major, minor;
    if (display && !XTestQueryExtension(display, &event, &error, &major, &minor)) {
        XCloseDisplay(display);
        display = nullptr;
    }
    return display;
}

// Calls `idle` as a host would, every few milliseconds, until `done` holds or `ms` pass.
inline bool idleUntil(const std::function<void()>& idle, const std::function<bool()>& done,
                      int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (; std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
        idle();
        if (done()) return true;
    }
    return done();
}

inline void pointerTo(Display* display, Window window, int x, int y) {
    int rx = 0, ry = 0;
    Window ignored;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rx, &ry, &ignored);
    XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
    XSync(display, False);
}
inline void button(Display* display, unsigned int b, bool press) {
    XTestFakeButtonEvent(display, b, press, CurrentTime);
    XSync(display, False);
}
inline void key(Display* display, KeySym sym, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), press, CurrentTime);
    XSync(display, False);
}

// The window's pixels as 0xRRGGBB (a 24-bit true-colour server).
struct Screenshot {
    Screenshot(Display* d, Window w, int width, int height)
        : image(XGetImage(d, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap)),
          width(width), height(height) {}
    ~Screenshot() {
        if (image) XDestroyImage(image);
    }
    uint32_t getPixel(int x, int y) const { return uint32_t(XGetPixel(image, x, y)) & 0xffffffu; }
    // Pixels whose colour differs from another picture's (an offscreen image or a
    // screenshot); -1 without a picture.
    template <class Picture> int differences(const Picture& other) const {
        int differing = image ? 0 : -1;
        for (int y = 0; image && y < height; ++y)
            for (int x = 0; x < width; ++x)
                differing += getPixel(x, y) != (other.getPixel(x, y) & 0xffffffu);
        return differing;
    }
    XImage* image;
    int width, height;
};

} // namespace xtest
