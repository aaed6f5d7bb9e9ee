#pragma once

#include "gui/CBaseObject.h"
#include "gui/CButtonState.h"
#include "gui/CRect.h"

struct VstKeyCode;

namespace GUI {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;
class GUIEditorInterface;

// Names a view attribute: a four-character code such as 'TQmc'.
using CViewAttributeID = uint32_t;

// A rectangular area of the editor window. Sizes are in the frame's coordinates.
// [ui thread] for every operation.
class CView : public CBaseObject {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    // Draws the background bitmap over the view size and marks the view clean.
    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool isDirty() const { return bDirty; }
    virtual void setDirty(bool state = true) { bDirty = state; }
    // Asks the frame to repaint `rect` on its next idle pass.
    virtual void invalidRect(const CRect& rect);
    // Marks the view clean and asks the frame to repaint all of it.
    virtual void invalid();
    virtual void setVisible(bool state);
    bool isVisible() const { return bVisible; }

    virtual CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseEntered(CPoint& where, const CButtonState& buttons);
    virtual CMouseEventResult onMouseExited(CPoint& where, const CButtonState& buttons);
    // True when `where` lies in the mouseable area, edges included.
    virtual bool hitTest(const CPoint& where, const CButtonState& buttons = 0);
    // A horizontal movement without Shift reaches the axis-less form with its sign inverted.
    virtual bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                         const CButtonState& buttons);
    virtual bool onWheel(const CPoint& where, float distance, const CButtonState& buttons);

    virtual void setMouseEnabled(bool enable) { bMouseEnabled = enable; }
    virtual bool getMouseEnabled() const { return bMouseEnabled; }
    virtual void setMouseableArea(const CRect& rect) { mouseableArea = rect; }
    virtual const CRect& getMouseableArea() const { return mouseableArea; }

    // 1 when the key was used, -1 when not.
    virtual int32_t onKeyDown(VstKeyCode& key);
    virtual int32_t onKeyUp(VstKeyCode& key);

    // Also moves the mouseable area by the same amount.
    virtual void setViewSize(const CRect& rect);
    virtual const CRect& getViewSize() const { return size; }

    virtual void looseFocus() {}
    virtual void takeFocus() {}
    virtual bool wantsFocus() const { return bWantsFocus; }
    virtual void setWantsFocus(bool state) { bWantsFocus = state; }

    // Keeps a reference to the bitmap (null clears it) and marks the view dirty.
    virtual void setBackground(CBitmap* background);
    virtual CBitmap* getBackground() const { return pBackground; }
    virtual void setTransparency(bool state) { bTransparencyEnabled = state; }
    virtual bool getTransparency() const { return bTransparencyEnabled; }

    // Sized values a view may carry by name; a view without the attribute answers false.
    virtual bool getAttributeSize(CViewAttributeID, int32_t&) const { return false; }
    virtual bool getAttribute(CViewAttributeID, int32_t, void*, int32_t&) const { return false; }
    virtual bool setAttribute(CViewAttributeID, int32_t, const void*) { return false; }

    // Called by a container when the view leaves it / joins it.
    virtual bool removed(CView* parent);
    virtual bool attached(CView* parent);
    bool isAttached() const { return bIsAttached; }

    GUIEditorInterface* getEditor() const;
    CFrame* getFrame() const { return pParentFrame; }
    CView* getParentView() const { return pParentView; }

protected:
    // Draws the background bitmap, or the part of it starting at `source`, honouring the
    // transparency flag.
    void drawBackground(CDrawContext* context, const CPoint& source);
    // The same into `dest` instead of the view size.
    void drawBackground(CDrawContext* context, const CRect& dest, const CPoint& source);

    CRect size;
    CRect mouseableArea;
    CFrame* pParentFrame = nullptr;
    CView* pParentView = nullptr;
    bool bDirty = false;
    bool bMouseEnabled = true;
    bool bTransparencyEnabled = false;
    bool bWantsFocus = false;
    bool bIsAttached = false;
    bool bVisible = true;
    CBitmap* pBackground = nullptr;
};

} // namespace GUI
