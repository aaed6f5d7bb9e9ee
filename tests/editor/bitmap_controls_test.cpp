// The further bitmap controls on an offscreen frame: the frame each draws for a value, and
// their mouse rules.

#include "editor/CButtonMatrix.h"
#include "editor/CDrawBuffer.h"
#include "editor/CLinearKnob.h"
#include "editor/CMovieMeter.h"
#include "editor/CMovieToggle.h"
#include "editor/CMultiButton.h"
#include "editor/CSelectorSwitch.h"
#include "editor/CSliderGroup.h"
#include "editor/CTQLabeledMomentaryButton.h"
#include "editor/CTQLabeledMovieButton.h"
#include "editor/CZudariraResource.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/COnOffButton.h"
#include "resources/ControlArtwork.h"
#include "tests/gui/gui_test_support.h"

#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

class BitmapControls : public OffscreenFrame<200, 100> {
protected:
    void TearDown() override {
        OffscreenFrame::TearDown();
        two->forget();
        six->forget();
    }

    // Adds the control and shows it once.
    template <class C> C* show(C* control) {
        frame->addView(control);
        frame->idle();
        return control;
    }

    CBitmap* two = resources.strip(10001, 20, 20, 2);
    CBitmap* six = resources.strip(10002, 20, 20, 6);
};

const CRect kArea(10, 10, 30, 30);

TEST_F(BitmapControls, FrameDrawnForEachValue) {
    using Make = std::function<CControl*()>;
    const Make movie = [&] { return new CTQMovieButton(kArea, nullptr, 0, two); };
    const Make momentary = [&] { return new CMomentaryButton(kArea, nullptr, 0, two); };
    // Six frames, the last reserved: values spread over frames 0 .. 4.
    const Make meter = [&] { return new CMovieMeter(kArea, nullptr, 0, six, {}, true, false); };
    const Make selector = [&] { return new CSelectorSwitch(kArea, nullptr, 0, 2, 3, six, true); };
    const Make multi = [&] { return new CMultiButton(kArea, nullptr, 0, 6, six); };
    const Make knob = [&] { return new CLinearKnob(kArea, nullptr, 0, 6, 20, 0, six); };
    const struct {
        const char* name;
        const Make& make;
        float value;
        int frame;
    } cases[] = {
        {"movie", movie, 0.5f, 0},         {"movie", movie, 0.51f, 1},
        {"movie", movie, 7.f, 1},          {"momentary", momentary, 0.f, 0},
        {"momentary", momentary, 0.1f, 1}, {"meter", meter, 0.f, 0},
        {"meter", meter, 0.5f, 2},         {"meter", meter, 1.f, 4},
        {"meter", meter, 9.f, 5},          {"meter", meter, -1.f, 0},
        {"selector", selector, 0.99f, 4},  {"selector", selector, 1.f, 5},
        {"selector", selector, -2.f, 0},   {"multi", multi, 0.5f, 3},
        {"multi", multi, 2.f, 5},          {"knob", knob, 1.f, 5},
        {"knob", knob, 0.5f, 2},
    };
    for (const auto& c : cases) {
        CControl* control = show(c.make());
        control->setValue(c.value);
        frame->idle();
        EXPECT_EQ(shown(control), c.frame) << c.name << " at " << c.value;
        frame->removeView(control);
    }
}

TEST_F(BitmapControls, SelectorSwitchCellUnderThePointer) {
    CBitmap* cells = resources.strip(10003, 90, 10, 6); // cells of 30 x 5
    for (bool rowMajor : {true, false}) {
        auto* s =
            show(new CSelectorSwitch(CRect(0, 0, 90, 10), &listener, 1, 2, 3, cells, rowMajor));
        const struct {
            CPoint at;
            float value;
        } clicks[] = {{{1, 2}, 0.f},
                      {{90, 10}, 1.f},
                      {{31, 2}, rowMajor ? 0.2f : 0.4f},
                      {{1, 7}, rowMajor ? 0.6f : 0.2f}};
        for (const auto& c : clicks) {
            click(*frame, c.at);
            EXPECT_NEAR(s->getValue(), c.value, 1e-6) << rowMajor << " " << c.at.h << "," << c.at.v;
        }
        down(*frame, {1, 2});
        move(*frame, {-50, 90}); // past the grid: held to the last row, the first column
        EXPECT_NEAR(s->getValue(), rowMajor ? 0.6f : 0.2f, 1e-6);
        up(*frame, {-50, 90});
        frame->removeView(s);
    }
    auto* blank = show(new CSelectorSwitch(CRect(0, 0, 90, 10), &listener, 1, 2, 3, nullptr, true));
    click(*frame, {80, 8});
    EXPECT_EQ(blank->getValue(), 0.f); // no artwork, no cells
    cells->forget();
}

TEST_F(BitmapControls, ButtonMatrixClicksAndCells) {
    CBitmap* cell = resources.strip(10003, 10, 10, 2); // cells of 10 x 10
    auto* m = show(new CButtonMatrix(CRect(0, 0, 30, 20), 2, 3, &listener, 4, cell));
    unsigned char states[6];
    const auto all = [&] {
        m->getAllValues(states);
        return std::vector<int>(states, states + 6);
    };
    click(*frame, {15, 15});
    click(*frame, {5, 5});
    EXPECT_EQ(all(), (std::vector<int>{1, 0, 0, 0, 1, 0}));
    frame->idle();
    EXPECT_EQ(shown(m), -1);
    EXPECT_EQ(shownFrame(frame->getBackBuffer(), CRect(10, 10, 20, 20)), 1);
    EXPECT_EQ(shownFrame(frame->getBackBuffer(), CRect(20, 10, 30, 20)), 0);
    click(*frame, {25, 5}, kLButton | kControl); // only this cell stays set
    EXPECT_EQ(all(), (std::vector<int>{0, 0, 1, 0, 0, 0}));
    click(*frame, {30, 5}); // on the right edge: past the last column, nothing flips
    EXPECT_EQ(all(), (std::vector<int>{0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(listener.values.size(), 4u);
    EXPECT_EQ(listener.begins, 4);
    EXPECT_EQ(listener.ends, 4);

    CPoint c;
    m->getCellFromPoint({500, -500}, c);
    EXPECT_EQ(c, CPoint(2, 0));
    int64_t cellAttr[2] = {1, 1};
    EXPECT_TRUE(m->setAttribute(CButtonMatrix::kCurrentCellAttribute, 16, cellAttr));
    m->setValue(0.7f);
    EXPECT_EQ(m->getValue(), 1.f);
    EXPECT_EQ(all()[4], 1);
    int64_t out[2] = {};
    int32_t size = 0;
    EXPECT_TRUE(m->getAttribute(CButtonMatrix::kCurrentCellAttribute, 16, out, size));
    EXPECT_EQ(size, 16);
    EXPECT_EQ(out[0], 1);
    cellAttr[0] = 3; // outside the grid
    EXPECT_FALSE(m->setAttribute(CButtonMatrix::kCurrentCellAttribute, 16, cellAttr));
    EXPECT_FALSE(m->setAttribute(CButtonMatrix::kCurrentCellAttribute, 8, cellAttr));
    auto* none = show(new CButtonMatrix(CRect(40, 0, 60, 20), -1, 5, &listener, 5, nullptr));
    click(*frame, {45, 5});
    none->setValue(1.f);
    EXPECT_EQ(none->getValue(), 0.f);
    cell->forget();
}

TEST_F(BitmapControls, ButtonGesturesInOrder) {
    auto* b = show(new CMomentaryButton(kArea, &listener, 3, two));
    down(*frame, {15, 15});
    frame->idle();
    EXPECT_EQ(shown(b), 1);
    move(*frame, {50, 50});
    EXPECT_EQ(b->getValue(), 0.f);
    move(*frame, {20, 20});
    EXPECT_EQ(b->getValue(), 1.f);
    up(*frame, {20, 20});
    frame->idle();
    EXPECT_EQ(shown(b), 0);
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    EXPECT_EQ(editor.edits, (std::vector<long>{3, -4}));
    down(*frame, {15, 15}, kRButton); // only the left button presses
    EXPECT_EQ(b->getValue(), 0.f);

    auto* onOff = show(new COnOffButton(CRect(70, 10, 90, 30), nullptr, 6, two));
    for (float expected : {1.f, 0.f}) {
        click(*frame, {75, 15});
        EXPECT_EQ(onOff->getValue(), expected);
    }

    auto* multi = show(new CMultiButton(CRect(40, 10, 60, 30), &listener, 5, 3, two));
    listener.values.clear();
    for (int i = 0; i < 4; ++i) click(*frame, {45, 15});
    multi->setMouseEnabled(false);
    CPoint p(45, 15);
    multi->mouse(nullptr, p);
    EXPECT_EQ(listener.values, (std::vector<float>{1 / 3.f, 2 / 3.f, 0.f, 1 / 3.f}));
}

TEST_F(BitmapControls, EveryControlShowsOneGesturePerPressAndLeavesOtherButtonsToTheHost) {
    using Make = std::function<CControl*()>;
    const std::pair<const char*, Make> controls[] = {
        {"knob", [&] { return new CKnob(kArea, &listener, 7, six); }},
        {"anim knob", [&] { return new CAnimKnob(kArea, &listener, 7, 6, 20, six); }},
        {"linear knob", [&] { return new CLinearKnob(kArea, &listener, 7, 6, 20, 0, six); }},
        {"horizontal switch",
         [&] { return new CHorizontalSwitch(kArea, &listener, 7, 6, 20, 3, six); }},
        {"movie button", [&] { return new CMovieButton(kArea, &listener, 7, 20, two); }},
        {"tq movie button", [&] { return new CTQMovieButton(kArea, &listener, 7, two); }},
        {"labelled movie button",
         [&] { return new CTQLabeledMovieButton(kArea, &listener, 7, two, nullptr, "x"); }},
        {"on/off button", [&] { return new COnOffButton(kArea, &listener, 7, two); }},
        {"momentary button", [&] { return new CMomentaryButton(kArea, &listener, 7, two); }},
        {"labelled momentary button",
         [&] { return new CTQLabeledMomentaryButton(kArea, &listener, 7, two, nullptr, "x"); }},
        {"movie toggle", [&] { return new CMovieToggle(kArea, &listener, 7, 5, two); }},
        {"selector switch", [&] { return new CSelectorSwitch(kArea, &listener, 7, 2, 3, six, 1); }},
        {"button matrix", [&] { return new CButtonMatrix(kArea, 2, 2, &listener, 7, two); }},
    };
    enum Act { Down, Up, Move };
    struct Step {
        Act act;
        CPoint at;
        CButtonState buttons = kLButton;
        bool forHost = false; // the frame must leave it unhandled
    };
    const CPoint on(15, 15), off(60, 60), moved(25, 12);
    const CButtonState both = kLButton | kRButton, reset = kLButton | kControl;
    const std::vector<long> pair{7, -8}, none;
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<long> edits;
    } gestures[] = {
        {"click", {{Down, on}, {Up, on}}, pair},
        {"default-value click", {{Down, on, reset}, {Up, on, reset}}, pair},
        {"right click", {{Down, on, kRButton, true}, {Up, on, kRButton, true}}, none},
        {"right click inside a drag",
         {{Down, on}, {Down, on, both, true}, {Up, on, both, true}, {Move, moved}, {Up, moved}},
         pair},
        {"release lost, pressed again", {{Down, on}, {Down, on}, {Up, on}}, {7, -8, 7, -8}},
        {"drag begun outside",
         {{Down, off, kLButton, true}, {Move, on}, {Move, moved}, {Up, moved, kLButton, true}},
         none},
    };
    for (const auto& [name, make] : controls) {
        CControl* control = show(make());
        for (const auto& g : gestures) {
            SCOPED_TRACE(std::string(name) + ", " + g.name);
            editor.edits.clear();
            listener.begins = listener.ends = 0;
            const float before = control->getValue();
            for (Step s : g.steps) {
                const auto result = s.act == Down ? frame->onMouseDown(s.at, s.buttons)
                                    : s.act == Up ? frame->onMouseUp(s.at, s.buttons)
                                                  : frame->onMouseMoved(s.at, s.buttons);
                if (s.forHost) {
                    EXPECT_EQ(result, kMouseEventNotHandled);
                }
            }
            EXPECT_EQ(editor.edits, g.edits);
            EXPECT_EQ(listener.begins * 2, int(g.edits.size()));
            EXPECT_EQ(listener.ends, listener.begins);
            if (g.edits.empty()) {
                EXPECT_EQ(control->getValue(), before);
            }
        }
        frame->removeView(control);
    }
}

TEST_F(BitmapControls, LabelledButtonsDrawTheirLabelsCentredInTheBundleFont) {
    const char* build = std::getenv("ORVELLA_BUILD_DIR");
    setResourceFolderOverride(std::string(build ? build : ".") + "/Orvella.vst/Contents/Resources");
    auto* font = new CZudariraResource(ControlArtwork::kFontId, 0);
    setResourceFolderOverride(resources.path.string());
    ASSERT_TRUE(font->hasGlyphs());
    CBitmap* wide = resources.strip(10009, 80, 30, 2);
    const CRect left(10, 10, 90, 40), right(110, 50, 190, 80);
    auto* movie = show(new CTQLabeledMovieButton(left, nullptr, 0, wide, font, "On"));
    auto* momentary = show(new CTQLabeledMomentaryButton(right, nullptr, 1, wide, font, "Hold"));
    wide->forget();
    down(*frame, {150, 60}); // pressed: the label over the other frame
    frame->idle();
    // The button's frame with the text centred on it, its top half a glyph height inside
    // the button's top and one pixel higher, drawn by the font itself.
    const auto expected = [&](const CRect& r, const std::string& text, int strip) {
        COffscreenContext reference(200, 100);
        CBitmap* art = new CBitmap(10009);
        art->draw(&reference, r, {0, 30 * strip});
        art->forget();
        const CCoord x = (r.left + r.right) / 2 - font->getStringWidth(text) / 2;
        font->drawText(&reference, {x, r.top + font->getMaxCharacterHeight() / 2 - 1}, text,
                       kLeftText);
        int differing = 0, lettered = 0;
        for (CCoord y = r.top; y < r.bottom; ++y)
            for (CCoord x = r.left; x < r.right; ++x) {
                differing += frame->getBackBuffer().getPixel(x, y) != reference.getPixel(x, y);
                lettered += reference.getPixel(x, y) != frameColor(strip);
            }
        EXPECT_GT(lettered, 20) << text;
        return differing;
    };
    EXPECT_EQ(expected(left, "On", 0), 0);
    EXPECT_EQ(expected(right, "Hold", 1), 0);
    up(*frame, {150, 60});
    movie->setLabel("Off");
    frame->idle();
    EXPECT_EQ(expected(left, "Off", 0), 0);
    EXPECT_EQ(expected(right, "Hold", 0), 0);

    movie->setLabel(std::string(100, 'x').c_str());
    EXPECT_EQ(movie->getLabel().size(), 63u);
    momentary->setLabel(nullptr);
    EXPECT_EQ(momentary->getLabel(), "");
    font->forget();
}

TEST_F(BitmapControls, LinearKnobRangeIgnoresModifiers) {
    auto* k = show(new CLinearKnob(kArea, &listener, 2, 6, 20, 99, six));
    editor.knobMode = kCircularMode;
    const struct {
        CButtonState midDrag;
        float atHalf, atEnd;
    } cases[] = {
        {kLButton, 0.5f, 1.f}, {kLButton | kShift, 0.5f, 1.f}, {kLButton | kAlt, 0.5f, 1.f}};
    for (const auto& c : cases) {
        k->setValue(0.f);
        down(*frame, {20, 20});
        move(*frame, {70, 20});
        move(*frame, {70, -30}, c.midDrag); // 100 pixels: half the range, whatever is held
        EXPECT_FLOAT_EQ(k->getValue(), c.atHalf);
        move(*frame, {170, -30}, c.midDrag);
        EXPECT_FLOAT_EQ(k->getValue(), c.atEnd);
        up(*frame, {170, -30});
    }
    k->setValue(0.2f);
    click(*frame, {20, 20}, kLButton | kControl); // the default value
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
}

TEST_F(BitmapControls, SliderGroupTracksAndHandles) {
    CBitmap* handle = resources.strip(10003, 10, 10, 1);
    writeStrip(resources.path.string(), "bmp10004", 100, 50, 1, 5);
    auto* back = new CBitmap(10004);
    auto* g = new CSliderGroup(CRect(10, 0, 110, 50), nullptr, 0, 4, handle, back);
    // Pitch (100 - 40) / 3 + 10 = 30: handles at 0, 30, 60, 90 from the left.
    const struct {
        CCoord x;
        int32_t slider;
    } hits[] = {{9, -1}, {10, 0}, {20, 0}, {21, -1}, {40, 1}, {100, 3}, {110, 3}, {111, -1}};
    for (const auto& h : hits) EXPECT_EQ(g->inSliderTrack(h.x), h.slider) << h.x;
    g->setValue(0, 1.f);
    g->setValue(1, 0.f);
    g->setValue(9, 1.f); // not a slider
    EXPECT_EQ(g->getValue(9), 0.f);
    EXPECT_FLOAT_EQ(g->getValue(2), 0.5f); // i / N until set
    show(g);
    const COffscreenContext& image = frame->getBackBuffer();
    EXPECT_EQ(shownFrame(image, CRect(10, 0, 20, 10)), 0);  // value 1: at the top
    EXPECT_EQ(shownFrame(image, CRect(40, 40, 50, 50)), 0); // value 0: at the bottom
    EXPECT_EQ(shownFrame(image, CRect(40, 0, 50, 40)), 5);  // above it the background
    EXPECT_EQ(shownFrame(image, CRect(20, 0, 40, 50)), 5);
    for (int32_t n : {-3, 1, 40}) {
        auto* odd = new CSliderGroup(CRect(0, 0, 0, 0), nullptr, 0, n, nullptr, nullptr);
        EXPECT_EQ(odd->getSliderCount(), n < 2 ? 2 : 16);
        EXPECT_EQ(odd->inSliderTrack(0), -1);
        odd->forget();
    }
    handle->forget();
    back->forget();
}

TEST_F(BitmapControls, DrawBufferPlotsEverySampleIntervalAndKeepsRepainting) {
    CBitmap* back = resources.strip(10003, 10, 10, 1);
    auto* wave = show(new CDrawBuffer(CRect(0, 0, 10, 10), nullptr, 0, back));
    EXPECT_EQ(wave->getPoint(0), 4); // mid height 10 / 2 - 1
    const float samples[] = {1.f, 9.f, -1.f, 0.f, std::nanf(""), 0.5f};
    wave->setSampleInterval(0); // refused
    wave->setSampleInterval(2);
    wave->setData(samples, 6);
    EXPECT_EQ(wave->getPoint(0), 0);
    EXPECT_EQ(wave->getPoint(1), 8);
    EXPECT_EQ(wave->getPoint(2), 4);
    wave->setWaveColor(CColor{255, 0, 0, 255});
    frame->idle();
    EXPECT_EQ(frame->getBackBuffer().getPixel(0, 0), 0xffff0000u);
    EXPECT_TRUE(wave->isDirty()); // drawn again at every idle pass
    auto* empty = show(new CDrawBuffer(CRect(0, 0, 0, 0), nullptr, 0, nullptr));
    empty->setData(samples, 6);
    frame->idle();
    back->forget();
}

} // namespace
