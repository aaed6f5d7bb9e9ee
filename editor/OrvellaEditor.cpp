#include "editor/OrvellaEditor.h"

#include "editor/CHighlightFrame.h"
#include "editor/CMovieToggle.h"
#include "effect/MidiLearnTarget.h"
#include "gui/CAnimKnob.h"
#include "gui/CBitmap.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CMovieBitmap.h"
#include "gui/CMovieButton.h"
#include "gui/CSplashScreen.h"
#include "plugin/AudioEffect.h"

using namespace GUI;
using OrvellaLayout::Kind;

namespace {

CRect toRect(const OrvellaLayout::Rect& r) {
    return CRect(r.left, r.top, r.right, r.bottom);
}

CControl* makeControl(const OrvellaLayout::Control& c, CControlListener* listener,
                      CBitmap* bitmap) {
    const CRect r = toRect(c.rect);
    switch (c.kind) {
    case Kind::Knob:
        return new CAnimKnob(r, listener, c.tag, c.frames, c.frameHeight, bitmap);
    case Kind::Switch:
        return new CHorizontalSwitch(r, listener, c.tag, c.frames, c.frameHeight, c.frames, bitmap);
    case Kind::Button:
    case Kind::LearnButton:
        return new CMovieButton(r, listener, c.tag, c.frameHeight, bitmap);
    case Kind::Lamp:
        return new CMovieBitmap(r, listener, c.tag, c.frames, c.frameHeight, bitmap);
    case Kind::Toggle:
        return new CMovieToggle(r, listener, c.tag, c.frameHeight, bitmap);
    case Kind::AboutScreen:
        return new CSplashScreen(r, listener, c.tag, bitmap, toRect(OrvellaLayout::kWindow));
    }
    return nullptr;
}

bool hasControl(long index) {
    return index >= 0 && index < OrvellaLayout::kControlledParameters;
}

} // namespace

OrvellaView* createOrvellaEditor(AudioEffect* effect) {
    return new OrvellaEditor(effect);
}

// The window's size is the layout's, so a host lays it out before any artwork is read, and
// an effect that never opens its window never decodes a bitmap.
OrvellaEditor::OrvellaEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = VstInt16(OrvellaLayout::kWindowHeight);
    rect.right = VstInt16(OrvellaLayout::kWindowWidth);
    setKnobMode(kLinearMode);
}

OrvellaEditor::~OrvellaEditor() {
    if (frame) close();
}

bool OrvellaEditor::open(void* parent) {
    if (frame) close();
    AEffGUIEditor::open(parent);
    recordedMask.store(0);
    recordedPupil.store(kNoRequest);
    learnButtonOff.store(false);
    // From here on changes are recorded, so none made while the controls are built is lost.
    opened.store(true, std::memory_order_release);

    std::array<CBitmap*, kRows> bitmaps{};
    for (int id = OrvellaLayout::kFirstControlBitmap; id <= OrvellaLayout::kLastBitmap; ++id)
        bitmaps[size_t(id - OrvellaLayout::kFirstControlBitmap)] = new CBitmap(id);

    auto* highlightFrame = new CHighlightFrame(CRect(0, 0, rect.right, rect.bottom), parent, this);
    auto* background = new CBitmap(OrvellaLayout::kBackgroundBitmap);
    highlightFrame->setBackground(background);
    background->forget();
    frame = highlightFrame;

    for (size_t row = 0; row < kRows; ++row) {
        const OrvellaLayout::Control& c = OrvellaLayout::kControls[row];
        CBitmap* bitmap = bitmaps[size_t(c.bitmapId - OrvellaLayout::kFirstControlBitmap)];
        CControl* control = makeControl(c, this, bitmap);
        // The plain form: the frame's own tag map stays empty, the editor keeps its own.
        frame->addView(static_cast<CView*>(control));
        // Quantised as later pushes are, so a button opened at 0.3 shows off, not on.
        if (c.parameter >= 0)
            control->setValue(OrvellaLayout::quantised(OrvellaLayout::kindOfParameter(c.parameter),
                                                       effect->getParameter(c.parameter)));
        if (OrvellaLayout::isParameterControl(c.kind)) controlMap[c.tag] = control;
        controls[row] = control;
    }
    for (CBitmap* bitmap : bitmaps) bitmap->forget();
    return true;
}

void OrvellaEditor::close() {
    opened.store(false, std::memory_order_release);
    if (frame) frame->forget();
    frame = nullptr;
    controls.fill(nullptr);
    controlMap.clear();
    AEffGUIEditor::close();
}

void OrvellaEditor::idle() {
    applyRecorded();
    AEffGUIEditor::idle();
}

void OrvellaEditor::setParameter(long index, float value) {
    if (!hasControl(index) || !opened.load(std::memory_order_acquire)) return;
    recordedValues[size_t(index)].store(
        OrvellaLayout::quantised(OrvellaLayout::kindOfParameter(index), value),
        std::memory_order_relaxed);
    recordedMask.fetch_or(1u << index, std::memory_order_release);
}

void OrvellaEditor::highlightControl(long index, bool on) {
    if (!opened.load(std::memory_order_acquire)) return;
    if (index == OrvellaLayout::kLearnParameter) {
        // The click that armed the sweep controller already lit the button.
        if (!on) learnButtonOff.store(true, std::memory_order_release);
        return;
    }
    recordedPupil.store(on && index >= 0 ? index : kNoPupil, std::memory_order_release);
}

void OrvellaEditor::applyRecorded() {
    if (!frame) return;
    const uint32_t mask = recordedMask.exchange(0, std::memory_order_acquire);
    for (size_t row = 0; row < kRows && mask; ++row) {
        const int p = OrvellaLayout::kControls[row].parameter;
        if (p >= 0 && mask & (1u << p))
            controls[row]->setValue(recordedValues[size_t(p)].load(std::memory_order_relaxed));
    }
    if (learnButtonOff.exchange(false, std::memory_order_acquire))
        for (size_t row = 0; row < kRows; ++row)
            if (OrvellaLayout::kControls[row].kind == Kind::LearnButton)
                controls[row]->setValue(0.0f);
    const long pupil = recordedPupil.exchange(kNoRequest, std::memory_order_acquire);
    if (pupil != kNoRequest) setPupil(pupil == kNoPupil ? nullptr : getControl(pupil));
}

// Both the old and the new place are repainted at the next pass, so the outline moves.
void OrvellaEditor::setPupil(CControl* control) {
    CHighlightFrame* f = getHighlightFrame();
    if (CControl* old = f->getPupilControl()) old->setDirty(true);
    if (control) control->setDirty(true);
    f->setPupilControl(control);
}

void OrvellaEditor::beginEdit(long index) {
    if (hasControl(index)) AEffGUIEditor::beginEdit(index);
}

void OrvellaEditor::endEdit(long index) {
    if (hasControl(index)) AEffGUIEditor::endEdit(index);
}

void OrvellaEditor::valueChanged(CControl* control) {
    const long tag = control->getTag();
    if (tag == OrvellaLayout::kLearnTag) {
        if (auto* learner = dynamic_cast<MidiLearnTarget*>(effect))
            learner->handleSpecialClick(OrvellaLayout::kLearnParameter);
        return;
    }
    if (!hasControl(tag)) return; // the about screen and the lamps
    effect->setParameterAutomated(VstInt32(tag), control->getValue());
}

int32_t OrvellaEditor::controlModifierClicked(CControl* control, CButtonState buttons) {
    if ((buttons & kShift) == 0 || (buttons & kControl) == 0) return 0;
    if (auto* learner = dynamic_cast<MidiLearnTarget*>(effect))
        learner->handleSpecialClick(control->getTag());
    return 1;
}

CControl* OrvellaEditor::getControl(long tag) const {
    const auto it = controlMap.find(tag);
    return it == controlMap.end() ? nullptr : it->second;
}

CHighlightFrame* OrvellaEditor::getHighlightFrame() const {
    return static_cast<CHighlightFrame*>(frame);
}
