#include "gui/CFrame.h"

#include "gui/CDrawContext.h"
#include "gui/GUIEditorInterface.h"
#include "gui/platform/X11Window.h"
#include "plugin/VstInterface.h"

#include <algorithm>

namespace GUI {

CFrame::CFrame(const CRect& rect, void* systemWindow, GUIEditorInterface* editor)
    : CViewContainer(rect), pEditor(editor),
      backBuffer(std::make_unique<COffscreenContext>(rect.right, rect.bottom)) {
    pParentFrame = this;
    bIsAttached = true;
    bOpen = true;
    if (systemWindow) window = platform::X11Window::create(systemWindow, *this);
    damage = size;
}

CFrame::~CFrame() {
    // No events may reach views that are going away.
    bOpen = false;
    window.reset();
    CFrame::removeAll(true);
}

void CFrame::idle() {
    if (!bOpen) return;
    // A listener may close the editor from inside an event: finish this pass first.
    remember();
    processEvents();
    if (bOpen) {
        invalidateDirtyViews();
        CRect area = damage;
        damage = CRect();
        if (!area.isEmpty()) drawRect(backBuffer.get(), area);
        area.unite(exposed);
        exposed = CRect();
        if (window && !area.isEmpty()) window->present(backBuffer->getSurface(), area);
    }
    forget();
}

void CFrame::processEvents() {
    if (bOpen && window) window->pumpEvents(exposed);
}

void CFrame::paint(const CRect& area) {
    if (!bOpen) return;
    drawRect(backBuffer.get(), area);
    if (window) window->present(backBuffer->getSurface(), area);
}

void CFrame::doIdleStuff() {
    if (pEditor) pEditor->doIdleStuff();
}

int32_t CFrame::getKnobMode() const {
    return pEditor ? pEditor->getKnobMode() : kCircularMode;
}

void CFrame::beginEdit(long tag) {
    if (pEditor) pEditor->beginEdit(tag);
}

void CFrame::endEdit(long tag) {
    if (pEditor) pEditor->endEdit(tag);
}

void CFrame::drawRect(CDrawContext* context, const CRect& rect) {
    if (!context) return;
    CRect area(std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
               std::max(rect.left, rect.right), std::max(rect.top, rect.bottom));
    CViewContainer::drawRect(context, area);
}

void CFrame::invalidRect(const CRect& rect) {
    CRect area = rect;
    damage.unite(area.bound(size));
}

bool CFrame::setModalView(CView* view) {
    if (!view) {
        if (CView* old = pModalView) {
            pModalView = nullptr;
            removeView(old, false);
        }
        return true;
    }
    if (pModalView || !addView(view)) return false;
    pModalView = view;
    return true;
}

void CFrame::setFocusView(CView* view) {
    if (view == pFocusView) return;
    CView* old = pFocusView;
    pFocusView = view;
    if (old) old->looseFocus();
    if (view) view->takeFocus();
}

bool CFrame::advanceNextFocusView(CView* from, bool reverse) {
    const auto n = int32_t(children.size());
    if (n == 0) return false;
    int32_t start = -1;
    for (int32_t i = 0; i < n; ++i)
        if (children[size_t(i)] == from) start = i;
    const int32_t step = reverse ? n - 1 : 1;
    if (start < 0) start = reverse ? 0 : n - 1; // no focus yet: begin at the proper end
    for (int32_t k = 1; k <= n; ++k) {
        CView* candidate = children[size_t((start + k * step) % n)];
        if (candidate == from) break;
        if (candidate->wantsFocus() && candidate->isVisible()) {
            setFocusView(candidate);
            return true;
        }
    }
    return false;
}

bool CFrame::removeAll(bool withForget) {
    pModalView = nullptr;
    pFocusView = nullptr;
    mouseDownView = nullptr;
    return CViewContainer::removeAll(withForget);
}

void CFrame::onViewRemoved(CView* view) {
    CViewContainer::onViewRemoved(view);
    if (pModalView == view) pModalView = nullptr;
    if (pFocusView == view) pFocusView = nullptr;
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!bOpen) return kMouseEventNotHandled;
    if (mouseDownView) {
        // Another button during a gesture is the host's; the same one again means its
        // release never came: that gesture ends first.
        if (mouseDownButton && (buttons & kButtonMask) != mouseDownButton)
            return kMouseEventNotHandled;
        CViewContainer::onMouseUp(where, buttons);
    }
    setFocusView(nullptr);
    if (pModalView) return mouseDownOn(pModalView, where, buttons);
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (!bOpen) return kMouseEventNotHandled;
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!bOpen) return kMouseEventNotHandled;
    if (pModalView && !mouseDownView) {
        CView* modal = pModalView;
        modal->remember();
        const CMouseEventResult result = modal->onMouseMoved(where, buttons);
        modal->forget();
        return result;
    }
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                     const CButtonState& buttons) {
    if (!bOpen || mouseDownView) return false;
    if (CView* modal = pModalView) {
        modal->remember();
        const bool used = modal->onWheel(where, axis, distance, buttons);
        modal->forget();
        return used;
    }
    return CViewContainer::onWheel(where, axis, distance, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& key) {
    if (!bOpen) return -1;
    int32_t result = pFocusView ? pFocusView->onKeyDown(key) : -1;
    if (result == -1 && pModalView) result = pModalView->onKeyDown(key);
    if (result == -1 && key.virt == VKEY_TAB)
        result = advanceNextFocusView(pFocusView, key.modifier & MODIFIER_SHIFT) ? 1 : -1;
    return result;
}

int32_t CFrame::onKeyUp(VstKeyCode& key) {
    if (!bOpen) return -1;
    int32_t result = pFocusView ? pFocusView->onKeyUp(key) : -1;
    if (result == -1 && pModalView) result = pModalView->onKeyUp(key);
    return result;
}

} // namespace GUI
