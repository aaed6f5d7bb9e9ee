#pragma once

#include "gui/CColor.h"
#include "gui/CView.h"

#include <vector>

namespace GUI {

// A view holding an ordered list of child views: the first added is drawn first (bottom)
// and hit last. [ui thread] for every operation.
class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size);
    ~CViewContainer() override;

    // Refuses null and views that already sit in a container. The creator's reference
    // passes to the container, which also keeps one of its own.
    virtual bool addView(CView* view);
    // Takes the view out; drops the container's reference, and the creator's with
    // `withForget`.
    virtual bool removeView(CView* view, bool withForget = true);
    virtual bool removeAll(bool withForget = true);
    bool isChild(const CView* view) const;
    int32_t getNbViews() const { return int32_t(children.size()); }
    CView* getView(int32_t index) const;

    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void draw(CDrawContext* context) override;
    // Queues a repaint of every dirty child (of everything when the container itself is).
    void invalidateDirtyViews();

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                 const CButtonState& buttons) override;
    using CView::onWheel;

    void setBackgroundColor(const CColor& color);
    CColor getBackgroundColor() const { return backgroundColor; }
    void setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }

    // The topmost visible, mouse-enabled child that the point hits.
    CView* getViewAt(const CPoint& where, const CButtonState& buttons = 0) const;

protected:
    // Sends a mouse-down to `target` and makes it the capture view when it takes the gesture.
    CMouseEventResult mouseDownOn(CView* target, CPoint& where, const CButtonState& buttons);
    // Forgets every pointer to a view that is leaving.
    virtual void onViewRemoved(CView* view);

    std::vector<CView*> children;
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    CView* mouseDownView = nullptr;
    CButtonState mouseDownButton = 0; // whose press gave mouseDownView the capture
    CView* mouseOverView = nullptr;
};

} // namespace GUI
