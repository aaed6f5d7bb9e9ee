#include "gui/CView.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"

namespace GUI {

CView::CView(const CRect& rect) : size(rect), mouseableArea(rect) {}

CView::~CView() {
    if (pBackground) pBackground->forget();
}

void CView::drawBackground(CDrawContext* context, const CPoint& source) {
    drawBackground(context, size, source);
}

void CView::drawBackground(CDrawContext* context, const CRect& dest, const CPoint& source) {
    if (!pBackground) return;
    if (bTransparencyEnabled)
        pBackground->drawTransparent(context, dest, source);
    else
        pBackground->draw(context, dest, source);
}

void CView::draw(CDrawContext* context) {
    drawBackground(context, {});
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRect&) {
    draw(context);
}

void CView::invalidRect(const CRect& rect) {
    if (pParentFrame) pParentFrame->invalidRect(rect);
}

void CView::invalid() {
    setDirty(false);
    invalidRect(size);
}

void CView::setVisible(bool state) {
    if (state == bVisible) return;
    bVisible = state;
    setDirty(true);
}

CMouseEventResult CView::onMouseDown(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseUp(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseMoved(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseEntered(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

CMouseEventResult CView::onMouseExited(CPoint&, const CButtonState&) {
    return kMouseEventNotImplemented;
}

bool CView::hitTest(const CPoint& where, const CButtonState&) {
    return mouseableArea.pointInside(where);
}

bool CView::onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                    const CButtonState& buttons) {
    if (axis == kMouseWheelAxisX && !(buttons & kShift)) distance = -distance;
    return onWheel(where, distance, buttons);
}

bool CView::onWheel(const CPoint&, float, const CButtonState&) {
    return false;
}

int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}

int32_t CView::onKeyUp(VstKeyCode&) {
    return -1;
}

void CView::setViewSize(const CRect& rect) {
    mouseableArea.offset(rect.left - size.left, rect.top - size.top);
    size = rect;
    setDirty(true);
}

void CView::setBackground(CBitmap* background) {
    if (background) background->remember();
    if (pBackground) pBackground->forget();
    pBackground = background;
    setDirty(true);
}

bool CView::removed(CView*) {
    pParentView = nullptr;
    pParentFrame = nullptr;
    bIsAttached = false;
    return true;
}

bool CView::attached(CView* parent) {
    pParentView = parent;
    pParentFrame = parent->getFrame();
    bIsAttached = true;
    return true;
}

GUIEditorInterface* CView::getEditor() const {
    return pParentFrame ? pParentFrame->getEditor() : nullptr;
}

} // namespace GUI
