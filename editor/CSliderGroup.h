#pragma once

#include "gui/CControl.h"

#include <array>

// N vertical sliders (2 to 16) side by side over one background: each handle is drawn
// (1 - value) of the track down from the top. Display only: the mouse changes nothing.
// [ui thread] for every operation.
class CSliderGroup : public GUI::CControl {
public:
    static constexpr int32_t kMinSliders = 2;
    static constexpr int32_t kMaxSliders = 16;

    // Other slider counts are held to 2..16.
    CSliderGroup(const GUI::CRect& size, GUI::CControlListener* listener, long tag, int32_t sliders,
                 GUI::CBitmap* handle, GUI::CBitmap* background);
    ~CSliderGroup() override;

    using CControl::getValue;
    using CControl::setValue;
    // Slider indices outside the group are ignored (and read 0).
    void setValue(int32_t index, float value);
    float getValue(int32_t index) const;
    int32_t getActiveSlider() const { return activeSlider; }
    int32_t getSliderCount() const { return sliders; }
    // The slider whose column holds x, or -1 between and beside them.
    int32_t inSliderTrack(GUI::CCoord x) const;

    void draw(GUI::CDrawContext* context) override;
    // Does nothing: the sliders are set by program code.
    virtual void mouse(GUI::CDrawContext* context, GUI::CPoint& where);

private:
    int32_t sliders;
    GUI::CBitmap* handle;
    GUI::CCoord handleWidth = 0;
    GUI::CCoord handleHeight = 0;
    GUI::CCoord pitch;
    GUI::CCoord trackLength = 0;
    std::array<float, kMaxSliders> values{};
    std::array<GUI::CCoord, kMaxSliders> offsets{};
    int32_t activeSlider = 0;
};
