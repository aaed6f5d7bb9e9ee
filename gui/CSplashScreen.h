#pragma once

#include "gui/CControl.h"

namespace GUI {

// An invisible hot spot: a left click puts up the bitmap over `toDisplay` as the frame's
// modal view, and a left click on that view takes it down. Each change of state is
// reported. [ui thread] for every operation.
class CSplashScreen : public CControl {
public:
    CSplashScreen(const CRect& size, CControlListener* listener, long tag, CBitmap* background,
                  const CRect& toDisplay, const CPoint& offset = {});
    ~CSplashScreen() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    // Takes the splash view down, if it is up, and reports value 0.
    virtual void unSplash();
    bool isSplashed() const { return splashView != nullptr; }

private:
    class SplashView;
    friend class SplashView;

    // Puts the splash view up; false when the frame refused it.
    bool splash();

    CRect toDisplay;
    CPoint offset;
    SplashView* splashView = nullptr; // our own reference while it is up
};

} // namespace GUI
