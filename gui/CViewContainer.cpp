#include "gui/CViewContainer.h"

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CControlListener.h"
#include "gui/CDrawContext.h"

#include <algorithm>

namespace GUI {

namespace {

// Keeps a view alive while one of its handlers runs: a handler may take the view down.
class Hold {
public:
    explicit Hold(CView* v) : view(v) { view->remember(); }
    ~Hold() { view->forget(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    CView* view;
};

} // namespace

CViewContainer::CViewContainer(const CRect& size) : CView(size) {}

CViewContainer::~CViewContainer() {
    CViewContainer::removeAll(true);
}

bool CViewContainer::addView(CView* view) {
    if (!view || view->isAttached()) return false;
    view->remember();
    children.push_back(view);
    if (bIsAttached) {
        view->attached(this);
        view->invalid();
    }
    return true;
}

bool CViewContainer::removeView(CView* view, bool withForget) {
    const auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end()) return false;
    children.erase(it);
    invalidRect(view->getViewSize());
    onViewRemoved(view);
    view->removed(this);
    if (withForget) view->forget();
    view->forget();
    return true;
}

bool CViewContainer::removeAll(bool withForget) {
    // Detached first: a child's destructor may reach back into this container.
    std::vector<CView*> leaving;
    leaving.swap(children);
    for (CView* view : leaving) {
        onViewRemoved(view);
        view->removed(this);
        if (withForget) view->forget();
        view->forget();
    }
    return true;
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
    return index >= 0 && index < getNbViews() ? children[size_t(index)] : nullptr;
}

void CViewContainer::onViewRemoved(CView* view) {
    if (mouseDownView == view) mouseDownView = nullptr;
    if (mouseOverView == view) mouseOverView = nullptr;
}

void CViewContainer::setBackgroundColor(const CColor& color) {
    if (color == backgroundColor) return;
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::draw(CDrawContext* context) {
    drawRect(context, size);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    CRect area = size;
    area.bound(updateRect);
    if (area.isEmpty()) return;
    context->pushClip(area);
    context->setFillColor(backgroundColor);
    context->drawRect(area, kDrawFilled);
    if (pBackground) pBackground->draw(context, size, backgroundOffset);
    for (CView* child : children) {
        if (!child->isVisible() || !child->getViewSize().rectOverlap(area)) continue;
        context->pushClip(child->getViewSize());
        child->drawRect(context, area);
        context->popClip();
    }
    context->popClip();
    if (area == size) setDirty(false);
}

void CViewContainer::invalidateDirtyViews() {
    if (CView::isDirty()) {
        invalid();
        return;
    }
    for (CView* child : children)
        if (child->isDirty()) child->invalid();
}

CView* CViewContainer::getViewAt(const CPoint& where, const CButtonState& buttons) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (child->isVisible() && child->getMouseEnabled() && child->hitTest(where, buttons))
            return child;
    }
    return nullptr;
}

CMouseEventResult CViewContainer::mouseDownOn(CView* target, CPoint& where,
                                              const CButtonState& buttons) {
    Hold hold(target);
    auto* control = dynamic_cast<CControl*>(target);
    if (control && control->getListener() && (buttons & kModifierClickMask) &&
        control->getListener()->controlModifierClicked(control, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    const CMouseEventResult result = target->onMouseDown(where, buttons);
    // The handler may have taken the view out of this container.
    if (result == kMouseEventHandled && target->isAttached()) {
        mouseDownView = target;
        mouseDownButton = buttons & kButtonMask;
    }
    return result;
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
    CView* target = getViewAt(where, buttons);
    return target ? mouseDownOn(target, where, buttons) : kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CView* target = mouseDownView;
    // Only the release of the button that began the gesture ends it.
    if (!target || (mouseDownButton && (buttons & kButtonMask) != mouseDownButton))
        return kMouseEventNotHandled;
    mouseDownView = nullptr;
    Hold hold(target);
    return target->onMouseUp(where, buttons);
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (CView* target = mouseDownView) {
        Hold hold(target);
        const CMouseEventResult result = target->onMouseMoved(where, buttons);
        // The view let go (its button is up, the release was lost): end the gesture as
        // the release would have, so the host is not left inside it.
        if ((result == kMouseEventNotHandled || result == kMouseEventNotImplemented) &&
            mouseDownView == target) {
            mouseDownView = nullptr;
            target->onMouseUp(where, buttons);
        }
        return result;
    }
    CView* over = getViewAt(where, buttons);
    if (over != mouseOverView) {
        if (CView* old = mouseOverView) {
            mouseOverView = nullptr;
            Hold hold(old);
            old->onMouseExited(where, buttons);
        }
        if (over) {
            mouseOverView = over;
            Hold hold(over);
            over->onMouseEntered(where, buttons);
        }
    }
    // A drag that began elsewhere moves nothing it passes over.
    if (!mouseOverView || (buttons & kButtonMask)) return kMouseEventNotHandled;
    Hold hold(mouseOverView);
    return mouseOverView->onMouseMoved(where, buttons);
}

CMouseEventResult CViewContainer::onMouseExited(CPoint& where, const CButtonState& buttons) {
    if (CView* old = mouseOverView) {
        mouseOverView = nullptr;
        Hold hold(old);
        old->onMouseExited(where, buttons);
    }
    return kMouseEventHandled;
}

bool CViewContainer::onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                             const CButtonState& buttons) {
    CView* target = getViewAt(where, buttons);
    if (!target) return false;
    Hold hold(target);
    return target->onWheel(where, axis, distance, buttons);
}

} // namespace GUI
