// The built bundle's editor in a real X11 window: this program plays the host, loads
// Orvella.so with dlopen, opens the editor in a window of its own and drives it with real
// pointer events (XTest). Needs an X server (scripts/test starts Xvfb); without
// one the tests are skipped.

#include "gui/PluginBundle.h"
#include "gui/platform/X11Window.h"
#include "tests/editor/controls_gallery.h"
#include "tests/editor/editor_test_support.h"

#include <gtest/gtest.h>
// Last: see there.
#include "tests/gui/x11_test_support.h"

using namespace edtest;
using xtest::Screenshot;

namespace {

class EditorInX11 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!(display = xtest::openDisplay()))
            GTEST_SKIP() << "No X display with XTEST: editor window tests skipped";
        ASSERT_TRUE(host.loaded());
        ASSERT_NE(effect = host.instantiate(), nullptr);
        parent =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, 700, 420, 0, 0, 0);
        XMapRaised(display, parent);
        XSync(display, False);
        openEditor();
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

    VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr) {
        return TestHost::dispatch(effect, opcode, 0, 0, ptr);
    }
    void openEditor() {
        ASSERT_EQ(dispatch(effEditOpen, reinterpret_cast<void*>(parent)), 1);
        Window root, up, *children = nullptr;
        unsigned int count = 0;
        XQueryTree(display, parent, &root, &up, &children, &count);
        ASSERT_EQ(count, 1u);
        child = children[0];
        XFree(children);
        idleUntil([] { return false; }, 150); // mapped and painted
    }
    // Idles the editor as a host would until `done` holds or `ms` pass.
    bool idleUntil(const std::function<bool()>& done, int ms = 3000) {
        return xtest::idleUntil([&] { dispatch(effEditIdle), XSync(display, False); }, done, ms);
    }
    float parameter(int index) const { return effect->getParameter(effect, index); }
    void pointerTo(int x, int y) {
        xtest::pointerTo(display, child, x, y);
        idleUntil([] { return false; }, 10);
    }
    void button(bool press) {
        xtest::button(display, 1, press);
        idleUntil([] { return false; }, 10);
    }
    // Pixels of the window that differ from the editor drawn offscreen with the same values.
    int differencesFromOffscreen() {
        float values[kNumParams];
        for (int p = 0; p < kNumParams; ++p) values[p] = parameter(p);
        return edtest::differencesFromOffscreen(Screenshot(display, child, 675, 386), values);
    }
    TestHost host{builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so")};
    AEffect* effect = nullptr;
    Display* display = nullptr;
    Window parent = 0;
    Window child = 0;
};

TEST_F(EditorInX11, KnobDragTellsTheHostAsOneGesture) {
    EXPECT_EQ(differencesFromOffscreen(), 0);
    host.clearCalls();
    const float before = parameter(6);
    const auto r = rectOf(6);
    const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
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
    EXPECT_TRUE(idleUntil([&] { return differencesFromOffscreen() == 0; }));
}

TEST_F(EditorInX11, ReopenedEditorShowsTheSameValues) {
    for (auto [p, v] : {std::pair{8, 0.7f}, {13, 0.f}, {3, 0.6f}})
        effect->setParameter(effect, p, v);
    idleUntil([] { return false; }, 150);
    EXPECT_EQ(differencesFromOffscreen(), 0);
    const Screenshot first(display, child, 675, 386);
    dispatch(effEditClose);
    openEditor();
    EXPECT_EQ(differencesFromOffscreen(), 0);
    EXPECT_EQ(Screenshot(display, child, 675, 386).differences(first), 0);
}

// The control library in a real window shows what the same controls draw offscreen.
TEST(GalleryInX11, TheWindowShowsWhatTheControlsDrawOffscreen) {
    Display* display = xtest::openDisplay();
    if (!display) GTEST_SKIP() << "No X display with XTEST: gallery window test skipped";
    const char* build = std::getenv("ORVELLA_BUILD_DIR");
    GUI::setResourceFolderOverride(std::string(build ? build : ".") +
                                   "/Orvella.vst/Contents/Resources");
    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 30, 30, 560, 340, 0, 0, 0);
    XMapRaised(display, parent);
    XSync(display, False);
    GUI::CFrame* shown = gallery::makeFrame(reinterpret_cast<void*>(parent));
    GUI::CFrame* offscreen = gallery::makeFrame(nullptr);
    offscreen->idle();
    const GUI::COffscreenContext& image = offscreen->getBackBuffer();
    int drawn = 0; // pixels the controls cover
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 520; ++x) drawn += image.getPixel(x, y) != image.getPixel(0, 299);
    EXPECT_GT(drawn, 30000);
    ASSERT_NE(shown->getPlatformWindow(), nullptr);
    const Window child = shown->getPlatformWindow()->getWindowId();
    const auto differing = [&] { return Screenshot(display, child, 520, 300).differences(image); };
    xtest::idleUntil([&] { shown->idle(), XSync(display, False); },
                     [&] { return differing() == 0; }, 3000);
    EXPECT_EQ(differing(), 0);
    shown->forget();
    offscreen->forget();
    GUI::setResourceFolderOverride("");
    XDestroyWindow(display, parent);
    XCloseDisplay(display);
}

} // namespace
