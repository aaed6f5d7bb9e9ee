// The editor's frame: the learn outline and the controls it finds by tag.

#include "editor/CHighlightFrame.h"
#include "editor/CTQControl.h"
#include "gui/CAnimKnob.h"
#include "tests/editor/editor_test_support.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

class HighlightFrame : public OffscreenFrame<100, 60, CHighlightFrame> {
protected:
    void SetUp() override {
        art = resources.strip(10002, 20, 20, 1);
        for (auto [knob, x, tag] : {std::tuple{&a, 10, 0}, {&b, 50, 5}})
            frame->addView(*knob =
                               new CAnimKnob(CRect(x, 10, x + 20, 30), nullptr, tag, 1, 20, art));
        art->forget();
        frame->setHighlightColor(CColor{255, 0, 0, 255});
        frame->idle();
    }

    // Whether `r`'s outermost pixels are all red and its inside all artwork.
    bool outlined(const CView* v) const {
        const CRect r = v->getViewSize();
        return edtest::outlined(frame->getBackBuffer(), r, 0xff0000) &&
               plain(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1));
    }
    bool plain(const CRect& r) const { return shownFrame(frame->getBackBuffer(), r) == 0; }
    bool plain(const CView* v) const { return plain(v->getViewSize()); }

    CBitmap* art = nullptr;
    CAnimKnob* a = nullptr;
    CAnimKnob* b = nullptr;
};

TEST_F(HighlightFrame, OutlineFollowsThePupilAndNeverDoubles) {
    EXPECT_TRUE(plain(a));
    frame->setHighlightControl(0, true);
    frame->idle();
    EXPECT_TRUE(outlined(a));
    EXPECT_EQ(frame->getBackBuffer().getPixel(9, 9), 0xff000000u); // nothing outside

    frame->setHighlightControl(5, true);
    frame->idle();
    EXPECT_TRUE(plain(a));
    EXPECT_TRUE(outlined(b));
    // The outline survives repaints of the control underneath.
    b->setValue(0.3f);
    frame->idle();
    EXPECT_TRUE(outlined(b));

    frame->setHighlightControl(99, false); // off, whatever the tag
    frame->idle();
    EXPECT_TRUE(plain(b));
    EXPECT_EQ(frame->getPupilControl(), nullptr);

    frame->setHighlightControl(0, true);
    frame->setHighlightControl(42, true); // unknown tag: clears, draws nothing new
    frame->idle();
    EXPECT_TRUE(plain(a));
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

} // namespace
