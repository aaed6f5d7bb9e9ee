// The editor base between the host and the frame, and the idle-driven timer.

#include "gui/AEffGUIEditor.h"
#include "gui/CAnimKnob.h"
#include "gui/CGUITimer.h"
#include "gui_test_support.h"
#include "plugin/AudioEffectX.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

std::vector<VstInt32> hostCalls; // opcodes, with the index after begin/end edit

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    hostCalls.push_back(opcode);
    if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit) hostCalls.push_back(index);
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct Effect : AudioEffectX {
    Effect() : AudioEffectX(&host, 1, 16) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Builds a frame with one knob (tag 6), the way an effect's editor does.
struct Editor : AEffGUIEditor {
    explicit Editor(AudioEffect* fx) : AEffGUIEditor(fx) { rect = ERect{0, 0, 80, 120}; }
    bool open(void* parent) override {
        AEffGUIEditor::open(parent);
        frame = new CFrame(CRect(0, 0, 120, 80), parent, this);
        knob = new CAnimKnob(CRect(10, 10, 50, 50), nullptr, 6, 33, 0, nullptr);
        frame->addView(knob);
        return true;
    }
    void close() override {
        frame->forget();
        frame = nullptr;
        AEffGUIEditor::close();
    }
    void idle() override {
        ++idles;
        AEffGUIEditor::idle();
    }
    CAnimKnob* knob = nullptr;
    int idles = 0;
};

class Glue : public ::testing::Test {
protected:
    void SetUp() override {
        hostCalls.clear();
        effect = new Effect;
        editor = new Editor(effect); // owned by the effect from here on
    }
    void TearDown() override {
        if (editor->getFrame()) editor->close();
        delete effect;
    }
    Effect* effect = nullptr;
    Editor* editor = nullptr;
};

TEST_F(Glue, RegistersWithTheEffectAndIgnoresTheHostWhileClosed) {
    EXPECT_EQ(effect->getEditor(), editor);
    EXPECT_TRUE(effect->getAeffect()->flags & effFlagsHasEditor);
    ERect* r = nullptr;
    ASSERT_TRUE(editor->getRect(&r));
    EXPECT_EQ(r->right * 1000 + r->bottom, 120080);
    EXPECT_FALSE(editor->getRect(nullptr));
    editor->idle();
    VstKeyCode up{0, VKEY_UP, 0};
    EXPECT_FALSE(editor->onKeyDown(up));
    EXPECT_FALSE(editor->onWheel(1.f));
}

TEST_F(Glue, ArrowKeysMoveTheKnobLastClicked) {
    ASSERT_TRUE(editor->open(nullptr));
    VstKeyCode up{0, VKEY_UP, 0};
    EXPECT_FALSE(editor->onKeyDown(up)); // nothing has the focus yet
    editor->knob->setValue(0.5f);
    click(*editor->getFrame(), {30, 30});
    EXPECT_TRUE(editor->onKeyDown(up));
    EXPECT_FLOAT_EQ(editor->knob->getValue(), 0.6f);
    // The click reached the host as begin/end edit of parameter 6.
    EXPECT_EQ(hostCalls, (std::vector<VstInt32>{audioMasterBeginEdit, 6, audioMasterEndEdit, 6}));
}

TEST_F(Glue, DrawPaintsTheRequestedAreaAtOnce) {
    ASSERT_TRUE(editor->open(nullptr));
    const COffscreenContext& image = editor->getFrame()->getBackBuffer();
    editor->getFrame()->setBackgroundColor(kWhiteCColor);
    ERect reversed{40, 40, 0, 0}; // corners swapped on purpose
    editor->draw(&reversed);
    EXPECT_EQ(image.getPixel(5, 5), 0xffffffffu);
    EXPECT_EQ(image.getPixel(60, 60), 0u);
    editor->draw(nullptr);
    EXPECT_EQ(image.getPixel(60, 60), 0xffffffffu);
}

TEST_F(Glue, DoIdleStuffIdlesAtMostEvery100Ms) {
    ASSERT_TRUE(editor->open(nullptr));
    for (int i = 0; i < 2; ++i) editor->doIdleStuff(); // the second too soon: returns early
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(std::count(hostCalls.begin(), hostCalls.end(), audioMasterIdle), 1);
}

TEST_F(Glue, DeletingTheEffectClosesAnOpenEditor) {
    ASSERT_TRUE(editor->open(nullptr));
    CFrame* frame = editor->getFrame();
    frame->remember();
    delete effect; // no effEditClose first
    effect = new Effect;
    editor = new Editor(effect);
    EXPECT_EQ(frame->getNbReference(), 1); // only the test's look at it is left
    frame->forget();
}

TEST_F(Glue, KnobModeIsSharedByEveryEditor) {
    Effect other;
    auto* second = new Editor(&other);
    for (int32_t mode : {kRelativCircularMode, kLinearMode}) {
        EXPECT_TRUE(editor->setKnobMode(mode));
        EXPECT_EQ(second->getKnobMode(), mode);
    }
}

TEST_F(Glue, BundleIsLocatedFromThisModuleWhileAnEditorLives) {
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string expected;
    ASSERT_TRUE(bundleRootFromModulePath(self, expected));
    // Run by a relative path or not, the location is absolute.
    ASSERT_EQ(getBundlePath().front(), '/');
    EXPECT_TRUE(std::filesystem::equivalent(getBundlePath(), expected));
    EXPECT_EQ(getResourceFolder(), getBundlePath() + "/Contents/Resources");
}

struct TimerTarget : CBaseObject {
    void notify(CBaseObject* sender, const char* message) override {
        if (std::string(message) == kMsgTimer && sender == timer) ++fired;
    }
    CBaseObject* timer = nullptr;
    size_t fired = 0;
};

TEST(Timer, FiresEveryIntervalFromTheIdlePass) {
    TimerTarget target;
    auto* timer = new CGUITimer(&target, 50);
    target.timer = timer;
    EXPECT_FALSE(timer->stop());
    const uint32_t t0 = AEffGUIEditor::getTicks();
    ASSERT_TRUE(timer->start());
    EXPECT_TRUE(timer->start()); // already running: unchanged
    // The next one is due 50 ms after the last firing.
    for (auto [at, fired] : {std::pair{20u, 0u}, {1000u, 1u}, {1020u, 1u}, {1050u, 2u}}) {
        CGUITimer::fireDueTimers(t0 + at);
        EXPECT_EQ(target.fired, fired) << at;
    }
    EXPECT_TRUE(timer->setFireTime(10000)); // restarts with the new interval
    CGUITimer::fireDueTimers(AEffGUIEditor::getTicks() + 5000);
    EXPECT_TRUE(timer->stop());
    CGUITimer::fireDueTimers(t0 + 100000);
    timer->start();
    timer->forget(); // a running timer that goes away leaves nothing behind
    CGUITimer::fireDueTimers(t0 + 200000);
    EXPECT_EQ(target.fired, 2u);
}

} // namespace
