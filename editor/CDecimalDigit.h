#pragma once

#include "gui/CControl.h"

// A signed decimal number from a strip of 13 cells: digits 0 to 9, the decimal point, plus
// and minus, top to bottom. Shows the sign (when used), I integer digits of the value held
// within +-(10^I - 1), the point, and F digits of the fraction. [ui thread] for every
// operation.
class CDecimalDigit : public GUI::CControl {
public:
    // Digit counts are held to 0..9.
    CDecimalDigit(const GUI::CRect& size, GUI::CControlListener* listener, long tag, int value,
                  int integerDigits, int fracDigits, GUI::CCoord digitWidth,
                  GUI::CCoord digitHeight, GUI::CBitmap* strip);

    void draw(GUI::CDrawContext* context) override;
    void setFracDigits(int digits);
    void useSign(bool state);

private:
    void drawCell(GUI::CDrawContext* context, GUI::CCoord index, GUI::CCoord cell);

    GUI::CCoord digitWidth;
    GUI::CCoord digitHeight;
    int32_t integerDigits;
    int32_t fracDigits;
    bool sign = true;
};
