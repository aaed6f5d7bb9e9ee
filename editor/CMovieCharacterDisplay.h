#pragma once

#include "editor/CCharacterDisplay.h"

// Text from a strip of 95 equal cells holding the printable ASCII characters, space to
// tilde, top to bottom; one cell per character, as many as the view is wide. Other
// characters show as spaces. With auto-erase, cells without a character show a space.
// [ui thread] for every operation.
class CMovieCharacterDisplay : public CCharacterDisplay {
public:
    // The strip becomes the background (remembered); the tag is not kept.
    CMovieCharacterDisplay(const GUI::CRect& size, long tag, GUI::CBitmap* strip);

    void draw(GUI::CDrawContext* context) override;

private:
    // Draws character c in cell `index` from the view's left.
    void drawCell(GUI::CDrawContext* context, GUI::CCoord index, char c);

    int16_t cellWidth = 0;
    int16_t cellHeight = 0;
};
