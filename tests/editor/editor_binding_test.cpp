// The effect's editor drawn offscreen: its controls, the binding to the parameters both
// ways, the learn outline and the about screen. Every bitmap is a strip of solid frames, so
// the frame a control shows can be read back from the frame's image.

#include "editor/CHighlightFrame.h"
#include "editor/CMovieToggle.h"
#include "editor/OrvellaEditor.h"
#include "effect/Orvella.h"
#include "gui/CAnimKnob.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CMovieBitmap.h"
#include "gui/CSplashScreen.h"
#include "tests/gui/gui_test_support.h"

#include <gtest/gtest.h>
#include <mutex>

long allocationCount(); // tests/gui/allocation_counter.cpp

using namespace GUI;
using namespace guitest;
using OrvellaLayout::kControls;
using OrvellaLayout::Kind;

namespace {

constexpr uint32_t kPanelColor = 0xff101010u;
constexpr uint32_t kWhite = 0xffffffffu;

struct HostEvent {
    VstInt32 opcode;
    VstInt32 index;
    float value;
    bool operator==(const HostEvent&) const = default;
};

std::mutex heardMutex;
std::vector<HostEvent> heard;

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit ||
        opcode == audioMasterEndEdit) {
        std::lock_guard lock(heardMutex);
        heard.push_back({opcode, index, opcode == audioMasterAutomate ? opt : 0.f});
    }
    return opcode == audioMasterVersion ? 2400 : 0;
}

// Solid-frame artwork for every bitmap, the panel in a colour of its own.
struct SolidArtwork : ResourceFolder {
    SolidArtwork() {
        for (const auto& c : kControls) {
            char name[16];
            std::snprintf(name, sizeof name, "bmp%05d", c.bitmapId);
            writeStrip(path.string(), name, c.kind == Kind::AboutScreen ? 675 : c.rect.width(),
                       c.frameHeight, c.frames);
        }
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 675, 386);
        cairo_t* cr = cairo_create(s);
        cairo_set_source_rgb(cr, 0x10 / 255.0, 0x10 / 255.0, 0x10 / 255.0);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_write_to_png(s, (path / "bmp10001.png").c_str());
        cairo_surface_destroy(s);
    }
};

CRect rectOf(const OrvellaLayout::Control& c) {
    return CRect(c.rect.left, c.rect.top, c.rect.right, c.rect.bottom);
}

size_t rowOf(long tag) {
    for (size_t row = 0; row < kControls.size(); ++row)
        if (kControls[row].tag == tag) return row;
    return kControls.size();
}

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override {
        heard.clear();
        editor = static_cast<OrvellaEditor*>(effect.getEditor());
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override { heard.clear(); }

    void open() {
        ASSERT_TRUE(editor->open(nullptr));
        editor->idle();
    }
    CControl* control(long tag) const { return editor->getControlAt(rowOf(tag)); }
    const COffscreenContext& image() const { return editor->getFrame()->getBackBuffer(); }
    int shown(long tag) const { return shownFrame(image(), rectOf(kControls[rowOf(tag)])); }
    CPoint centre(long tag) const {
        const auto& r = kControls[rowOf(tag)].rect;
        return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void press(CPoint at, CButtonState buttons = kLButton) {
        editor->getFrame()->onMouseDown(at, buttons);
        editor->getFrame()->onMouseUp(at, buttons);
    }
    // Whether the outermost pixels of the control's rectangle are all white.
    bool outlined(long tag) const {
        const CRect r = rectOf(kControls[rowOf(tag)]);
        for (CCoord x = r.left; x < r.right; ++x)
            if (image().getPixel(x, r.top) != kWhite || image().getPixel(x, r.bottom - 1) != kWhite)
                return false;
        for (CCoord y = r.top; y < r.bottom; ++y)
            if (image().getPixel(r.left, y) != kWhite || image().getPixel(r.right - 1, y) != kWhite)
                return false;
        return true;
    }
    void cc(int controller, int value) {
        VstMidiEvent midi{};
        midi.type = kVstMidiType;
        midi.byteSize = sizeof midi;
        midi.midiData[0] = char(0xB3);
        midi.midiData[1] = char(controller);
        midi.midiData[2] = char(value);
        VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
        effect.processEvents(&events);
    }

    SolidArtwork artwork; // before the effect: its editor loads the panel at construction
    Orvella effect{recordingHost};
    OrvellaEditor* editor = nullptr;
};

TEST_F(EditorWindow, OpensWithEveryControlInPlaceShowingTheEffectsValues) {
    ERect* r = nullptr;
    ASSERT_TRUE(editor->getRect(&r));
    EXPECT_EQ(r->right - r->left, 675);
    EXPECT_EQ(r->bottom - r->top, 386);
    EXPECT_FALSE(editor->isOpen());
    EXPECT_TRUE(effect.getAeffect()->flags & effFlagsHasEditor);

    const float values[16] = {0.25f, 1, 0, 0.75f, 1, 0.5f, 1, 0, 0.4f, 0, 0.125f, 0.9f, 1, 0, 1};
    for (int p = 0; p < 15; ++p) effect.setParameter(p, values[p]);
    for (int pass = 0; pass < 2; ++pass) { // opening again rebuilds the same picture
        open();
        EXPECT_TRUE(editor->isOpen());
        EXPECT_EQ(editor->getFrame()->getNbViews(), 19);
        for (size_t row = 0; row < kControls.size(); ++row) {
            const auto& c = kControls[row];
            CControl* ctl = editor->getControlAt(row);
            SCOPED_TRACE(c.tag);
            ASSERT_NE(ctl, nullptr);
            EXPECT_EQ(ctl->getTag(), c.tag);
            EXPECT_EQ(ctl->getViewSize(), rectOf(c));
            EXPECT_EQ(editor->getControl(c.tag),
                      OrvellaLayout::isParameterControl(c.kind) ? ctl : nullptr);
            EXPECT_EQ(editor->getHighlightFrame()->getControlFromID(c.tag), nullptr);
        }
        struct Expect {
            long tag;
            int frame;
        };
        const Expect frames[] = {{0, 8},  {3, 24}, {5, 16}, {6, 32}, {9, 0},  {10, 4},
                                 {8, 1},  {11, 2}, {1, 1},  {2, 0},  {4, 1},  {7, 0},
                                 {12, 1}, {18, 0}, {19, 1}, {13, 0}, {14, 1}, {20, 0}};
        for (const Expect& e : frames) EXPECT_EQ(shown(e.tag), e.frame) << "tag " << e.tag;
        EXPECT_TRUE(dynamic_cast<CAnimKnob*>(control(0)));
        EXPECT_TRUE(dynamic_cast<CHorizontalSwitch*>(control(8)));
        EXPECT_TRUE(dynamic_cast<CMovieToggle*>(control(13)));
        EXPECT_TRUE(dynamic_cast<CMovieBitmap*>(control(18)));
        EXPECT_TRUE(dynamic_cast<CSplashScreen*>(control(17)));
        EXPECT_EQ(image().getPixel(5, 5), kPanelColor);
        editor->close();
        EXPECT_FALSE(editor->isOpen());
        EXPECT_EQ(editor->getFrame(), nullptr);
        EXPECT_EQ(editor->getControl(0), nullptr);
    }
    EXPECT_TRUE(heard.empty());
}

TEST_F(EditorWindow, ControlsMoveTheirParametersAndTellTheHost) {
    open();
    using E = HostEvent;
    constexpr VstInt32 B = audioMasterBeginEdit, A = audioMasterAutomate, N = audioMasterEndEdit;
    struct Gesture {
        long tag;
        CPoint at; // relative to the control's left and top
        CButtonState buttons;
        float expected; // the parameter afterwards
    };
    for (auto [p, v] : {std::pair{8, 1.f}, {13, 0.f}, {1, 0.f}, {12, 0.f}, {0, 0.25f}})
        effect.setParameter(p, v);
    editor->idle();
    // Each gesture changes its parameter: a control reports changes only.
    const Gesture gestures[] = {
        {8, {16, 30}, kLButton, 0.f},
        {8, {17, 30}, kLButton, 0.5f},
        {8, {0, 30}, kLButton, 0.f},
        {8, {34, 30}, kLButton, 1.f},
        {8, {33, 30}, kLButton, 0.5f},
        {8, {50, 60}, kLButton, 1.f},
        {1, {13, 20}, kLButton, 1.f},
        {1, {0, 0}, kLButton, 0.f},
        {13, {16, 40}, kLButton, 1.f},
        {12, {27, 44}, kLButton, 1.f},
        {0, {58, 58}, kLButton | kControl, 0.5f}, // the reset click, on the very corner
        {8, {40, 30}, kLButton | kControl, 0.f},
    };
    for (const Gesture& g : gestures) {
        SCOPED_TRACE(g.tag);
        heard.clear();
        const auto& r = kControls[rowOf(g.tag)].rect;
        press(CPoint(r.left + g.at.h, r.top + g.at.v), g.buttons);
        EXPECT_EQ(effect.getParameter(VstInt32(g.tag)), g.expected);
        ASSERT_EQ(heard.size(), 3u);
        EXPECT_EQ(heard[0], (E{B, VstInt32(g.tag), 0}));
        EXPECT_EQ(heard[1], (E{A, VstInt32(g.tag), g.expected}));
        EXPECT_EQ(heard[2], (E{N, VstInt32(g.tag), 0}));
    }
    // The lamp follows its toggle at the next idle pass.
    editor->idle();
    EXPECT_EQ(shown(18), 1);
    EXPECT_EQ(shown(13), 1);

    // A knob dragged 100 pixels up travels half its range, in many automated steps.
    heard.clear();
    effect.setParameter(6, 0.f);
    editor->idle();
    CFrame& frame = *editor->getFrame();
    CPoint at = centre(6);
    frame.onMouseDown(at, kLButton);
    for (int step = 1; step <= 10; ++step) {
        CPoint to(at.h, at.v - 10 * step);
        frame.onMouseMoved(to, kLButton);
    }
    frame.onMouseUp(at, kLButton);
    EXPECT_NEAR(effect.getParameter(6), 0.5f, 1e-6);
    ASSERT_EQ(heard.size(), 12u);
    EXPECT_EQ(heard.front(), (E{B, 6, 0}));
    EXPECT_EQ(heard.back(), (E{N, 6, 0}));
    EXPECT_NEAR(heard[10].value, 0.5f, 1e-6);
}

TEST_F(EditorWindow, HostChangesShowQuantisedAfterOneIdlePass) {
    open();
    struct Case {
        long parameter;
        float host;
        float shownValue;
        long shownTag; // the control whose frame is checked
        int frame;
    };
    const Case cases[] = {
        {8, 0.4f, 0.5f, 8, 1},       {8, 0.7f, 1.f, 8, 2},   {8, 0.33333f, 0.f, 8, 0},
        {11, 0.66667f, 0.5f, 11, 1}, {1, 0.5f, 0.f, 1, 0},   {1, 0.51f, 1.f, 1, 1},
        {13, 1.f, 1.f, 18, 1},       {14, 0.2f, 0.f, 19, 0}, {0, 0.25f, 0.25f, 0, 8},
        {10, 1.f, 1.f, 10, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.parameter);
        const float before = control(c.parameter)->getValue();
        effect.setParameter(VstInt32(c.parameter), c.host);
        // Only recorded: the controls change on the ui thread's next pass.
        EXPECT_EQ(control(c.parameter)->getValue(), before);
        editor->idle();
        EXPECT_EQ(control(c.parameter)->getValue(), c.shownValue);
        EXPECT_EQ(shown(c.shownTag), c.frame);
    }
    EXPECT_EQ(shown(13), 1); // the toggle beside its lamp
    // The sweep control has nothing to show.
    std::vector<float> before;
    for (size_t row = 0; row < kControls.size(); ++row)
        before.push_back(editor->getControlAt(row)->getValue());
    effect.setParameter(15, 1.f);
    editor->idle();
    for (size_t row = 0; row < kControls.size(); ++row)
        EXPECT_EQ(editor->getControlAt(row)->getValue(), before[row]);
    EXPECT_TRUE(heard.empty());
}

TEST_F(EditorWindow, LearnGestureOutlinesTheArmedControlUntilLearned) {
    const float feedback = 0.5f;
    effect.setParameter(6, feedback);
    open();
    const CButtonState learnClick = kLButton | kShift | kControl;
    press(centre(6), learnClick);
    EXPECT_EQ(effect.learningParameter(), 6);
    EXPECT_FALSE(outlined(6));
    editor->idle();
    EXPECT_TRUE(outlined(6));
    EXPECT_EQ(shownFrame(image(), CRect(44, 223, 100, 279)), int(feedback * 32));

    // Moving the outline: the old control is repainted without it.
    press(centre(9), learnClick);
    editor->idle();
    EXPECT_FALSE(outlined(6));
    EXPECT_TRUE(outlined(9));
    EXPECT_EQ(shown(6), int(feedback * 32));

    // A controller moved twice is learned; the outline goes.
    cc(10, 0);
    cc(10, 0);
    EXPECT_EQ(effect.controllerOf(9), 10);
    editor->idle();
    EXPECT_FALSE(outlined(9));
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);

    // Armed again and clicked again: cancelled and forgotten. The toggle never flips.
    press(centre(13), learnClick);
    editor->idle();
    EXPECT_TRUE(outlined(13));
    press(centre(13), learnClick);
    editor->idle();
    EXPECT_FALSE(outlined(13));
    EXPECT_EQ(effect.learningParameter(), Orvella::kNotLearning);
    EXPECT_EQ(effect.getParameter(6), feedback);

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
    EXPECT_EQ(shown(20), 1);
    editor->idle();
    EXPECT_EQ(shown(20), 0);
    EXPECT_TRUE(heard.empty()) << "the host hears of no gesture on a parameter it lacks";

    // Learning armed while the window is closed leaves no outline behind.
    editor->close();
    effect.handleSpecialClick(3);
    open();
    EXPECT_EQ(editor->getHighlightFrame()->getPupilControl(), nullptr);
    EXPECT_FALSE(outlined(3));
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
    EXPECT_EQ(effect.controllerOf(5), 30);
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
