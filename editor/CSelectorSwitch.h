#pragma once

#include "gui/CControl.h"

// A switch over a grid of R x C positions, one strip frame each. Cells are numbered along
// each row (row-major) or down each column; the value runs from 0 at the first cell to 1 at
// the last. [ui thread] for every operation.
class CSelectorSwitch : public GUI::CControl {
public:
    CSelectorSwitch(const GUI::CRect& size, GUI::CControlListener* listener, long tag, int32_t rows,
                    int32_t columns, GUI::CBitmap* strip, bool rowMajor,
                    const GUI::CPoint& offset = {});

    void draw(GUI::CDrawContext* context) override;
    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseMoved(GUI::CPoint& where,
                                        const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseUp(GUI::CPoint& where, const GUI::CButtonState& buttons) override;

private:
    int32_t rows;
    int32_t columns;
    int32_t positions;
    GUI::CCoord frameHeight = 0;
    float cellHeight = 0.f;
    float cellWidth = 0.f;
    bool rowMajor;
    GUI::CPoint offset;
};
