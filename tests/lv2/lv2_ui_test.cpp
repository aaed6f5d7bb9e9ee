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

using Calls = std::vector<std::pair<uint32_t, int>>;

class Lv2UiInX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!(display = xtest::openDisplay())) GTEST_SKIP() << "No X display with XTEST";
        module = dlopen(builtModule("Orvella.lv2/Orvella_ui.so").c_str(), RTLD_NOW);
        ASSERT_NE(module, nullptr) << dlerror();
        const auto entry = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(
            dlsym(module, "lv2ui_descriptor"));
        ASSERT_TRUE(entry && (ui = entry(0)) && !entry(1));
        const void* idler = ui->extension_data(LV2_UI__idleInterface);
        ASSERT_TRUE(idler);
        idle = static_cast<const LV2UI_Idle_Interface*>(idler)->idle;
        parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, 700, 420, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        ASSERT_NE(handle = instantiate(reinterpret_cast<void*>(parent)), nullptr);
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
    }
    void idleFor(int ms) {
        xtest::idleUntil([&] { EXPECT_EQ(idle(handle), 0), XSync(display, False); },
                         [] { return false; }, ms);
    }
    void pointerTo(long tag, int up = 0) {
        const auto r = rectOf(tag);
        xtest::pointerTo(display, child, (r.left + r.right) / 2, (r.top + r.bottom) / 2 - up);
        idleFor(10);
    }
    void click(long tag, std::initializer_list<KeySym> keys = {}) {
        pointerTo(tag);
        for (KeySym k : keys) xtest::key(display, k, true);
        xtest::button(display, 1, true), xtest::button(display, 1, false);
        for (KeySym k : keys) xtest::key(display, k, false);
        idleFor(60);
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
    struct Write {
        uint32_t port, protocol;
        std::vector<uint8_t> bytes;
    };
    std::vector<Write> writes;
    float values[kNumParams];
};

TEST_F(Lv2UiInX11, EmbedsAtTheLayoutsSizeAndCleanupLeavesNoWindow) {
    const auto children = [&] {
        Window root, up, *list = nullptr;
        unsigned count = 0;
        XQueryTree(display, parent, &root, &up, &list, &count);
        std::vector<Window> found(list, list + count);
        return XFree(list), found;
    };
    EXPECT_EQ(children(), std::vector{child});
    XWindowAttributes a;
    XGetWindowAttributes(display, child, &a);
    EXPECT_EQ(Calls({{a.width, a.height}}), Calls({{675, 386}}));
    EXPECT_EQ(sizes, Calls({{675, 386}}));
    EXPECT_EQ(instantiate(nullptr), nullptr);
    ui->cleanup(std::exchange(handle, nullptr));
    XSync(display, False);
    EXPECT_TRUE(children().empty());
}

TEST_F(Lv2UiInX11, InputAndOutputPortEventsMoveTheControls) {
    for (auto [port, value] : {std::pair{ports::controlInput(6), 0.8f},
                               {ports::controlOutput(8), 0.9f},
                               {ports::controlOutput(13), 0.f},
                               {ports::controlInput(3), 0.1f}}) {
        portEvent(port, values[(port - ports::kFirstControlInput) % kNumParams] = value);
        idleFor(30);
        EXPECT_EQ(differencesFromOffscreen(shot(), values), 0);
    }
    EXPECT_TRUE(writes.empty()); // what the host said is not said back
}

TEST_F(Lv2UiInX11, KnobDragWritesItsPortInItsUnitsAsOneGesture) {
    pointerTo(6);
    xtest::button(display, 1, true);
    for (int dy = 10; dy <= 40; dy += 10) pointerTo(6, dy);
    xtest::button(display, 1, false);
    idleFor(60);
    ASSERT_FALSE(writes.empty());
    for (const Write& w : writes) EXPECT_EQ(Calls({{w.port, w.protocol}}), Calls({{11, 0}}));
    float last;
    std::memcpy(&last, writes.back().bytes.data(), sizeof last);
    EXPECT_FLOAT_EQ(last, ports::portValue(6, 0.7f));
    EXPECT_EQ(touches, Calls({{11, true}, {11, false}}));
}

TEST_F(Lv2UiInX11, LearnClicksSendTheLearnMessageAndALearnedControllerEndsTheOutline) {
    const ports::Urids urids(&map);
    const auto outlined = [&](long tag) { return edtest::outlined(shot(), rectOf(tag), 0xffffff); };
    const auto learned = [&] {
        std::vector<int> parameters;
        for (const Write& w : writes)
            if (w.port == ports::kEvents && w.protocol == urids.atomEventTransfer)
                parameters.push_back(ports::learnedParameter(
                    urids, reinterpret_cast<const LV2_Atom*>(w.bytes.data()), w.bytes.size()));
        return parameters;
    };
    click(3, {XK_Shift_L, XK_Control_L});
    EXPECT_TRUE(outlined(3));
    click(3, {XK_Shift_L, XK_Control_L}); // cancels
    EXPECT_FALSE(outlined(3));
    click(0, {XK_Shift_L, XK_Control_L});
    EXPECT_EQ(learned(), std::vector({3, 3, 0}));
    for (auto [value, stillArmed] : {std::pair{0.5f, true}, {0.25f, false}}) {
        portEvent(ports::controlOutput(0), value); // the same value comes back while armed
        idleFor(30);
        EXPECT_EQ(outlined(0), stillArmed) << value;
    }
    click(OrvellaLayout::kLearnTag);
    EXPECT_EQ(learned().back(), OrvellaLayout::kLearnParameter);
}

} // namespace
