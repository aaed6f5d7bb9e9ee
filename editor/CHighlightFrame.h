#pragma once

#include "gui/CColor.h"
#include "gui/CFrame.h"

#include <map>

namespace GUI {
class CControl;
}
class CTQControl;

// The editor's frame: finds controls by tag and views by id, and outlines one control (the
// pupil, armed for learning) with a one-pixel line over its outermost pixels. Its knobs
// always drag linearly. [ui thread] for every operation.
class CHighlightFrame : public GUI::CFrame {
public:
    CHighlightFrame(const GUI::CRect& size, void* systemWindow, GUI::GUIEditorInterface* editor);

    using CFrame::addView;
    // Adds the control and enters it under its tag (replacing an earlier entry).
    virtual bool addView(GUI::CControl* control);
    // Adds the control and enters it under every tag it answers to.
    virtual bool addView(CTQControl* control);
    // Enters the view under `id`, then adds it.
    virtual bool addView(GUI::CView* view, long id);

    virtual void setPupilControl(GUI::CControl* control) { pupil = control; }
    virtual GUI::CControl* getPupilControl() const { return pupil; }
    virtual void setHighlightColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
    virtual void setHighlightColor(const GUI::CColor& color);
    GUI::CColor getHighlightColor() const { return highlightColor; }
    // Moves the outline to the control under `tag` (on) or removes it (off); the next idle
    // pass repaints both places.
    virtual void setHighlightControl(long tag, bool on);
    // The pupil's rectangle; `rect` is left alone when there is no pupil.
    virtual void getHighlightRect(long tag, GUI::CRect& rect) const;
    // Null when nothing is entered under the key.
    virtual GUI::CControl* getControlFromID(long tag) const;
    virtual GUI::CView* getViewFromID(long id) const;

    void drawRect(GUI::CDrawContext* context, const GUI::CRect& rect) override;
    int32_t getKnobMode() const override;

protected:
    void onViewRemoved(GUI::CView* view) override;

private:
    GUI::CControl* pupil = nullptr;
    GUI::CColor highlightColor = GUI::kWhiteCColor;
    std::map<long, GUI::CControl*> controlsByTag;
    std::map<long, GUI::CView*> viewsById;
};
