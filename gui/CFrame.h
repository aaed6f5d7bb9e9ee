#pragma once

#include "gui/CViewContainer.h"

#include <memory>

namespace GUI {

class COffscreenContext;
namespace platform {
class X11Window;
}

// The root container, filling the editor's window. It paints into an image of its own and
// copies the damaged part to the window, so nothing flickers and tests can read the
// pixels without a display. [ui thread] for every operation.
class CFrame : public CViewContainer {
public:
    // With a parent window (an X window id), opens a child window of this size in it; with
    // null the frame draws offscreen only.
    CFrame(const CRect& size, void* systemWindow, GUIEditorInterface* editor);
    ~CFrame() override;

    // Reads window events, then repaints dirty views and damaged areas. Does nothing
    // once the frame is closed.
    virtual void idle();
    // Reads and dispatches pending window events only.
    void processEvents();
    // Paints `area` into the frame's image and copies it to the window at once.
    void paint(const CRect& area);
    virtual void doIdleStuff();
    bool isOpen() const { return bOpen; }
    GUIEditorInterface* getEditor() const { return pEditor; }
    virtual int32_t getKnobMode() const;
    virtual void beginEdit(long tag);
    virtual void endEdit(long tag);

    // Draws the background, then every child that meets `rect`, in order.
    void drawRect(CDrawContext* context, const CRect& rect) override;
    // Collects damage for the next idle pass.
    void invalidRect(const CRect& rect) override;

    // One modal view at most; it is drawn on top and gets every mouse event. Null takes the
    // current one down (its owner forgets it). False when refused.
    virtual bool setModalView(CView* view);
    CView* getModalView() const { return pModalView; }
    virtual void setFocusView(CView* view);
    CView* getFocusView() const { return pFocusView; }
    // Moves the focus to the next (or previous) child that wants it; true when it moved.
    virtual bool advanceNextFocusView(CView* from, bool reverse = false);

    bool removeAll(bool withForget = true) override;

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, const CMouseWheelAxis& axis, float distance,
                 const CButtonState& buttons) override;
    using CView::onWheel;
    // Focus view first, then the modal view; Tab moves the focus. 1 used, -1 not.
    int32_t onKeyDown(VstKeyCode& key) override;
    int32_t onKeyUp(VstKeyCode& key) override;

    // What the last paint produced.
    COffscreenContext& getBackBuffer() { return *backBuffer; }
    // Damage waiting for the next idle pass; empty when there is none.
    const CRect& getDamage() const { return damage; }
    // The platform window, null when drawing offscreen only.
    platform::X11Window* getPlatformWindow() const { return window.get(); }

protected:
    void onViewRemoved(CView* view) override;

private:
    GUIEditorInterface* pEditor;
    CView* pFocusView = nullptr;
    CView* pModalView = nullptr;
    bool bOpen = false;
    CRect damage;
    CRect exposed; // window areas to copy again, the image being current
    std::unique_ptr<COffscreenContext> backBuffer;
    std::unique_ptr<platform::X11Window> window;
};

} // namespace GUI
