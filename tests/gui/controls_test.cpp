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

class Controls : public ::testing::Test {
protected:
    void SetUp() override { frame = new CFrame(CRect(0, 0, 300, 160), nullptr, &editor); }
    void TearDown() override { frame->forget(); }

    // Adds a control, paints everything and answers the frame its rectangle shows.
    template <class C> C* add(C* control) {
        frame->addView(control);
        return control;
    }
    int paintAndRead(const CView* v) {
        frame->idle();
        return shownFrame(frame->getBackBuffer(), v->getViewSize());
    }

    ResourceFolder resources;
    StubEditor editor;
    RecordingListener listener;
    CFrame* frame = nullptr;
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
    CBitmap* knobStrip = resources.strip(10002, 20, 20, 33);
    CBitmap* buttonStrip = resources.strip(10008, 10, 12, 2);
    CBitmap* movieStrip = resources.strip(10015, 8, 8, 5);
    CBitmap* switchStrip = resources.strip(10013, 30, 10, 3);
    auto* knob = add(new CAnimKnob(CRect(0, 0, 20, 20), &listener, 0, 99, 20, knobStrip));
    auto* button = add(new CMovieButton(CRect(30, 0, 40, 12), &listener, 1, 12, buttonStrip));
    auto* movie = add(new CMovieBitmap(CRect(50, 0, 58, 8), nullptr, 2, 5, 8, movieStrip));
    auto* sw =
        add(new CHorizontalSwitch(CRect(60, 0, 90, 10), &listener, 3, 3, 10, 3, switchStrip));
    for (CBitmap* b : {knobStrip, buttonStrip, movieStrip, switchStrip}) b->forget();
    EXPECT_EQ(knob->getNumSubPixmaps(), 33); // from the bitmap, not the argument

    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        for (CControl* control :
             {(CControl*)knob, (CControl*)button, (CControl*)movie, (CControl*)sw})
            control->setValue(c.value);
        EXPECT_EQ(paintAndRead(knob), c.knob);
        EXPECT_EQ(paintAndRead(button), c.button);
        EXPECT_EQ(paintAndRead(movie), c.movie);
        EXPECT_EQ(paintAndRead(sw), c.toggleSwitch);
    }
    movie->setValue(3.f);
    EXPECT_EQ(paintAndRead(movie), 4);
    EXPECT_EQ(movie->getValue(), 1.f);
    button->setValue(7.f);
    EXPECT_EQ(paintAndRead(button), 1);
    EXPECT_EQ(button->getValue(), 1.f); // bounced
}

TEST_F(Controls, ShortStripDrawsNothingPastItsPixels) {
    // Ten frames asked for, two present: the frames beyond show the background.
    CBitmap* strip = resources.strip(10003, 10, 10, 2);
    auto* movie = add(new CMovieBitmap(CRect(0, 0, 10, 10), nullptr, 0, 10, 10, strip));
    strip->forget();
    frame->setBackgroundColor(kWhiteCColor);
    movie->setValue(1.f / 9);
    EXPECT_EQ(paintAndRead(movie), 1);
    movie->setValue(1.f);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(5, 5), 0xffffffffu);
}

TEST_F(Controls, KnobDraggedLinearlyCoversTheRangeIn200Or300Pixels) {
    auto* knob = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 4, 33, 0, nullptr));
    knob->setValue(0.f);
    CPoint start(20, 20);
    frame->onMouseDown(start, kLButton);
    CPoint up(20, -80);
    frame->onMouseMoved(up, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    CPoint right(120, -80);
    frame->onMouseMoved(right, kLButton); // 100 right and 100 up
    EXPECT_FLOAT_EQ(knob->getValue(), 1.f);
    frame->onMouseUp(right, kLButton);
    EXPECT_EQ(editor.edits, (std::vector<long>{4, -5}));
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
    EXPECT_EQ(listener.values.size(), 2u);

    knob->setValue(0.f);
    CPoint zoomed(170, 20);
    frame->onMouseDown(start, kLButton | kShift);
    frame->onMouseMoved(zoomed, kLButton | kShift);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f); // 150 of 300 pixels
    frame->onMouseUp(zoomed, kLButton | kShift);
}

TEST_F(Controls, ShiftPressedMidDragDoesNotMoveTheKnob) {
    auto* knob = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 4, 33, 0, nullptr));
    knob->setValue(0.2f);
    CPoint a(20, 20), b(20, -20), c(20, -50);
    frame->onMouseDown(a, kLButton);
    frame->onMouseMoved(b, kLButton);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.4f);
    // The value goes on from where it is; only the pixels' weight changes.
    frame->onMouseMoved(b = CPoint(20, -21), kLButton | kShift);
    EXPECT_NEAR(knob->getValue(), 0.405f, 1e-6);
    frame->onMouseMoved(c, kLButton | kShift); // 29 more pixels at 1/300
    EXPECT_NEAR(knob->getValue(), 0.405f + 29.f / 300, 1e-6);
    // Released on the next pixel, which still counts at 1/300; the one after at 1/200.
    frame->onMouseMoved(c = CPoint(20, -51), kLButton);
    EXPECT_NEAR(knob->getValue(), 0.505f, 1e-6);
    frame->onMouseMoved(c = CPoint(20, -52), kLButton);
    EXPECT_NEAR(knob->getValue(), 0.51f, 1e-6);
}

TEST_F(Controls, CircularKnobReadsTheAngleAroundItsCentre) {
    editor.knobMode = kCircularMode;
    auto* knob = add(new CAnimKnob(CRect(100, 100, 140, 140), &listener, 1, 33, 0, nullptr));
    struct Case {
        CPoint at;
        float value;
    };
    const Case cases[] = {
        {{120, 100}, 0.5f}, {{140, 120}, 5.f / 6}, {{100, 120}, 1.f / 6}, {{100, 140}, 0.f},
        {{140, 140}, 1.f},  {{118, 140}, 0.f},     {{122, 140}, 1.f},     {{140, 100}, 2.f / 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.h << "," << c.at.v);
        EXPECT_NEAR(knob->valueFromPoint(c.at), c.value, 1e-5);
    }
    // A drag from the top to the right follows the pointer...
    knob->setValue(0.5f);
    CPoint top(120, 100), right(140, 120), lowLeft(101, 139);
    frame->onMouseDown(top, kLButton);
    frame->onMouseMoved(right, kLButton);
    EXPECT_NEAR(knob->getValue(), 5.f / 6, 1e-5);
    frame->onMouseMoved(lowLeft = CPoint(140, 139), kLButton);
    EXPECT_GT(knob->getValue(), 0.95f);
    // ...and crossing the gap at the bottom holds it at the maximum.
    frame->onMouseMoved(lowLeft = CPoint(101, 139), kLButton);
    EXPECT_EQ(knob->getValue(), 1.f);
    frame->onMouseUp(lowLeft, kLButton);
    // Alt makes the drag linear again.
    knob->setValue(0.f);
    CPoint a(120, 120), b(220, 120);
    frame->onMouseDown(a, kLButton | kAlt);
    frame->onMouseMoved(b, kLButton | kAlt);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    frame->onMouseUp(b, kLButton | kAlt);
}

TEST_F(Controls, DefaultValueClickResetsKnobAndSwitch) {
    CBitmap* strip = resources.strip(10013, 30, 10, 3);
    auto* knob = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 0, 33, 0, nullptr));
    auto* sw = add(new CHorizontalSwitch(CRect(50, 0, 80, 10), &listener, 8, 3, 10, 3, strip));
    strip->forget();
    knob->setValue(0.9f);
    sw->setValue(1.f);
    frame->idle();
    click(*frame, {10, 10}, kLButton | kControl);
    click(*frame, {55, 5}, kLButton | kControl);
    EXPECT_EQ(knob->getValue(), 0.5f);
    EXPECT_EQ(sw->getValue(), 0.f);
    EXPECT_EQ(listener.values, (std::vector<float>{0.5f, 0.f}));
    EXPECT_EQ(editor.edits, (std::vector<long>{0, -1, 8, -9}));
    // The listener saw the modifier first and let it through.
    EXPECT_EQ(listener.modifierClicks.size(), 2u);
}

TEST_F(Controls, KnobWheelAndArrowKeysStepByTheWheelIncrement) {
    auto* knob = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 0, 33, 0, nullptr));
    knob->setValue(0.5f);
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, 0);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    frame->onWheel({10, 10}, kMouseWheelAxisX, 1.f, 0); // horizontal: inverted
    EXPECT_FLOAT_EQ(knob->getValue(), 0.5f);
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, kShift);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.51f);
    EXPECT_EQ(listener.values.size(), 3u);
    EXPECT_EQ(listener.begins, 3);

    VstKeyCode down{0, VKEY_DOWN, 0}, right{0, VKEY_RIGHT, MODIFIER_SHIFT}, a{'a', 0, 0};
    EXPECT_EQ(knob->onKeyDown(down), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.41f);
    EXPECT_EQ(knob->onKeyDown(right), 1);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.42f);
    EXPECT_EQ(knob->onKeyDown(a), -1);
    knob->setValue(1.f);
    frame->idle();
    const size_t heard = listener.values.size();
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, 0); // already at the end: silent
    EXPECT_EQ(listener.values.size(), heard);
    knob->setMouseEnabled(false);
    EXPECT_FALSE(knob->onWheel({10, 10}, -1.f, 0));
}

TEST_F(Controls, MovieButtonFollowsThePointerUntilRelease) {
    auto* button = add(new CMovieButton(CRect(10, 10, 30, 40), &listener, 2, 30, nullptr));
    CPoint in(15, 15), out(100, 100);
    frame->onMouseDown(in, kLButton);
    EXPECT_EQ(button->getValue(), 1.f);
    frame->onMouseMoved(out, kLButton);
    EXPECT_EQ(button->getValue(), 0.f);
    frame->onMouseMoved(in, kLButton);
    EXPECT_EQ(button->getValue(), 1.f);
    frame->onMouseUp(in, kLButton);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f, 1.f}));
    // Pressed and released outside: the value stays.
    frame->onMouseDown(in, kLButton);
    frame->onMouseMoved(out, kLButton);
    frame->onMouseUp(out, kLButton);
    EXPECT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(listener.begins, 2);
    EXPECT_EQ(listener.ends, 2);
    // Right button: not the button's business.
    CPoint at(15, 15);
    EXPECT_EQ(button->onMouseDown(at, kRButton), kMouseEventNotHandled);
}

TEST_F(Controls, SwitchPositionFollowsX) {
    // 50-pixel artwork in three positions: steps of 50/3 pixels.
    CBitmap* strip = resources.strip(10014, 50, 61, 3);
    auto* sw = add(new CHorizontalSwitch(CRect(222, 0, 272, 61), &listener, 8, 3, 61, 3, strip));
    strip->forget();
    for (int dx = 0; dx <= 50; ++dx) {
        const float expected = dx <= 16 ? 0.f : dx <= 33 ? 0.5f : 1.f;
        click(*frame, {222 + dx, 30});
        EXPECT_EQ(sw->getValue(), expected) << "x - left = " << dx;
    }
    CPoint start(222, 30), drag(260, 30), far(900, 30);
    frame->onMouseDown(start, kLButton);
    frame->onMouseMoved(drag, kLButton);
    EXPECT_EQ(sw->getValue(), 1.f);
    frame->onMouseMoved(far, kLButton);
    EXPECT_EQ(sw->getValue(), 1.f);
    frame->onMouseUp(far, kLButton);
}

TEST_F(Controls, SplashScreenShowsAModalViewUntilClicked) {
    CBitmap* art = resources.strip(10020, 200, 150, 1);
    auto* hotSpot = add(
        new CSplashScreen(CRect(150, 120, 200, 150), &listener, 17, art, CRect(0, 0, 200, 150)));
    auto* knob = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 0, 33, 0, nullptr));
    art->forget();
    frame->setBackgroundColor(kWhiteCColor);
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(160, 130), 0xffffffffu); // draws nothing itself

    click(*frame, {160, 130});
    ASSERT_NE(frame->getModalView(), nullptr);
    EXPECT_EQ(hotSpot->getValue(), 1.f);
    frame->idle();
    EXPECT_EQ(shownFrame(frame->getBackBuffer(), CRect(0, 0, 200, 150)), 0);
    // Modal: the knob underneath gets nothing, not even the wheel.
    click(*frame, {150, 125}, kRButton);
    frame->onWheel({10, 10}, kMouseWheelAxisY, 1.f, 0);
    EXPECT_EQ(knob->getValue(), 0.f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f}));

    click(*frame, {10, 10}); // anywhere on the splash
    EXPECT_EQ(frame->getModalView(), nullptr);
    EXPECT_EQ(hotSpot->getValue(), 0.f);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(100, 100), 0xffffffffu);
    EXPECT_EQ(art->getNbReference(), 1); // only the hot spot holds it
}

TEST_F(Controls, SecondModalViewIsRefusedAndTheSplashReportsNothing) {
    auto* blocker = new CView(CRect(0, 0, 10, 10));
    ASSERT_TRUE(frame->setModalView(blocker));
    auto* hotSpot =
        new CSplashScreen(CRect(50, 50, 60, 60), &listener, 17, nullptr, CRect(0, 0, 200, 150));
    frame->addView(hotSpot);
    CPoint at(55, 55);
    EXPECT_EQ(hotSpot->onMouseDown(at, kLButton), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(hotSpot->getValue(), 0.f);
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
