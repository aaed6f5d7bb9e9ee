// The effect's editor drawn offscreen: its controls, the binding to the parameters both
// ways, the learn outline and the about screen. Every bitmap is a strip of solid frames, so
// the frame a control shows can be read back from the frame's image.

#include "editor/CHighlightFrame.h"
#include "editor/OrvellaEditor.h"
#include "effect/Orvella.h"
#include "params/OrvellaParameterManager.h"
#include "tests/common/AllocationCounter.h"
#include "tests/editor/editor_test_support.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <mutex>

using namespace GUI;
using namespace guitest;
using namespace edtest;
using OrvellaLayout::kControls;

namespace {

const uint32_t kPanelColor = frameColor(63);

struct HostEvent {
    VstInt32 opcode, index;
    float value;
    bool operator==(const HostEvent&) const = default;
};
constexpr VstInt32 kBegin = audioMasterBeginEdit, kAutomate = audioMasterAutomate,
                   kEnd = audioMasterEndEdit;

std::mutex heardMutex;
std::vector<HostEvent> heard; // gestures and automation only

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    if (opcode == kAutomate || opcode == kBegin || opcode == kEnd) {
        std::lock_guard lock(heardMutex);
        heard.push_back({opcode, index, opcode == kAutomate ? opt : 0.f});
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Solid-frame artwork for every bitmap, the panel in a colour of its own.
struct SolidArtwork : ResourceFolder {
    SolidArtwork() {
        for (const auto& c : kControls)
            writeStrip(path.string(), name(c.bitmapId),
                       c.kind == OrvellaLayout::Kind::AboutScreen ? 675 : c.rect.width(),
                       c.frameHeight, c.frames);
        writeStrip(path.string(), "bmp10001", 675, 386, 1, 63);
    }
};

CRect cRect(long tag) {
    const auto r = rectOf(tag);
    return CRect(r.left, r.top, r.right, r.bottom);
}
CPoint centre(long tag) {
    const auto r = rectOf(tag);
    return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override { heard.clear(); }
    void open() {
        ASSERT_TRUE(editor->open(nullptr));
        editor->idle();
    }
    CControl* control(long tag) const { return editor->getControlAt(rowOf(tag)); }
    const COffscreenContext& image() const { return editor->getFrame()->getBackBuffer(); }
    int shown(long tag) const { return shownFrame(image(), cRect(tag)); }
    bool outlined(long tag) const { return edtest::outlined(image(), rectOf(tag), 0xffffff); }
    void press(CPoint at, CButtonState buttons = kLButton) {
        click(*editor->getFrame(), at, buttons);
    }
    void cc(int controller, int value) {
        auto change = MidiMessage::controlChange(controller, value, 3);
        effect.processEvents(&change.events);
    }

    SolidArtwork artwork; // before the effect: its editor loads the panel at construction
    Orvella effect{recordingHost};
    OrvellaEditor* editor = static_cast<OrvellaEditor*>(effect.getEditor());
};

TEST_F(EditorWindow, OpensWithEveryControlInPlaceShowingTheEffectsValues) {
    const float values[15] = {0.25f, 1, 0, 0.75f, 1, 0.5f, 1, 0, 0.4f, 0, 0.125f, 0.9f, 1, 0, 1};
    for (int p = 0; p < 15; ++p) effect.setParameter(p, values[p]);
    for (int pass = 0; pass < 2; ++pass) { // opening again rebuilds the same picture
        EXPECT_FALSE(editor->isOpen());
        open();
        ASSERT_TRUE(editor->isOpen());
        EXPECT_EQ(editor->getFrame()->getNbViews(), 19);
        const std::pair<long, int> frames[] = {
            {0, 8}, {3, 24}, {5, 16}, {6, 32}, {9, 0},  {10, 4}, {8, 1},  {11, 2}, {1, 1},
            {2, 0}, {4, 1},  {7, 0},  {12, 1}, {18, 0}, {19, 1}, {13, 0}, {14, 1}, {20, 0}};
        for (auto [tag, frame] : frames) EXPECT_EQ(shown(tag), frame) << "tag " << tag;
        EXPECT_EQ(image().getPixel(5, 5), kPanelColor);
        editor->close();
        EXPECT_EQ(editor->getControl(0), nullptr);
    }
    EXPECT_TRUE(heard.empty());
}

// Points on the window as a user sees it, and the parameter each one must move, written
// from the artwork rather than from the layout table: a drag up on a knob, a click elsewhere.
// The host hears each gesture whole, its last automation carrying the new value.
TEST_F(EditorWindow, EachControlOnScreenMovesItsOwnParameterAndTellsTheHost) {
    for (int p = 0; p < 16; ++p) effect.setParameter(p, 0.5f);
    open();
    const struct {
        CPoint at;
        int parameter;
        bool knob;
    } points[] = {
        {{91, 88}, kGen1Rate, true},
        {{432, 88}, kGen2Rate, true},
        {{81, 175}, kPhaserADepth, true},
        {{434, 174}, kPhaserBDepth, true},
        {{72, 251}, kPhaserAFeedback, true},
        {{438, 250}, kPhaserBFeedback, true},
        {{152, 94}, kGen1RateCtrl, false},
        {{204, 94}, kGen1Shape, false},
        {{314, 94}, kGen2Shape, false},
        {{139, 250}, kPhaserASweepCtrl, false},
        {{339, 175}, kPhaserBSweepSync, false},
        {{225, 256}, kPhaserBInput, false},
        {{315, 256}, kPhaserBSweepCtrl, false},
        {{545, 288}, kPhaserAActive, false},
        {{613, 321}, kPhaserBActive, false},
    };
    CFrame& frame = *editor->getFrame();
    for (const auto& point : points) {
        heard.clear();
        float before[16];
        for (int p = 0; p < 16; ++p) before[p] = effect.getParameter(p);
        if (point.knob) {
            down(frame, point.at);
            move(frame, CPoint(point.at.h, point.at.v - 40));
            up(frame, CPoint(point.at.h, point.at.v - 40));
        } else {
            press(point.at);
        }
        SCOPED_TRACE(testing::Message() << "at " << point.at.h << "," << point.at.v);
        for (int p = 0; p < 16; ++p)
            EXPECT_EQ(effect.getParameter(p) != before[p], p == point.parameter) << p;
        const VstInt32 p = point.parameter;
        ASSERT_GE(heard.size(), 3u);
        EXPECT_EQ(heard.front(), (HostEvent{kBegin, p, 0}));
        EXPECT_EQ(heard[heard.size() - 2], (HostEvent{kAutomate, p, effect.getParameter(p)}));
        EXPECT_EQ(heard.back(), (HostEvent{kEnd, p, 0}));
    }
    editor->idle(); // the lamp follows its toggle at the next idle pass
    EXPECT_EQ(shown(18), effect.getParameter(kPhaserAActive) > 0.5f);

    // A knob dragged 100 pixels up travels half its range, in many automated steps.
    heard.clear();
    effect.setParameter(6, 0.f);
    editor->idle();
    const CPoint at = centre(6);
    down(frame, at);
    for (int step = 1; step <= 10; ++step) move(frame, CPoint(at.h, at.v - 10 * step));
    up(frame, at);
    EXPECT_NEAR(effect.getParameter(6), 0.5f, 1e-6);
    ASSERT_EQ(heard.size(), 12u);
    EXPECT_NEAR(heard[10].value, 0.5f, 1e-6);
}

TEST_F(EditorWindow, HostChangesShowQuantisedAfterOneIdlePass) {
    open();
    struct Case {
        long parameter;
        float host, shownValue;
        long shownTag; // the control whose frame is checked
        int frame;
    };
    const Case cases[] = {
        {8, 0.4f, 0.5f, 8, 1},       {8, 0.7f, 1.f, 8, 2},   {8, 0.33333f, 0.f, 8, 0},
        {11, 0.66667f, 0.5f, 11, 1}, {1, 0.5f, 0.f, 1, 0},   {1, 0.51f, 1.f, 1, 1},
        {13, 1.f, 1.f, 18, 1},       {14, 0.2f, 0.f, 19, 0}, {0, 0.25f, 0.25f, 0, 8},
        {10, 1.f, 1.f, 10, 32},      {15, 1.f, 0.f, 20, 0}, // the sweep has nothing to show
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter);
        CControl* shownBy = control(c.parameter == 15 ? 20 : c.parameter);
        const float before = shownBy->getValue();
        effect.setParameter(VstInt32(c.parameter), c.host);
        // Only recorded: the controls change on the ui thread's next pass.
        EXPECT_EQ(shownBy->getValue(), before);
        editor->idle();
        EXPECT_EQ(shownBy->getValue(), c.shownValue);
        EXPECT_EQ(shown(c.shownTag), c.frame);
    }
    EXPECT_EQ(shown(13), 1); // the toggle beside its lamp
    EXPECT_TRUE(heard.empty());
}

TEST_F(EditorWindow, LearnGestureOutlinesTheArmedControlUntilLearned) {
    effect.setParameter(6, 0.5f);
    effect.setParameter(13, 0.f);
    open();
    const CButtonState learnClick = kLButton | kShift | kControl;
    press(centre(6), learnClick);
    EXPECT_EQ(effect.learningParameter(), 6);
    EXPECT_FALSE(outlined(6));
    editor->idle();
    EXPECT_TRUE(outlined(6));
    // The about screen hides it, a repaint of the armed control included, until it goes.
    press(CPoint(600, 360));
    editor->highlightControl(6, true); // repaints it
    editor->idle();
    EXPECT_EQ(image().getPixel(rectOf(6).left, rectOf(6).top), frameColor(0));
    press(CPoint(300, 200));
    editor->idle();
    EXPECT_TRUE(outlined(6));

    // Moving the outline: the old control is repainted without it.
    press(centre(9), learnClick);
    editor->idle();
    EXPECT_FALSE(outlined(6));
    EXPECT_TRUE(outlined(9));
    EXPECT_EQ(shown(6), 16);

    // A controller moved twice is learned; the outline goes.
    cc(10, 0);
    cc(10, 0);
    EXPECT_EQ(effect.controllerOf(9), 10);
    editor->idle();
    EXPECT_FALSE(outlined(9));

    // Armed again and clicked again: cancelled and forgotten. The toggle never flips.
    press(centre(13), learnClick);
    editor->idle();
    EXPECT_TRUE(outlined(13));
    press(centre(13), learnClick);
    editor->idle();
    EXPECT_FALSE(outlined(13));
    EXPECT_EQ(effect.learningParameter(), Orvella::kNotLearning);
    EXPECT_EQ(shown(13), 0);

    // The learn button arms the sweep controller without an outline and goes dark once
    // it is learned.
    press(centre(20));
    EXPECT_EQ(effect.learningParameter(), 15);
    editor->idle();
    EXPECT_EQ(shown(20), 1);
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);
    cc(7, 1);
    cc(7, 1);
    EXPECT_EQ(effect.controllerOf(15), 7);
    editor->idle();
    EXPECT_EQ(shown(20), 0);
    EXPECT_TRUE(heard.empty()) << "the host hears of no gesture on a parameter it lacks";

    // Learning armed while the window is closed leaves no outline behind.
    editor->close();
    effect.handleSpecialClick(3);
    open();
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);
}

TEST_F(EditorWindow, ToggleFlipsAtThePressAndShowsItUntilRelease) {
    effect.setParameter(13, 0.f);
    open();
    CFrame& frame = *editor->getFrame();
    const auto shownNow = [&] {
        editor->idle();
        return shown(13);
    };
    for (float after : {1.f, 0.f}) { // off, on, off pressed, on pressed
        heard.clear();
        down(frame, centre(13));
        EXPECT_EQ(heard.size(), 2u); // heard at the press
        EXPECT_EQ(effect.getParameter(13), after);
        EXPECT_EQ(shownNow(), 2 + int(after));
        move(frame, {0, 0}); // dragging changes nothing
        EXPECT_EQ(shownNow(), 2 + int(after));
        up(frame, {0, 0});
        EXPECT_EQ(shownNow(), int(after));
    }
    control(13)->setValue(0.7f); // anything but 0 is on
    EXPECT_EQ(shownNow(), 1);
    CPoint at = centre(13);
    EXPECT_EQ(control(13)->onMouseDown(at, kRButton), kMouseEventNotHandled);
}

TEST_F(EditorWindow, AboutScreenCoversTheWindowUntilClicked) {
    effect.setParameter(0, 0.25f);
    open();
    press(CPoint(600, 360));
    editor->idle();
    for (CPoint p : {CPoint(0, 0), CPoint(674, 385), CPoint(91, 88), CPoint(600, 370)})
        EXPECT_EQ(image().getPixel(p.h, p.v), frameColor(0)) << p.h << "," << p.v;
    press(CPoint(300, 200)); // anywhere: the knobs under it see nothing
    editor->idle();
    EXPECT_EQ(image().getPixel(5, 5), kPanelColor);
    EXPECT_EQ(shown(0), 8);
    EXPECT_TRUE(heard.empty());
}

TEST_F(EditorWindow, MidiOnTheAudioThreadOnlyRecordsForTheEditor) {
    effect.setParameter(5, 0.5f);
    open();
    effect.handleSpecialClick(5);
    const long before = allocationCount();
    cc(30, 1); // the learn completes here and takes the outline away
    cc(30, 1);
    for (int v = 0; v < 128; v += 9) cc(30, v);
    EXPECT_EQ(allocationCount(), before);
    EXPECT_EQ(control(5)->getValue(), 0.5f) << "nothing shown before the ui thread's pass";
    editor->idle();
    EXPECT_FLOAT_EQ(control(5)->getValue(), 126 / 127.f);
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);
}

TEST_F(EditorWindow, ClosedEditorIgnoresTheEffect) {
    effect.setParameter(8, 1.f);
    editor->highlightControl(8, true);
    editor->idle();
    open();
    EXPECT_EQ(control(8)->getValue(), 1.f);
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);
    // An effect deleted with its window open takes the window with it (checked by ASan).
    auto* other = new Orvella(recordingHost);
    other->getEditor()->open(nullptr);
    delete other;
}

} // namespace
