#include "editor/CHighlightFrame.h"

#include "editor/CTQControl.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/GUIEditorInterface.h"

using namespace GUI;

CHighlightFrame::CHighlightFrame(const CRect& size, void* systemWindow, GUIEditorInterface* editor)
    : CFrame(size, systemWindow, editor) {}

bool CHighlightFrame::addView(CControl* control) {
    if (!control || !CFrame::addView(control)) return false;
    controlsByTag[control->getTag()] = control;
    return true;
}

bool CHighlightFrame::addView(CTQControl* control) {
    if (!control || !CFrame::addView(control)) return false;
    for (long t : control->getTags()) controlsByTag[t] = control;
    return true;
}

bool CHighlightFrame::addView(CView* view, long id) {
    if (!view) return false;
    viewsById[id] = view;
    if (CFrame::addView(view)) return true;
    viewsById.erase(id);
    return false;
}

void CHighlightFrame::setHighlightColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    highlightColor = CColor{red, green, blue, alpha};
    setDirty(true);
}

void CHighlightFrame::setHighlightColor(const CColor& c) {
    setHighlightColor(c.red, c.green, c.blue, c.alpha);
}

void CHighlightFrame::setHighlightControl(long tag, bool on) {
    if (pupil) pupil->setDirty(true);
    pupil = on ? getControlFromID(tag) : nullptr;
    if (pupil) pupil->setDirty(true);
}

void CHighlightFrame::getHighlightRect(long, CRect& rect) const {
    if (pupil) rect = pupil->getViewSize();
}

CControl* CHighlightFrame::getControlFromID(long tag) const {
    const auto it = controlsByTag.find(tag);
    return it == controlsByTag.end() ? nullptr : it->second;
}

CView* CHighlightFrame::getViewFromID(long id) const {
    const auto it = viewsById.find(id);
    return it == viewsById.end() ? nullptr : it->second;
}

void CHighlightFrame::drawRect(CDrawContext* context, const CRect& rect) {
    CFrame::drawRect(context, rect);
    // A modal view (the about screen) covers the window: nothing is drawn over it.
    if (!pupil || !context || getModalView()) return;
    CRect outline;
    getHighlightRect(pupil->getTag(), outline);
    const CCoord savedWidth = context->getLineWidth();
    const CColor savedColor = context->getFrameColor();
    context->pushClip(rect);
    context->setLineWidth(1);
    context->setFrameColor(highlightColor);
    context->drawRect(outline, kDrawStroked);
    context->popClip();
    context->setLineWidth(savedWidth);
    context->setFrameColor(savedColor);
}

int32_t CHighlightFrame::getKnobMode() const {
    return kLinearMode;
}

// The maps do not own their entries: a view that leaves must leave them too.
void CHighlightFrame::onViewRemoved(CView* view) {
    CFrame::onViewRemoved(view);
    if (pupil == view) pupil = nullptr;
    std::erase_if(controlsByTag, [view](const auto& e) { return e.second == view; });
    std::erase_if(viewsById, [view](const auto& e) { return e.second == view; });
}
