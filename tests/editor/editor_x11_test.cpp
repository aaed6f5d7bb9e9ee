// The built bundle's editor in a real X11 window: this program plays the host, loads
// Orvella.so with dlopen, opens the editor in a window of its own and drives it with real
// pointer and key events (XTest). Needs an X server (scripts/test starts Xvfb); without
// one the tests are skipped.

#include "editor/OrvellaEditor.h"
#include "effect/Orvella.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/PluginBundle.h"
#include "tests/common/TestHost.h"

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

using OrvellaLayout::kControls;

namespace {

const std::string kResources = builtModule("Orvella.vst/Contents/Resources");

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

OrvellaLayout::Rect rectOf(long tag) {
    for (const auto& c : kControls)
        if (c.tag == tag) return c.rect;
    return {};
}

// The window's pixels as 0xRRGGBB.
struct Screenshot {
    Screenshot(Display* d, Window w, int width, int height)
        : image(XGetImage(d, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap)) {}
    ~Screenshot() {
        if (image) XDestroyImage(image);
    }
    uint32_t at(int x, int y) const { return uint32_t(XGetPixel(image, x, y)) & 0xffffffu; }
    XImage* image;
};

class EditorInX11 : public ::testing::Test {
protected:
    void SetUp() override {
        // The server resets when its last client leaves and refuses connections meanwhile.
        for (int attempt = 0; attempt < 40 && !display; ++attempt) {
            if (!std::getenv("DISPLAY")) break;
            display = XOpenDisplay(nullptr);
            if (!display) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!display)
            GTEST_SKIP() << "No X display (DISPLAY unset or unreachable): editor window tests "
                            "skipped";
        int event, error, major, minor;
        if (!XTestQueryExtension(display, &event, &error, &major, &minor))
            GTEST_SKIP() << "The X server lacks the XTEST extension: editor window tests skipped";
        ASSERT_TRUE(host.loaded());
        effect = host.instantiate();
        ASSERT_NE(effect, nullptr);
        parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, 700, 420, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        if (effect) {
            dispatch(effEditClose);
            host.close(effect);
        }
        if (display) {
            XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr) {
        return TestHost::dispatch(effect, opcode, index, value, ptr);
    }
    void openEditor() {
        ASSERT_EQ(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        Window root, up, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        ASSERT_EQ(count, 1u);
        child = children[0];
        XFree(children);
        idleFor(150); // mapped and painted
    }
    // Idles the editor as a host would until `done` holds or `ms` pass.
    bool idleUntil(const std::function<bool()>& done, int ms = 3000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            dispatch(effEditIdle);
            XSync(display, False);
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return done();
    }
    void idleFor(int ms) {
        idleUntil([] { return false; }, ms);
    }
    float parameter(int index) const { return effect->getParameter(effect, index); }
    void pointerTo(int x, int y) {
        int rx = 0, ry = 0;
        Window ignored;
        XTranslateCoordinates(display, child, DefaultRootWindow(display), x, y, &rx, &ry, &ignored);
        XTestFakeMotionEvent(display, DefaultScreen(display), rx, ry, CurrentTime);
        XSync(display, False);
        idleFor(10);
    }
    void button(bool press) {
        XTestFakeButtonEvent(display, 1, press, CurrentTime);
        XSync(display, False);
        idleFor(10);
    }
    void key(KeySym sym, bool press) {
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, sym), press, CurrentTime);
        XSync(display, False);
    }
    void cc(int controller, int value) {
        VstMidiEvent midi{};
        midi.type = kVstMidiType;
        midi.byteSize = sizeof midi;
        midi.midiData[0] = char(0xB0);
        midi.midiData[1] = char(controller);
        midi.midiData[2] = char(value);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
        dispatch(effProcessEvents, 0, 0, &events);
    }
    // Pixels of the window that differ from the picture the editor draws offscreen for the
    // same parameter values, in this process, from the bundle's artwork.
    int differencesFromOffscreen() {
        GUI::setResourceFolderOverride(kResources);
        int differing = -1;
        {
            Orvella local(quietHost);
            for (int p = 0; p < 16; ++p) local.setParameter(p, parameter(p));
            auto* editor = static_cast<OrvellaEditor*>(local.getEditor());
            editor->open(nullptr);
            editor->idle();
            const GUI::COffscreenContext& drawn = editor->getFrame()->getBackBuffer();
            const Screenshot shot(display, child, 675, 386);
            if (shot.image) {
                differing = 0;
                for (int y = 0; y < 386; ++y)
                    for (int x = 0; x < 675; ++x)
                        if (shot.at(x, y) != (drawn.getPixel(x, y) & 0xffffffu)) ++differing;
            }
            editor->close();
        }
        GUI::setResourceFolderOverride("");
        return differing;
    }
    // Whether the outermost pixels of a control's rectangle are white on screen.
    bool outlinedOnScreen(long tag) {
        const auto r = rectOf(tag);
        const Screenshot shot(display, child, 675, 386);
        for (int x = r.left; x < r.right; ++x)
            if (shot.at(x, r.top) != 0xffffff || shot.at(x, r.bottom - 1) != 0xffffff) return false;
        for (int y = r.top; y < r.bottom; ++y)
            if (shot.at(r.left, y) != 0xffffff || shot.at(r.right - 1, y) != 0xffffff) return false;
        return true;
    }

    TestHost host{builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so")};
    AEffect* effect = nullptr;
    Display* display = nullptr;
    Window parent = 0;
    Window child = 0;
};

TEST_F(EditorInX11, KnobDragTellsTheHostAsOneGesture) {
    openEditor();
    EXPECT_EQ(differencesFromOffscreen(), 0);

    host.clearCalls();
    const auto r = rectOf(6);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    const float before = parameter(6);
    pointerTo(cx, cy);
    button(true);
    for (int dy = 10; dy <= 40; dy += 10) pointerTo(cx, cy - dy);
    button(false);
    ASSERT_TRUE(idleUntil([&] { return !host.callsWith(audioMasterEndEdit).empty(); }));
    EXPECT_NEAR(parameter(6), std::min(1.f, before + 0.2f), 1e-5);
    const auto begins = host.callsWith(audioMasterBeginEdit);
    const auto automations = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(begins.size(), 1u);
    EXPECT_EQ(begins[0].index, 6);
    ASSERT_FALSE(automations.empty());
    for (const HostCall& call : automations) EXPECT_EQ(call.index, 6);
    EXPECT_FLOAT_EQ(automations.back().opt, parameter(6));
    EXPECT_EQ(host.callsWith(audioMasterEndEdit)[0].index, 6);
    idleFor(150);
    EXPECT_EQ(differencesFromOffscreen(), 0);
}

TEST_F(EditorInX11, LearnClickOutlinesAndMidiMovesTheKnobOnScreen) {
    openEditor();
    const auto r = rectOf(0);
    pointerTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    host.clearCalls();
    key(XK_Shift_L, true);
    key(XK_Control_L, true);
    button(true);
    button(false);
    key(XK_Control_L, false);
    key(XK_Shift_L, false);
    EXPECT_TRUE(idleUntil([&] { return outlinedOnScreen(0); }));
    EXPECT_TRUE(host.callsWith(audioMasterBeginEdit).empty());
    EXPECT_TRUE(host.callsWith(audioMasterAutomate).empty());

    // Controller 21 moved twice is learned and the outline goes; it then drives the knob.
    cc(21, 5);
    cc(21, 5);
    EXPECT_TRUE(idleUntil([&] { return !outlinedOnScreen(0); }));
    cc(21, 127);
    EXPECT_EQ(parameter(0), 1.f);
    // The screen shows the knob at its maximum, as the editor draws it.
    EXPECT_TRUE(idleUntil([&] { return differencesFromOffscreen() == 0; }));
}

TEST_F(EditorInX11, ReopenedEditorShowsTheSameValues) {
    openEditor();
    effect->setParameter(effect, 8, 0.7f);
    effect->setParameter(effect, 13, 0.f);
    effect->setParameter(effect, 3, 0.6f);
    idleFor(150);
    EXPECT_EQ(differencesFromOffscreen(), 0);
    const Screenshot first(display, child, 675, 386);
    ASSERT_NE(first.image, nullptr);

    dispatch(effEditClose);
    idleFor(50);
    openEditor();
    EXPECT_EQ(differencesFromOffscreen(), 0);
    const Screenshot second(display, child, 675, 386);
    int differing = 0;
    for (int y = 0; y < 386; ++y)
        for (int x = 0; x < 675; ++x)
            if (first.at(x, y) != second.at(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

} // namespace
