// The framework underneath the controls: ownership, repaint rules, drawing order and the
// frame's mouse, wheel and key dispatch; bitmaps and where they are read from.

#include "gui/CKnob.h"
#include "gui/platform/Surface.h"
#include "gui_test_support.h"
#include "plugin/VstInterface.h"
#include "tests/common/AllocationCounter.h"

#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

// A control that paints itself in one colour and counts what reaches it.
struct Probe : CControl {
    Probe(const CRect& r, CControlListener* l, int* destroyed) : CControl(r, l), gone(destroyed) {}
    ~Probe() override {
        if (gone) ++*gone;
    }
    void draw(CDrawContext* context) override {
        ++draws;
        context->setFillColor(color);
        context->drawRect(size, kDrawFilled);
        setDirty(false);
    }
    CMouseEventResult onMouseDown(CPoint&, const CButtonState&) override {
        ++downs;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint&, const CButtonState&) override {
        ++moves;
        return kMouseEventHandled;
    }
    bool onWheel(const CPoint&, float distance, const CButtonState&) override {
        wheel += distance;
        return true;
    }
    int32_t onKeyDown(VstKeyCode& k) override { return k.character == usedKey ? 1 : -1; }

    int* gone;
    int draws = 0, downs = 0, moves = 0;
    float wheel = 0;
    int32_t usedKey = -1;
    CColor color{10, 20, 30, 255};
};

class Frame : public OffscreenFrame<100, 80> {
protected:
    Probe* probe(const CRect& r, int* destroyed = nullptr) {
        return add(new Probe(r, &listener, destroyed));
    }
};

TEST_F(Frame, ClosingReleasesEveryViewAndBitmap) {
    CBitmap* art = resources.strip(10005, 10, 10, 2);
    art->remember(); // the test's own look at it
    int destroyed = 0;
    for (int i = 0; i < 3; ++i) probe(CRect(i * 10, 0, i * 10 + 10, 10), &destroyed);
    auto* knob = new CKnob(CRect(50, 0, 60, 10), &listener, 1, art);
    art->forget(); // creator's reference: the knob keeps its own
    frame->addView(knob);
    EXPECT_FALSE(frame->addView(nullptr));
    EXPECT_FALSE(frame->addView(knob)); // already attached
    EXPECT_EQ(frame->getNbViews(), 4);
    EXPECT_EQ(knob->getNbReference(), 2);
    EXPECT_EQ(art->getNbReference(), 2);
    frame->forget();
    frame = nullptr;
    EXPECT_EQ(destroyed, 3);
    EXPECT_EQ(art->getNbReference(), 1);
    art->forget();
}

TEST_F(Frame, IdleRepaintsOnlyWhatChanged) {
    auto* a = probe(CRect(0, 0, 10, 10));
    auto* b = probe(CRect(20, 0, 30, 10));
    frame->idle();
    ASSERT_EQ(a->draws + b->draws, 2);
    const long before = allocationCount();
    for (int i = 0; i < 10; ++i) frame->idle(); // nothing changed: no painting at all
    EXPECT_EQ(allocationCount() - before, 0);
    EXPECT_EQ(a->draws + b->draws, 2);
    EXPECT_TRUE(frame->getDamage().isEmpty());

    a->setValue(0.5f);
    EXPECT_EQ(a->draws, 1); // setValue draws nothing by itself
    frame->idle();
    a->setValue(0.5f); // the value already shown
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);

    b->setDirty(true); // forced, same value
    frame->idle();
    EXPECT_EQ(b->draws, 2);
    b->setVisible(false); // its area is repainted without it
    frame->idle();
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(frame->getBackBuffer().getPixel(25, 5), 0xff000000u);

    frame->setBackgroundColor(kWhiteCColor); // a dirty container repaints whole
    frame->idle();
    EXPECT_EQ(a->draws, 3);
    EXPECT_EQ(frame->getBackBuffer().getPixel(50, 50), 0xffffffffu);
}

TEST_F(Frame, ChildrenDrawInOrderClippedToThemselvesAndTheDamage) {
    auto* bottom = probe(CRect(0, 0, 50, 50));
    auto* top = probe(CRect(20, 20, 70, 70));
    top->color = CColor{200, 0, 0, 255};
    frame->idle();
    const COffscreenContext& image = frame->getBackBuffer();
    EXPECT_EQ(image.getPixel(10, 10), 0xff0a141eu);
    EXPECT_EQ(image.getPixel(30, 30), 0xffc80000u); // overlap: the later view wins
    EXPECT_EQ(image.getPixel(75, 75), 0xff000000u);

    bottom->color = CColor{0, 255, 0, 255};
    frame->invalidRect(CRect(0, 0, 10, 10));
    frame->idle();
    EXPECT_EQ(image.getPixel(5, 5), 0xff00ff00u);
    EXPECT_EQ(image.getPixel(15, 15), 0xff0a141eu); // outside the damage: untouched
    EXPECT_EQ(top->draws, 1);
}

TEST_F(Frame, MouseGoesToTheTopmostViewUnlessTheListenerClaimsIt) {
    auto* under = probe(CRect(0, 0, 40, 40));
    auto* over = probe(CRect(20, 20, 40, 40));
    for (CPoint p : {CPoint(40, 40), CPoint(10, 10), CPoint(41, 10)})
        click(*frame, p); // edges count
    EXPECT_EQ(over->downs + 10 * under->downs, 11);
    over->setMouseEnabled(false);
    click(*frame, {30, 30});
    EXPECT_EQ(under->downs, 2);

    listener.claimModifierClicks = 1;
    const CButtonState claimed[] = {kRButton, kLButton | kShift, kLButton | kControl,
                                    kLButton | kAlt, kLButton | kApple};
    for (CButtonState b : claimed) click(*frame, {5, 5}, b);
    EXPECT_EQ(under->downs, 2);
    EXPECT_EQ(listener.modifierClicks.size(), 5u);
    click(*frame, {5, 5}, kLButton | kDoubleClick); // not a modifier
    listener.claimModifierClicks = 0;
    click(*frame, {5, 5}, kRButton);
    EXPECT_EQ(under->downs, 4);
}

TEST_F(Frame, CaptureHoldsTheGestureAndBlocksTheWheel) {
    auto* a = probe(CRect(0, 0, 10, 10));
    auto* b = probe(CRect(20, 0, 30, 10));
    const CPoint overB(25, 5);
    down(*frame, {5, 5});
    move(*frame, overB);
    EXPECT_FALSE(frame->onWheel(overB, kMouseWheelAxisY, 1.f, kLButton));
    up(*frame, overB);
    EXPECT_EQ(a->moves + 10 * b->moves, 1);
    EXPECT_TRUE(frame->onWheel(overB, kMouseWheelAxisY, 2.f, 0));
    EXPECT_TRUE(frame->onWheel(overB, kMouseWheelAxisX, 1.f, 0));
    EXPECT_TRUE(frame->onWheel(overB, kMouseWheelAxisX, 3.f, kShift));
    EXPECT_EQ(b->wheel, 2.f - 1.f + 3.f);
    EXPECT_FALSE(frame->onWheel({90, 70}, kMouseWheelAxisY, 1.f, 0));
}

TEST_F(Frame, KeysGoToFocusThenModalThenMoveTheFocus) {
    auto* a = probe(CRect(0, 0, 10, 10));
    probe(CRect(20, 0, 30, 10));
    auto* c = probe(CRect(40, 0, 50, 10));
    a->setWantsFocus(true);
    c->setWantsFocus(true);
    VstKeyCode tab{0, VKEY_TAB, 0}, backTab{0, VKEY_TAB, MODIFIER_SHIFT}, x{'x', 0, 0};
    EXPECT_EQ(frame->onKeyDown(x), -1);
    for (auto [key, focus] : {std::pair{&tab, a}, {&tab, c}, {&backTab, a}}) {
        EXPECT_EQ(frame->onKeyDown(*key), 1);
        EXPECT_EQ(frame->getFocusView(), focus);
    }
    a->usedKey = 'x';
    EXPECT_EQ(frame->onKeyDown(x), 1);
    // The focus ends with every mouse-down; the modal view is asked next.
    click(*frame, {90, 70});
    EXPECT_EQ(frame->getFocusView(), nullptr);
    auto* modal = new Probe(CRect(0, 0, 5, 5), nullptr, nullptr);
    modal->usedKey = 'x';
    ASSERT_TRUE(frame->setModalView(modal));
    EXPECT_EQ(frame->onKeyDown(x), 1);
    frame->setModalView(nullptr);
    modal->forget();
    // A focused view that leaves takes the focus with it.
    frame->setFocusView(c);
    frame->removeView(c);
    EXPECT_EQ(frame->getFocusView(), nullptr);
}

TEST(Bitmap, ResourcesAreNamedByIdAndLoadedFromTheResourceFolder) {
    ResourceFolder resources;
    const std::string folder = resources.path.string();
    EXPECT_EQ(CBitmap::resourcePath(7, "jpg"), folder + "/bmp00007.jpg");
    EXPECT_EQ(CBitmap::resourcePath("about.png", ""), folder + "/about.png");
    EXPECT_EQ(CBitmap::resourcePath("../x.png", ""), "");

    CBitmap* strip = resources.strip(10017, 33, 74, 4);
    EXPECT_EQ(strip->getWidth() * 1000 + strip->getHeight(), 33296);
    strip->forget();
    writeStrip(folder, "named", 3, 4, 1);
    auto* named = new CBitmap("named.png");
    EXPECT_EQ(named->getHeight(), 4);
    named->forget();

    // Missing and undecodable resources are empty and draw nothing.
    std::FILE* junk = std::fopen((resources.path / "bmp10004.png").c_str(), "w");
    std::fputs("not an image", junk);
    std::fclose(junk);
    for (CResourceDescription d : {CResourceDescription(10003), CResourceDescription(10004)}) {
        auto* missing = new CBitmap(d);
        EXPECT_FALSE(missing->isLoaded());
        COffscreenContext image(4, 4);
        missing->draw(&image, CRect(0, 0, 4, 4));
        EXPECT_EQ(image.getPixel(1, 1), 0u);
        missing->forget();
    }
}

TEST(Bitmap, TransparentAndAlphaDrawing) {
    ResourceFolder resources;
    // Two frames: colour 0 on top, colour 1 below; make colour 1 the transparent one.
    CBitmap* strip = resources.strip(10010, 4, 2, 2);
    const uint32_t c1 = frameColor(1);
    strip->setTransparentColor(CColor{uint8_t(c1 >> 16), uint8_t(c1 >> 8), uint8_t(c1), 255});
    COffscreenContext image(4, 4);
    image.setFillColor(kWhiteCColor);
    image.drawRect(CRect(0, 0, 4, 4), kDrawFilled);
    strip->drawTransparent(&image, CRect(0, 0, 4, 4));
    EXPECT_EQ(image.getPixel(0, 0), frameColor(0));
    EXPECT_EQ(image.getPixel(0, 3), 0xffffffffu);
    strip->draw(&image, CRect(0, 0, 4, 4));
    EXPECT_EQ(image.getPixel(0, 3), c1);
    // Half opacity over black: every channel halves (within rounding).
    COffscreenContext dark(4, 2);
    dark.setFillColor(kBlackCColor);
    dark.drawRect(CRect(0, 0, 4, 2), kDrawFilled);
    strip->drawAlphaBlend(&dark, CRect(0, 0, 4, 2), {0, 0}, 128);
    const uint32_t p = dark.getPixel(1, 1), c0 = frameColor(0);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(int(p >> shift & 255), int(c0 >> shift & 255) / 2, 1) << shift;
    strip->forget();
}

TEST(DrawContext, LinesAndOutlinesCoverWholePixels) {
    COffscreenContext image(10, 10);
    image.setFrameColor(kWhiteCColor);
    image.moveTo({1, 2});
    image.lineTo({6, 2});
    image.lineTo({6, 5});
    image.setFillColor(CColor{255, 0, 0, 255});
    image.setLineWidth(1);
    image.drawRect(CRect(2, 6, 5, 9), kDrawFilledAndStroked);
    // Both ends of a line, the outline on the rectangle's outermost column and row.
    const std::tuple<int, int, uint32_t> pixels[] = {
        {1, 2, 0xffffffffu}, {3, 2, 0xffffffffu}, {6, 2, 0xffffffffu},
        {6, 5, 0xffffffffu}, {1, 3, 0u},          {7, 2, 0u},
        {3, 7, 0xffff0000u}, {4, 8, 0xffffffffu}, {5, 8, 0u}};
    for (auto [x, y, colour] : pixels) EXPECT_EQ(image.getPixel(x, y), colour) << x << "," << y;
}

TEST(Bundle, RootIsThreeLevelsAboveTheModule) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"/x/Orvella.vst/Contents/x86_64-linux/Orvella.so", true, "/x/Orvella.vst"},
        {"/Contents/x86_64-linux/Orvella.so", true, ""},
        {"Contents/x86_64-linux/Orvella.so", false, "unchanged"},
        {"Orvella.so", false, "unchanged"}};
    for (const auto& [module, found, expected] : cases) {
        std::string root = "unchanged";
        EXPECT_EQ(bundleRootFromModulePath(module, root), found) << module;
        EXPECT_EQ(root, expected) << module;
    }
}

} // namespace
