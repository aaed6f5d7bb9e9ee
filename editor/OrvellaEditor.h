// The effect's window: nineteen bitmap controls on one background, bound to the sixteen
// parameters both ways, with an outline around the control armed for MIDI learning.
#pragma once

#include "editor/OrvellaLayout.h"
#include "effect/OrvellaView.h"
#include "gui/AEffGUIEditor.h"
#include "gui/CControlListener.h"

#include <array>
#include <atomic>
#include <map>

class AudioEffect;
class CHighlightFrame;
namespace GUI {
class CBitmap;
class CControl;
} // namespace GUI

class OrvellaEditor final : public AEffGUIEditor, public GUI::CControlListener, public OrvellaView {
public:
    // [main thread] Registers itself as the effect's editor; no window yet and no bitmap
    // loaded, but the rectangle is known. The effect may implement MidiLearnTarget to
    // receive learn gestures.
    explicit OrvellaEditor(AudioEffect* effect);
    ~OrvellaEditor() override;

    // [main thread] Loads the artwork and builds the frame and the controls from the
    // effect's current values.
    // A null parent draws offscreen only.
    bool open(void* parent) override;
    // [main thread] Destroys the frame and every control.
    void close() override;
    bool isOpen() override { return opened.load(std::memory_order_acquire); }
    // [main thread] Shows what setParameter and highlightControl recorded, then repaints.
    void idle() override;

    // [any thread] Records the value the parameter's control shows at the next idle pass;
    // never allocates, locks or draws. Nothing while the window is closed.
    void setParameter(long index, float value) override;
    // [any thread] Records where the learn outline goes (on) or that it goes away (off) for
    // the next idle pass; index 15 off darkens the learn button. Nothing while closed.
    void highlightControl(long index, bool on) override;

    // [ui thread] A gesture reaches the host only for a parameter: the learn button's tag
    // names none, and a host must not hear of parameters it was never told about.
    void beginEdit(long index) override;
    void endEdit(long index) override;

    // [ui thread]
    void valueChanged(GUI::CControl* control) override;
    int32_t controlModifierClicked(GUI::CControl* control, GUI::CButtonState buttons) override;

    // [ui thread] The parameter control under tag 0 .. 14, or null (closed, or no control).
    GUI::CControl* getControl(long tag) const;
    // [ui thread] The control built from row `row` of the layout, or null while closed.
    GUI::CControl* getControlAt(size_t row) const { return controls[row]; }
    // [ui thread] Null while closed.
    CHighlightFrame* getHighlightFrame() const;

private:
    void applyRecorded();
    void setPupil(GUI::CControl* control);

    static constexpr size_t kRows = OrvellaLayout::kControls.size();
    static constexpr long kNoRequest = -2;
    static constexpr long kNoPupil = -1;

    std::array<GUI::CControl*, kRows> controls{};
    std::map<long, GUI::CControl*> controlMap;
    std::atomic<bool> opened{false};

    // Left by other threads for the next idle pass.
    std::array<std::atomic<float>, OrvellaLayout::kControlledParameters> recordedValues{};
    std::atomic<uint32_t> recordedMask{0}; // bit k: recordedValues[k] waits to be shown
    std::atomic<long> recordedPupil{kNoRequest};
    std::atomic<bool> learnButtonOff{false};
};
