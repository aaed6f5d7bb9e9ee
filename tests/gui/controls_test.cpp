// Stock controls: which strip frame each value shows, and how the mouse, wheel and keys
// move them.

#include "gui/CAnimKnob.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CMovieBitmap.h"
#include "gui/CMovieButton.h"
#include "gui/CSplashScreen.h"
#include "gui_test_support.h"
#include "plugin/VstInterface.h"

#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

class Controls : public OffscreenFrame<300, 160> {
protected:
    // A knob without artwork, linked to the listener.
    CAnimKnob* knob(const CRect& r, long tag = 4) {
        return add(new CAnimKnob(r, &listener, tag, 33, 0, nullptr));
    }
    // A control over a strip of solid frames.
    template <class C, class... A> C* over(int id, int w, int h, int frames, A... args) {
        CBitmap* strip = resources.strip(id, w, h, frames);
        C* c = add(new C(args..., strip));
        strip->forget();
        return c;
    }
};

TEST_F(Controls, EachControlShowsTheFrameItsRuleChooses) {
    struct Case {
        float value;
        int knob, button, movie, toggleSwitch;
    };
    // Knob: 33 frames, floor(value*32*h / h); button: 0 only for exactly 0; movie bitmap:
    // 5 frames, nearest; switch: 3 positions, nearest.
    const Case cases[] = {
        {0.f, 0, 0, 0, 0},    {-0.5f, 0, 0, 0, 0}, {0.2f, 6, 1, 1, 0},
        {0.26f, 8, 1, 1, 1},  {0.5f, 16, 1, 2, 1}, {0.74f, 23, 1, 3, 1},
        {0.76f, 24, 1, 3, 2}, {1.f, 32, 1, 4, 2},  {0.999f, 31, 1, 4, 2},
    };
    auto* knob = over<CAnimKnob>(10002, 20, 20, 33, CRect(0, 0, 20, 20), &listener, 0, 99, 20);
    auto* button = over<CMovieButton>(10008, 10, 12, 2, CRect(30, 0, 40, 12), &listener, 1, 12);
    auto* movie = over<CMovieBitmap>(10015, 8, 8, 5, CRect(50, 0, 58, 8), nullptr, 2, 5, 8);
    auto* sw =
        over<CHorizontalSwitch>(10013, 30, 10, 3, CRect(60, 0, 90, 10), &listener, 3, 3, 10, 3);
    EXPECT_EQ(knob->getNumSubPixmaps(), 33); // from the bitmap, not the argument
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        for (CControl* control :
             {(CControl*)knob, (CControl*)button, (CControl*)movie, (CControl*)sw})
            control->setValue(c.value);
        EXPECT_EQ(shown(knob), c.knob);
        EXPECT_EQ(shown(button), c.button);
        EXPECT_EQ(shown(movie), c.movie);
        EXPECT_EQ(shown(sw), c.toggleSwitch);
    }
    movie->setValue(3.f);
    button->setValue(7.f);
    EXPECT_EQ(shown(movie), 4);
    EXPECT_EQ(shown(button), 1);
    EXPECT_EQ(movie->getValue(), 1.f); // bounced
    EXPECT_EQ(button->getValue(), 1.f);

    // Ten frames asked for, two present: the frames beyond show the background.
    auto* shortStrip =
        over<CMovieBitmap>(10003, 10, 10, 2, CRect(100, 0, 110, 10), nullptr, 5, 10, 10);
    frame->setBackgroundColor(kWhiteCColor);
    shortStrip->setValue(1.f / 9);
    EXPECT_EQ(shown(shortStrip), 1);
    shortStrip->setValue(1.f);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(105, 5), 0xffffffffu);
}

TEST_F(Controls, KnobDragCoversTheRangeIn200PixelsOr300WithShift) {
    auto* k = knob(CRect(0, 0, 40, 40));
    k->setValue(0.f);
    down(*frame, {20, 20});
    move(*frame, {20, -80});
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
    move(*frame, {120, -80}); // 100 right and 100 up
    EXPECT_FLOAT_EQ(k->getValue(), 1.f);
    up(*frame, {120, -80});
    EXPECT_EQ(editor.edits, (std::vector<long>{4, -5}));
    EXPECT_EQ(listener.begins + listener.ends, 2);
    EXPECT_EQ(listener.values.size(), 2u);

    k->setValue(0.f);
    down(*frame, {20, 20}, kLButton | kShift);
    move(*frame, {170, 20}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f); // 150 of 300 pixels
    up(*frame, {170, 20}, kLButton | kShift);

    // Shift pressed mid-drag: the value goes on from where it is at the new weight.
    k->setValue(0.2f);
    down(*frame, {20, 20});
    move(*frame, {20, -20});
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f);
    move(*frame, {20, -21}, kLButton | kShift);
    EXPECT_NEAR(k->getValue(), 0.405f, 1e-6);
    move(*frame, {20, -50}, kLButton | kShift);
    EXPECT_NEAR(k->getValue(), 0.405f + 29.f / 300, 1e-6);
    // Released on the next pixel, which still counts at 1/300; the one after at 1/200.
    move(*frame, {20, -51});
    EXPECT_NEAR(k->getValue(), 0.505f, 1e-6);
    move(*frame, {20, -52});
    EXPECT_NEAR(k->getValue(), 0.51f, 1e-6);
}

TEST_F(Controls, CircularKnobReadsTheAngleAroundItsCentre) {
    editor.knobMode = kCircularMode;
    auto* k = knob(CRect(100, 100, 140, 140));
    const std::pair<CPoint, float> cases[] = {
        {{120, 100}, 0.5f}, {{140, 120}, 5.f / 6}, {{100, 120}, 1.f / 6}, {{100, 140}, 0.f},
        {{140, 140}, 1.f},  {{118, 140}, 0.f},     {{122, 140}, 1.f},     {{140, 100}, 2.f / 3},
    };
    for (const auto& [at, value] : cases)
        EXPECT_NEAR(k->valueFromPoint(at), value, 1e-5) << at.h << "," << at.v;
    // A drag follows the pointer; crossing the gap at the bottom holds it at the maximum.
    k->setValue(0.5f);
    down(*frame, {120, 100});
    move(*frame, {140, 120});
    EXPECT_NEAR(k->getValue(), 5.f / 6, 1e-5);
    move(*frame, {140, 139});
    move(*frame, {101, 139});
    EXPECT_EQ(k->getValue(), 1.f);
    up(*frame, {101, 139});
    // Alt makes the drag linear again.
    k->setValue(0.f);
    down(*frame, {120, 120}, kLButton | kAlt);
    move(*frame, {220, 120}, kLButton | kAlt);
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
}

TEST_F(Controls, DefaultValueClickResetsKnobAndSwitch) {
    auto* k = knob(CRect(0, 0, 40, 40), 0);
    auto* sw =
        over<CHorizontalSwitch>(10013, 30, 10, 3, CRect(50, 0, 80, 10), &listener, 8, 3, 10, 3);
    k->setValue(0.9f);
    sw->setValue(1.f);
    frame->idle();
    click(*frame, {10, 10}, kLButton | kControl);
    click(*frame, {75, 5}, kLButton | kControl); // over the last position, not the default
    EXPECT_EQ(listener.values, (std::vector<float>{0.5f, 0.f}));
    EXPECT_EQ(editor.edits, (std::vector<long>{0, -1, 8, -9}));
    EXPECT_EQ(listener.modifierClicks.size(), 2u); // asked first, let through
}

TEST_F(Controls, KnobWheelAndArrowKeysStepByTheWheelIncrement) {
    auto* k = knob(CRect(0, 0, 40, 40));
    k->setValue(0.5f);
    const std::tuple<CMouseWheelAxis, CButtonState, float> wheel[] = {
        {kMouseWheelAxisY, 0, 0.6f},
        {kMouseWheelAxisX, 0, 0.5f},
        {kMouseWheelAxisY, kShift, 0.51f}};
    for (const auto& [axis, buttons, expected] : wheel) {
        frame->onWheel({10, 10}, axis, 1.f, buttons);
        EXPECT_FLOAT_EQ(k->getValue(), expected);
    }
    EXPECT_EQ(listener.begins, 3);
    VstKeyCode down{0, VKEY_DOWN, 0}, right{0, VKEY_RIGHT, MODIFIER_SHIFT}, a{'a', 0, 0};
    EXPECT_EQ(k->onKeyDown(down), 1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.41f);
    EXPECT_EQ(k->onKeyDown(right), 1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.42f);
    EXPECT_EQ(k->onKeyDown(a), -1);
    k->setValue(1.f);
    frame->idle();
    const size_t heard = listener.values.size();
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, 0); // already at the end: silent
    EXPECT_EQ(listener.values.size(), heard);
}

TEST_F(Controls, MovieButtonFollowsThePointerUntilRelease) {
    auto* button = add(new CMovieButton(CRect(10, 10, 30, 40), &listener, 2, 30, nullptr));
    down(*frame, {15, 15});
    EXPECT_EQ(button->getValue(), 1.f);
    move(*frame, {100, 100});
    EXPECT_EQ(button->getValue(), 0.f);
    move(*frame, {15, 15});
    up(*frame, {15, 15});
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f, 1.f}));
    // Pressed and released outside: the value stays.
    down(*frame, {15, 15});
    move(*frame, {100, 100});
    up(*frame, {100, 100});
    EXPECT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(listener.begins + listener.ends, 4);
    click(*frame, {10, 10}); // a click again, on the corner, turns it off
    EXPECT_EQ(button->getValue(), 0.f);
    CPoint at(15, 15);
    EXPECT_EQ(button->onMouseDown(at, kRButton), kMouseEventNotHandled);
}

TEST_F(Controls, SwitchPositionFollowsX) {
    // 50-pixel artwork in three positions: steps of 50/3 pixels.
    auto* sw =
        over<CHorizontalSwitch>(10014, 50, 61, 3, CRect(222, 0, 272, 61), &listener, 8, 3, 61, 3);
    for (int dx = 0; dx <= 50; ++dx) {
        click(*frame, {222 + dx, 30});
        EXPECT_EQ(sw->getValue(), dx <= 16 ? 0.f : dx <= 33 ? 0.5f : 1.f) << "x - left = " << dx;
    }
    down(*frame, {222, 30});
    move(*frame, {900, 30});
    EXPECT_EQ(sw->getValue(), 1.f);
}

TEST_F(Controls, SplashScreenShowsAModalViewUntilClicked) {
    CBitmap* art = resources.strip(10020, 200, 150, 1);
    auto* hotSpot = add(
        new CSplashScreen(CRect(150, 120, 200, 150), &listener, 17, art, CRect(0, 0, 200, 150)));
    auto* k = knob(CRect(0, 0, 40, 40), 0);
    art->forget();
    frame->setBackgroundColor(kWhiteCColor);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(160, 130), 0xffffffffu); // draws nothing itself

    click(*frame, {160, 130});
    ASSERT_NE(frame->getModalView(), nullptr);
    frame->idle();
    EXPECT_EQ(shownFrame(frame->getBackBuffer(), CRect(0, 0, 200, 150)), 0);
    // Modal: the knob underneath gets nothing, not even the wheel.
    click(*frame, {150, 125}, kRButton);
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, 0);
    EXPECT_EQ(k->getValue(), 0.f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f}));

    click(*frame, {10, 10}); // anywhere on the splash
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(100, 100), 0xffffffffu);
    EXPECT_EQ(art->getNbReference(), 1); // only the hot spot holds it

    // With another modal view up, the hot spot opens nothing and reports nothing.
    auto* blocker = new CView(CRect(0, 0, 10, 10));
    ASSERT_TRUE(frame->setModalView(blocker));
    CPoint at(160, 130);
    EXPECT_EQ(hotSpot->onMouseDown(at, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_EQ(listener.values.size(), 2u);
    frame->setModalView(nullptr);
    blocker->forget();
}

TEST_F(Controls, FrameClosingWhileSplashIsUpReleasesEverything) {
    auto* hotSpot =
        add(new CSplashScreen(CRect(0, 0, 10, 10), &listener, 17, nullptr, CRect(0, 0, 200, 150)));
    hotSpot->remember();
    click(*frame, {5, 5});
    ASSERT_TRUE(hotSpot->isSplashed());
    CView* splash = frame->getModalView();
    splash->remember();
    frame->forget();
    frame = new CFrame(CRect(0, 0, 10, 10), nullptr, &editor);
    EXPECT_FALSE(hotSpot->isSplashed());
    EXPECT_EQ(splash->getNbReference(), 1);
    EXPECT_EQ(hotSpot->getNbReference(), 1);
    splash->forget();
    hotSpot->forget();
}

} // namespace
