#include "gui/CSplashScreen.h"

#include "gui/CFrame.h"

namespace GUI {

// The modal view that shows the artwork; a left click inside it asks its owner to take it
// down.
class CSplashScreen::SplashView final : public CView {
public:
    SplashView(const CRect& size, CSplashScreen* o, CBitmap* bitmap, const CPoint& off)
        : CView(size), owner(o), offset(off) {
        setBackground(bitmap);
    }

    void draw(CDrawContext* context) override {
        drawBackground(context, offset);
        setDirty(false);
    }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override {
        if (!(buttons & kLButton) || !size.pointInside(where))
            return kMouseEventHandled; // modal: clicks elsewhere go nowhere
        if (owner) owner->unSplash();
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }

    bool removed(CView* parent) override {
        // Taken out by the frame closing: the frame drops both references.
        if (owner && owner->splashView == this) owner->splashView = nullptr;
        owner = nullptr;
        return CView::removed(parent);
    }

    CSplashScreen* owner;

private:
    CPoint offset;
};

CSplashScreen::CSplashScreen(const CRect& size, CControlListener* listener, long tag,
                             CBitmap* background, const CRect& display, const CPoint& off)
    : CControl(size, listener, tag, background), toDisplay(display), offset(off) {}

CSplashScreen::~CSplashScreen() {
    SplashView* view = splashView;
    if (!view) return;
    view->owner = nullptr;
    CFrame* frame = view->getFrame();
    if (frame && frame->getModalView() == view) {
        frame->setModalView(nullptr);
        view->forget();
    } else if (!view->isAttached()) {
        view->forget();
    }
    // Otherwise the frame is closing and drops the view's references itself.
}

void CSplashScreen::draw(CDrawContext*) {
    setDirty(false);
}

bool CSplashScreen::splash() {
    if (!pParentFrame) return false;
    auto* view = new SplashView(toDisplay, this, pBackground, offset);
    if (!pParentFrame->setModalView(view)) {
        view->forget();
        return false;
    }
    splashView = view;
    return true;
}

void CSplashScreen::unSplash() {
    value = 0.f;
    SplashView* view = splashView;
    if (!view) return;
    splashView = nullptr;
    view->owner = nullptr;
    if (CFrame* frame = view->getFrame()) {
        if (frame->getModalView() == view) frame->setModalView(nullptr);
    }
    view->forget();
    notifyValueChanged();
}

CMouseEventResult CSplashScreen::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton) || !size.pointInside(where)) return kMouseEventNotHandled;
    if (value == 0.f) {
        value = 1.f;
        if (splash())
            notifyValueChanged();
        else
            value = 0.f; // refused: stay down, so the next click tries again
    } else {
        unSplash();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

} // namespace GUI
