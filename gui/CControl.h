#pragma once

#include "gui/CView.h"

namespace GUI {

class CControlListener;

// A view with a value (a 32-bit float) that it reports to a listener. setValue only stores
// the value: the next idle pass of the frame repaints the control. [ui thread] for every
// operation.
//
// Every control keeps one rule for gestures: it takes the left button only, so that other
// buttons reach the host (its context menu), and each press, a default-value reset
// included, shows the host exactly one beginEdit/endEdit pair.
class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
             CBitmap* background = nullptr);

    // Dirty while the value differs from the value last shown, or when flagged.
    bool isDirty() const override;
    // false: the current value counts as shown; true: forces a repaint at the next idle.
    void setDirty(bool state = true) override;

    virtual void doIdleStuff();
    virtual void setValue(float val) { value = val; }
    virtual float getValue() const { return value; }
    virtual void setMin(float val) { vmin = val; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float val) { vmax = val; }
    virtual float getMax() const { return vmax; }
    virtual void setOldValue(float val) { oldValue = val; }
    virtual float getOldValue() const { return oldValue; }
    virtual void setDefaultValue(float val) { defaultValue = val; }
    virtual float getDefaultValue() const { return defaultValue; }
    // Clamps the value into min .. max.
    virtual void bounceValue();
    // Left button with exactly the default-value modifier resets the value (as one gesture)
    // and answers true.
    virtual bool checkDefaultValue(CButtonState buttons);
    virtual void setTag(long val) { tag = val; }
    virtual long getTag() const { return tag; }
    // Gesture start: tells the listener, takes the focus and tells the editor.
    virtual void beginEdit();
    virtual void endEdit();
    virtual CControlListener* getListener() const { return listener; }
    virtual void setListener(CControlListener* l) { listener = l; }
    virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
    virtual void setWheelInc(float val) { wheelInc = val; }
    virtual float getWheelInc() const { return wheelInc; }

    // Class-wide modifiers: the fine-drag modifier and the reset-to-default modifier.
    static CButtonState kZoomModifier;
    static CButtonState kDefaultValueModifier;

protected:
    // Reports the value to the listener, if any.
    void notifyValueChanged();

    CControlListener* listener;
    long tag;
    float oldValue = 1.f;
    float defaultValue = 0.5f;
    float value = 0.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float wheelInc = 0.1f;
    CPoint backOffset;
};

} // namespace GUI
