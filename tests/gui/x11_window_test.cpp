// The editor inside a real X11 window: this program plays the host, makes a parent window,
// opens a frame in it and drives it with synthetic pointer and key events. Needs an X server
// (scripts/test starts Xvfb); without one the tests are skipped.

#include "gui/CAnimKnob.h"
#include "gui/CMovieButton.h"
#include "gui/platform/X11Window.h"
#include "gui_test_support.h"
#include "plugin/VstInterface.h"

#include <gtest/gtest.h>
#include <tuple>
// Last: see there.
#include "x11_test_support.h"

using namespace GUI;
using namespace guitest;

namespace {

class X11Window : public ::testing::Test {
protected:
    void SetUp() override {
        if (!(display = xtest::openDisplay()))
            GTEST_SKIP() << "No X display with XTEST: X11 window tests skipped";
        parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100, 240, 160, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);

        frame = new CFrame(CRect(0, 0, 200, 120), reinterpret_cast<void*>(parent), &editor);
        CBitmap* knobArt = resources.strip(10002, 40, 40, 33);
        CBitmap* buttonArt = resources.strip(10008, 20, 30, 2);
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
        return xtest::idleUntil([&] { frame->idle(); }, done, ms);
    }
    void pointerTo(int x, int y) { xtest::pointerTo(display, child, x, y); }
    void press(unsigned int b) {
        xtest::button(display, b, true);
        xtest::button(display, b, false);
    }

    ResourceFolder resources;
    StubEditor editor;
    RecordingListener listener;
    Display* display = nullptr;
    Window parent = 0;
    Window child = 0;
    CFrame* frame = nullptr;
    CAnimKnob* knob = nullptr;
    CMovieButton* button = nullptr;
};

TEST_F(X11Window, PointerAndKeysDriveTheControlsAndTheWindowShowsTheFrame) {
    // Linear drag: 60 pixels up from the knob's centre is 0.3 of the range.
    pointerTo(30, 30);
    xtest::button(display, 1, true);
    pointerTo(30, 0);
    pointerTo(30, -30);
    ASSERT_TRUE(pumpUntil([&] { return knob->getValue() >= 0.29f; }));
    xtest::button(display, 1, false);
    EXPECT_TRUE(pumpUntil([&] { return listener.ends == 1; }));
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-5);
    EXPECT_EQ(editor.edits, (std::vector<long>{0, -1}));

    // The wheel over the knob, then an arrow key to the focused knob.
    pointerTo(30, 30);
    press(4);
    EXPECT_TRUE(pumpUntil([&] { return knob->getValue() > 0.39f; }));
    EXPECT_NEAR(knob->getValue(), 0.4f, 1e-5);
    XSetInputFocus(display, child, RevertToParent, CurrentTime);
    xtest::key(display, XK_Down, true);
    xtest::key(display, XK_Down, false);
    EXPECT_TRUE(pumpUntil([&] { return knob->getValue() < 0.31f; }));
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-5);

    // A click on the button toggles it. Gestures so far: drag, wheel, key, click.
    pointerTo(110, 20);
    press(1);
    EXPECT_TRUE(pumpUntil([&] { return button->getValue() == 1.f && listener.ends == 4; }));
    EXPECT_EQ(listener.values.back(), 1.f);

    // The window shows exactly the frame's image.
    pumpUntil([] { return false; }, 100);
    const COffscreenContext& image = frame->getBackBuffer();
    EXPECT_EQ(xtest::Screenshot(display, child, 200, 120).differences(image), 0);
    EXPECT_EQ(shownFrame(image, knob->getViewSize()), 9);
    EXPECT_EQ(shownFrame(image, button->getViewSize()), 1);
}

TEST_F(X11Window, ButtonsTheFrameLeavesReachTheParentInItsCoordinates) {
    XSelectInput(display, parent, ButtonPressMask | ButtonReleaseMask);
    XMoveWindow(display, child, 15, 25); // the host may place us anywhere in its window
    XSync(display, False);
    using Seen = std::tuple<int, unsigned int, int, int>; // type, button, x, y
    const auto parentHears = [&](size_t count) {
        std::vector<Seen> seen;
        pumpUntil([&] {
            for (XEvent e;
                 XCheckWindowEvent(display, parent, ButtonPressMask | ButtonReleaseMask, &e);)
                seen.emplace_back(e.type, e.xbutton.button, e.xbutton.x, e.xbutton.y);
            return seen.size() >= count;
        });
        pumpUntil([] { return false; }, 50); // and nothing more
        return seen;
    };
    // A press and its release at the same place, in the parent's coordinates.
    const auto both = [](unsigned int button, int x, int y) {
        return std::vector<Seen>{{ButtonPress, button, x, y}, {ButtonRelease, button, x, y}};
    };
    const struct {
        const char* name;
        int x, y;
        std::vector<unsigned int> buttons; // pressed in order, released in reverse
        std::vector<Seen> forwarded;
        bool gesture; // one begin/end pair for the knob
    } cases[] = {
        {"right click on the knob", 30, 30, {3}, both(3, 45, 55), false},
        {"left click on the background", 150, 100, {1}, both(1, 165, 125), false},
        {"wheel over the background", 180, 80, {5}, both(5, 195, 105), false},
        {"wheel over the knob", 30, 30, {5}, {}, false},
        {"left click on the knob", 30, 30, {1}, {}, true},
        {"right click inside a drag", 31, 30, {1, 3}, both(3, 46, 55), true},
    };
    for (const auto& c : cases) {
        editor.edits.clear();
        pointerTo(c.x, c.y);
        for (unsigned int b : c.buttons) xtest::button(display, b, true);
        for (auto b = c.buttons.rbegin(); b != c.buttons.rend(); ++b)
            xtest::button(display, *b, false);
        EXPECT_EQ(parentHears(c.forwarded.size()), c.forwarded) << c.name;
        const std::vector<long> pair{0, -1};
        EXPECT_EQ(editor.edits, c.gesture ? pair : std::vector<long>()) << c.name;
    }
    EXPECT_NEAR(knob->getValue(), 0.f, 1e-6); // the wheel down stopped at the end
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
    // A parent the server does not know leaves an offscreen frame.
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
        EXPECT_EQ(k.character * 1000000 + k.virt * 1000 + k.modifier,
                  c.character * 1000000 + c.virt * 1000 + c.modifier)
            << c.sym;
    }
}

} // namespace
