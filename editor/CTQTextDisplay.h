#pragma once

#include "editor/CCharacterDisplay.h"
#include "editor/CZudariraResource.h"

// One line of text in a bitmap font. Placed by the width of as many characters as the
// display holds, but drawn whole; no background. [ui thread] for every operation.
class CTQTextDisplay : public CCharacterDisplay {
public:
    // The font is shared (remembered here); null draws nothing.
    CTQTextDisplay(const GUI::CRect& size, long tag, CZudariraResource* font,
                   const std::string& text, int16_t justification, unsigned char alpha);
    ~CTQTextDisplay() override;

    void draw(GUI::CDrawContext* context) override;
    // Below 255 the display turns transparent. Sets the font's alpha, so every display
    // sharing the font follows.
    virtual void setAlpha(unsigned char alpha);

private:
    CZudariraResource* font;
    unsigned char alpha = 255;
};
