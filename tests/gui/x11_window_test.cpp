// The editor inside a real X11 window: this program plays the host, makes a parent window,
// opens a frame in it and drives it with synthetic pointer and key events. Needs an X server
// (scripts/test starts Xvfb); without one the tests are skipped.

#include "gui/CAnimKnob.h"
#include "gui/CMovieButton.h"
#include "gui/platform/X11Window.h"
#include "gui_test_support.h"
#include "plugin/VstInterface.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
// Last: Xlib's macros (None, Bool, ...) must not reach the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

using namespace GUI;
using namespace guitest;

namespace {

class X11Window : public ::testing::Test {
protected:
    void SetUp() override {
        // The server resets when its last client leaves and refuses connections meanwhile.
        for (int attempt = 0; attempt < 40 && !display; ++attempt) {
            if (!std::getenv("DISPLAY")) break;
            display = XOpenDisplay(nullptr);
            if (!display) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!display)
            GTEST_SKIP() << "No X display (DISPLAY unset or unreachable): X11 window tests skipped";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor))
            GTEST_SKIP() << "The X server lacks the XTEST extension: X11 window tests skipped";
        parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, 240, 160, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);

        frame = new CFrame(CRect(0, 0, 200, 120), reinterpret_cast<void*>(parent), &editor);
        knobArt = resources.strip(10002, 40, 40, 33);
        buttonArt = resources.strip(10008, 20, 30, 2);
        knob = new CAnimKnob(CRect(10, 10, 50, 50), &listener, 0, 33, 40, knobArt);
        button = new CMovieButton(CRect(100, 10, 120, 40), &listener, 1, 30, buttonArt);
        knobArt->forget();
        buttonArt->forget();
        frame->addView(knob);
        frame->addView(button);
        frame->setBackgroundColor(CColor{30, 60, 90, 255});
        ASSERT_NE(frame->getPlatformWindow(), nullptr);
        child = frame->getPlatformWindow()->getWindowId();
        pumpUntil([] { return false; }, 100); // mapped and painted
    }
    void TearDown() override {
        if (frame) frame->forget();
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    // Idles the frame as a host would until `done` holds or `ms` pass.
    bool pumpUntil(const std::function<bool()>& done, int ms = 2000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            frame->idle();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    void pointerTo(int x, int y) {
        int rx = 0, ry = 0;
        Window ignored;
        XTranslateCoordinates(display, child, DefaultRootWindow(display), x, y, &rx, &ry, &ignored);
        XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
        XSync(display, False);
    }
    void pressButton(unsigned int b, bool press) {
        XTestFakeButtonEvent(display, b, press, CurrentTime);
        XSync(display, False);
    }
    void key(KeySym sym, bool press) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), press, CurrentTime);
        XSync(display, False);
    }

    ResourceFolder resources;
    StubEditor editor;
    RecordingListener listener;
    Display* display = nullptr;
    Window parent = 0;
    Window child = 0;
    CFrame* frame = nullptr;
    CBitmap* knobArt = nullptr;
    CBitmap* buttonArt = nullptr;
    CAnimKnob* knob = nullptr;
    CMovieButton* button = nullptr;
};

TEST_F(X11Window, PointerAndKeysDriveTheControls) {
    // Linear drag: 60 pixels up from the knob's centre is 0.3 of the range.
    pointerTo(30, 30);
    pressButton(1, true);
    pointerTo(30, 0);
    pointerTo(30, -30);
    ASSERT_TRUE(pumpUntil([&] { return knob->getValue() >= 0.29f; }));
    pressButton(1, false);
    EXPECT_TRUE(pumpUntil([&] { return listener.ends == 1; }));
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-5);
    EXPECT_EQ(editor.edits, (std::vector<long>{0, -1}));

    // The wheel over the knob, then an arrow key to the focused knob.
    pointerTo(30, 30);
    pressButton(4, true);
    pressButton(4, false);
    EXPECT_TRUE(pumpUntil([&] { return knob->getValue() > 0.39f; }));
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-5);
    XSetInputFocus(display, child, RevertToParent, CurrentTime);
    key(XK_Down, true);
    key(XK_Down, false);
    EXPECT_TRUE(pumpUntil([&] { return knob->getValue() < 0.31f; }));
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-5);

    // A click on the button toggles it.
    pointerTo(110, 20);
    pressButton(1, true);
    pressButton(1, false);
    // Gestures so far: drag, wheel, key, click.
    EXPECT_TRUE(pumpUntil([&] { return button->getValue() == 1.f && listener.ends == 4; }));
    EXPECT_EQ(listener.values.back(), 1.f);
}

TEST_F(X11Window, WindowShowsExactlyTheFramesImage) {
    knob->setValue(0.5f);
    button->setValue(1.f);
    pumpUntil([] { return false; }, 100);
    XImage* shot = XGetImage(display, child, 0, 0, 200, 120, AllPlanes, ZPixmap);
    ASSERT_NE(shot, nullptr);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, child, &attributes);
    const Visual* v = attributes.visual;
    // Each channel read back at the window's depth, within one step of that depth.
    const auto near = [](unsigned long pixel, unsigned long mask, uint32_t expected) {
        int shift = 0;
        while (!(mask >> shift & 1)) ++shift;
        const unsigned long top = mask >> shift;
        const long got = long((pixel & mask) >> shift) * 255 / long(top);
        return std::abs(got - long(expected)) <= long(255 / top);
    };
    const COffscreenContext& image = frame->getBackBuffer();
    int differing = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            const unsigned long got = XGetPixel(shot, x, y);
            const uint32_t want = image.getPixel(x, y);
            if (!near(got, v->red_mask, want >> 16 & 255) ||
                !near(got, v->green_mask, want >> 8 & 255) || !near(got, v->blue_mask, want & 255))
                ++differing;
        }
    XDestroyImage(shot);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(shownFrame(image, knob->getViewSize()), 16);
    EXPECT_EQ(shownFrame(image, button->getViewSize()), 1);
}

TEST_F(X11Window, SurvivesTheHostDestroyingItsWindow) {
    XDestroyWindow(display, parent);
    XSync(display, False);
    EXPECT_TRUE(pumpUntil([&] { return !frame->getPlatformWindow()->isAlive(); }));
    knob->setValue(0.9f);
    frame->idle(); // paints offscreen; nothing reaches the dead window
    EXPECT_EQ(shownFrame(frame->getBackBuffer(), knob->getViewSize()), 28);
    frame->forget();
    frame = nullptr;
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);
}

TEST_F(X11Window, UnknownParentLeavesAnOffscreenFrame) {
    auto* lone =
        new CFrame(CRect(0, 0, 10, 10), reinterpret_cast<void*>(uintptr_t(0x7fffff0)), &editor);
    EXPECT_EQ(lone->getPlatformWindow(), nullptr);
    lone->idle();
    lone->forget();
}

TEST(X11Translation, ButtonsModifiersAndKeys) {
    using W = GUI::platform::X11Window;
    EXPECT_EQ(W::buttonsFromState(Button1Mask | ShiftMask), kLButton | kShift);
    EXPECT_EQ(W::buttonsFromState(Button3Mask | ControlMask | Mod1Mask | Mod4Mask),
              kRButton | kControl | kAlt | kApple);
    EXPECT_EQ(W::buttonBit(2), kMButton);
    EXPECT_EQ(W::buttonBit(9), kButton5);
    EXPECT_EQ(W::buttonBit(4), 0);
    struct Case {
        KeySym sym;
        unsigned int state;
        int32_t character;
        unsigned char virt, modifier;
    };
    const Case cases[] = {
        {XK_Left, 0, 0, VKEY_LEFT, 0},
        {XK_Tab, ShiftMask, 0, VKEY_TAB, MODIFIER_SHIFT},
        {XK_F12, 0, 0, VKEY_F12, 0},
        {XK_KP_7, 0, 0, VKEY_NUMPAD7, 0},
        {XK_A, ShiftMask | ControlMask, 'a', 0, MODIFIER_SHIFT | MODIFIER_CONTROL},
        {XK_x, Mod1Mask | Mod4Mask, 'x', 0, MODIFIER_ALTERNATE | MODIFIER_COMMAND},
    };
    for (const Case& c : cases) {
        const VstKeyCode k = W::keyCodeFromKeySym(c.sym, c.state);
        EXPECT_EQ(k.character, c.character) << c.sym;
        EXPECT_EQ(k.virt, c.virt) << c.sym;
        EXPECT_EQ(k.modifier, c.modifier) << c.sym;
    }
}

} // namespace
