// The bundle's LV2 UI in a real X11 window: this program plays the host, loads Orvella_ui.so
// with dlopen and drives the editor with real pointer events (XTest). Needs an X server.

#include "lv2/OrvellaPorts.h"
#include "tests/editor/editor_test_support.h"

#include <cstring>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/ui/ui.h>
// Last: see there.
#include "tests/gui/x11_test_support.h"

using namespace edtest;
namespace ports = OrvellaPorts;

namespace {

using Calls = std::vector<std::pair<uint32_t, int>>; // (port or width, protocol, grab or height)
struct Write {
    uint32_t port, protocol;
    std::vector<uint8_t> bytes;
};

class Lv2UiInX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!(display = xtest::openDisplay())) GTEST_SKIP() << "No X display with XTEST";
        module = dlopen(builtModule("Orvella.lv2/Orvella_ui.so").c_str(), RTLD_NOW);
        const auto* entry = module ? dlsym(module, "lv2ui_descriptor") : nullptr;
        ASSERT_TRUE(entry) << dlerror();
        ui = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(entry)(0);
        idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface))
                   ->idle;
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 700, 420, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        ASSERT_TRUE(handle = instantiate(reinterpret_cast<void*>(parent)));
        child = Window(reinterpret_cast<uintptr_t>(widget));
        for (int p = 0; p < kNumParams; ++p) portEvent(ports::controlInput(p), values[p] = 0.5f);
        idleFor(150); // mapped and painted
    }
    void TearDown() override {
        if (handle) ui->cleanup(handle);
        if (display) XDestroyWindow(display, parent), XCloseDisplay(display);
        if (module) dlclose(module);
    }
    LV2UI_Handle instantiate(void* window) {
        const LV2_Feature f[] = {{LV2_UI__parent, window},
                                 {LV2_URID__map, &map},
                                 {LV2_UI__resize, &resize},
                                 {LV2_UI__touch, &touch}};
        const LV2_Feature* features[] = {&f[0], &f[1], &f[2], &f[3], nullptr};
        return ui->instantiate(ui, ports::kPluginUri, builtModule("Orvella.lv2/").c_str(), write,
                               this, &widget, features);
    }
    static Lv2UiInX11& self(void* handle) { return *static_cast<Lv2UiInX11*>(handle); }
    static void write(void* h, uint32_t port, uint32_t size, uint32_t protocol, const void* data) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        self(h).writes.push_back({port, protocol, {bytes, bytes + size}});
    }
    static LV2_URID mapUri(void*, const char* uri) {
        return LV2_URID(std::hash<std::string_view>{}(uri) | 1);
    }
    static int resized(void* h, int w, int ht) { return self(h).sizes.push_back({w, ht}), 0; }
    static void touched(void* h, uint32_t port, bool on) { self(h).touches.push_back({port, on}); }
    // The host's port event with a parameter's host value, in the port's units.
    void portEvent(uint32_t port, float hostValue) {
        const float value = ports::portValue(ports::parameterOfPort(port), hostValue);
        ui->port_event(handle, port, sizeof value, 0, &value);
        idleFor(30);
    }
    void idleFor(int ms) {
        xtest::idleUntil([&] { EXPECT_EQ(idle(handle), 0), XSync(display, False); },
                         [] { return false; }, ms);
    }
    // The pointer over a control's middle, `up` pixels higher.
    void moveTo(long tag, int up = 0) {
        const auto r = rectOf(tag);
        xtest::pointerTo(display, child, (r.left + r.right) / 2, (r.top + r.bottom) / 2 - up);
        idleFor(10);
    }
    void button(bool down) {
        xtest::button(display, 1, down);
        idleFor(20);
    }
    xtest::Screenshot shot() const { return {display, child, 675, 386}; }

    Display* display = nullptr;
    void* module = nullptr;
    const LV2UI_Descriptor* ui = nullptr;
    int (*idle)(LV2UI_Handle) = nullptr;
    Window parent = 0, child = 0;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    LV2_URID_Map map{this, mapUri};
    Calls sizes, touches;
    LV2UI_Resize resize{this, resized};
    LV2UI_Touch touch{this, touched};
    std::vector<Write> writes;
    float values[kNumParams];
};

TEST_F(Lv2UiInX11, EmbedsAtTheLayoutsSizeAndCleanupLeavesNoWindow) {
    Window root, up, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, parent, &root, &up, &children, &count);
    EXPECT_EQ(std::vector(children, children + count), std::vector{child});
    // The window's own size: every screenshot of the other tests reads the layout's rectangle.
    EXPECT_EQ(sizes, Calls({{675, 386}}));
    EXPECT_FALSE(instantiate(nullptr));
    ui->cleanup(std::exchange(handle, nullptr));
    XSync(display, False);
    XFree(children);
    XQueryTree(display, parent, &root, &up, &children, &count);
    EXPECT_EQ(count, 0u);
}

TEST_F(Lv2UiInX11, InputAndOutputPortEventsMoveTheControls) {
    for (auto [port, value] : {std::pair{ports::controlInput(6), 0.8f},
                               {ports::controlOutput(8), 0.9f},
                               {ports::controlOutput(13), 0.f},
                               {ports::controlInput(3), 0.1f}}) {
        portEvent(port, values[ports::parameterOfPort(port) & 15] = value);
        EXPECT_EQ(differencesFromOffscreen(shot(), values), 0) << port;
    }
    EXPECT_TRUE(writes.empty()); // what the host said is not said back
}

TEST_F(Lv2UiInX11, KnobDragWritesItsPortInItsUnitsAsOneGesture) {
    moveTo(6);
    button(true);
    for (int up = 10; up <= 40; up += 10) moveTo(6, up);
    button(false);
    ASSERT_FALSE(writes.empty());
    for (const Write& w : writes) EXPECT_EQ(Calls({{w.port, w.protocol}}), Calls({{11, 0}}));
    float last;
    std::memcpy(&last, writes.back().bytes.data(), sizeof last);
    EXPECT_FLOAT_EQ(last, ports::portValue(6, 0.7f));
    EXPECT_EQ(touches, Calls({{11, true}, {11, false}}));
}

TEST_F(Lv2UiInX11, LearnClicksSendTheLearnMessageAndALearnedControllerEndsTheOutline) {
    const ports::Urids urids(&map);
    std::vector<int> learned;
    const auto outlined = [&](long tag, bool learnClick) {
        moveTo(tag);
        for (KeySym k : {XK_Shift_L, XK_Control_L}) xtest::key(display, k, learnClick);
        button(true), button(false);
        for (KeySym k : {XK_Shift_L, XK_Control_L}) xtest::key(display, k, false);
        const Write& w = writes.back();
        EXPECT_EQ(std::pair(w.port, w.protocol),
                  std::pair(uint32_t(ports::kEvents), urids.atomEventTransfer));
        learned.push_back(ports::learnedParameter(
            urids, reinterpret_cast<const LV2_Atom*>(w.bytes.data()), w.bytes.size()));
        return edtest::outlined(shot(), rectOf(tag), 0xffffff);
    };
    EXPECT_TRUE(outlined(3, true));
    EXPECT_FALSE(outlined(3, true)); // cancels
    EXPECT_TRUE(outlined(0, true));
    portEvent(ports::controlOutput(0), 0.5f); // the value shown comes back: still armed
    EXPECT_TRUE(edtest::outlined(shot(), rectOf(0), 0xffffff));
    portEvent(ports::controlOutput(0), 0.25f); // the learned controller moved it
    EXPECT_FALSE(edtest::outlined(shot(), rectOf(0), 0xffffff));
    outlined(OrvellaLayout::kLearnTag, false);
    EXPECT_EQ(learned, std::vector({3, 3, 0, OrvellaLayout::kLearnParameter}));
}

} // namespace
