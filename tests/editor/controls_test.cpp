// The learn outline of the editor's frame and the four-frame stomp toggle.

#include "editor/CHighlightFrame.h"
#include "editor/CMovieToggle.h"
#include "editor/CTQControl.h"
#include "gui/CAnimKnob.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

constexpr uint32_t kRed = 0xffff0000u;

class HighlightFrame : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new CHighlightFrame(CRect(0, 0, 100, 60), nullptr, &editor);
        art = resources.strip(10002, 20, 20, 1);
        a = new CAnimKnob(CRect(10, 10, 30, 30), nullptr, 0, 1, 20, art);
        b = new CAnimKnob(CRect(50, 10, 70, 30), nullptr, 5, 1, 20, art);
        art->forget();
        frame->addView(static_cast<CControl*>(a));
        frame->addView(static_cast<CControl*>(b));
        frame->setHighlightColor(CColor{255, 0, 0, 255});
        frame->idle();
    }
    void TearDown() override { frame->forget(); }

    // Whether `r`'s outermost pixels are all red and its inside all artwork.
    bool outlined(const CRect& r) const {
        const COffscreenContext& image = frame->getBackBuffer();
        for (CCoord y = r.top; y < r.bottom; ++y)
            for (CCoord x = r.left; x < r.right; ++x) {
                const bool edge =
                    x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1;
                if (image.getPixel(x, y) != (edge ? kRed : frameColor(0))) return false;
            }
        return true;
    }
    bool plain(const CRect& r) const { return shownFrame(frame->getBackBuffer(), r) == 0; }

    ResourceFolder resources;
    StubEditor editor;
    CHighlightFrame* frame = nullptr;
    CBitmap* art = nullptr;
    CAnimKnob* a = nullptr;
    CAnimKnob* b = nullptr;
};

TEST_F(HighlightFrame, OutlineFollowsThePupilAndNeverDoubles) {
    EXPECT_TRUE(plain(a->getViewSize()));
    frame->setHighlightControl(0, true);
    frame->idle();
    EXPECT_TRUE(outlined(a->getViewSize()));
    EXPECT_EQ(frame->getBackBuffer().getPixel(9, 9), 0xff000000u); // nothing outside

    frame->setHighlightControl(5, true);
    frame->idle();
    EXPECT_TRUE(plain(a->getViewSize()));
    EXPECT_TRUE(outlined(b->getViewSize()));
    // The outline survives repaints of the control underneath.
    b->setValue(0.3f);
    frame->idle();
    EXPECT_TRUE(outlined(b->getViewSize()));

    frame->setHighlightControl(99, false); // off, whatever the tag
    frame->idle();
    EXPECT_TRUE(plain(b->getViewSize()));
    EXPECT_EQ(frame->getPupilControl(), nullptr);

    frame->setHighlightControl(0, true);
    frame->setHighlightControl(42, true); // unknown tag: clears, draws nothing new
    frame->idle();
    EXPECT_TRUE(plain(a->getViewSize()));
}

TEST_F(HighlightFrame, LookupsAndRectangle) {
    EXPECT_EQ(frame->getControlFromID(5), b);
    EXPECT_EQ(frame->getControlFromID(7), nullptr);
    auto* plainView = new CView(CRect(0, 40, 10, 50));
    EXPECT_TRUE(frame->addView(plainView, 3));
    EXPECT_EQ(frame->getViewFromID(3), plainView);
    EXPECT_FALSE(frame->addView(static_cast<CControl*>(nullptr)));

    auto* multi = new CTQControl(CRect(80, 40, 90, 50), nullptr, 10);
    multi->addTag(11);
    multi->addTag(10);
    EXPECT_EQ(multi->getTags(), (std::vector<long>{10, 11}));
    frame->addView(multi);
    EXPECT_EQ(frame->getControlFromID(11), multi);

    CRect r(1, 2, 3, 4);
    frame->getHighlightRect(0, r);
    EXPECT_EQ(r, CRect(1, 2, 3, 4)); // no pupil: untouched
    frame->setHighlightControl(11, true);
    frame->getHighlightRect(0, r);
    EXPECT_EQ(r, multi->getViewSize());

    // Entries leave with their views, so nothing dangles.
    frame->removeView(multi);
    EXPECT_EQ(frame->getControlFromID(10), nullptr);
    EXPECT_EQ(frame->getPupilControl(), nullptr);
    EXPECT_EQ(frame->getKnobMode(), kLinearMode);
    editor.knobMode = kCircularMode;
    EXPECT_EQ(frame->getKnobMode(), kLinearMode);
}

TEST(MovieToggle, FlipsAtThePressAndShowsItUntilRelease) {
    ResourceFolder resources;
    StubEditor editor;
    RecordingListener listener;
    auto* frame = new CFrame(CRect(0, 0, 40, 80), nullptr, &editor);
    CBitmap* strip = resources.strip(10017, 33, 74, 4);
    auto* toggle = new CMovieToggle(CRect(0, 0, 33, 74), &listener, 13, 74, strip);
    strip->forget();
    toggle->setTransparency(true); // not consulted: drawn opaque
    frame->addView(toggle);
    auto shown = [&] {
        frame->idle();
        return shownFrame(frame->getBackBuffer(), toggle->getViewSize());
    };
    EXPECT_EQ(shown(), 0);

    CPoint in(10, 10), out(39, 79);
    frame->onMouseDown(in, kLButton);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f})); // heard at the press
    EXPECT_EQ(shown(), 3);
    frame->onMouseMoved(out, kLButton); // dragging changes nothing
    EXPECT_EQ(shown(), 3);
    frame->onMouseUp(out, kLButton);
    EXPECT_EQ(shown(), 1);

    frame->onMouseDown(in, kLButton);
    EXPECT_EQ(shown(), 2);
    frame->onMouseUp(in, kLButton);
    EXPECT_EQ(shown(), 0);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    EXPECT_EQ(editor.edits, (std::vector<long>{13, -14, 13, -14}));

    toggle->setValue(0.7f); // anything but 0 is on
    EXPECT_EQ(shown(), 1);
    EXPECT_EQ(toggle->onMouseDown(in, kRButton), kMouseEventNotHandled);
    frame->forget();
}

} // namespace
