#include "editor/CTQTextDisplay.h"

#include <algorithm>

using namespace GUI;

CTQTextDisplay::CTQTextDisplay(const CRect& size, long tag, CZudariraResource* f,
                               const std::string& text, int16_t j, unsigned char a)
    : CCharacterDisplay(size, tag), font(f) {
    if (font) font->remember();
    setDisplayString(text);
    setJustification(j);
    setAlpha(a);
}

CTQTextDisplay::~CTQTextDisplay() {
    if (font) font->forget();
}

void CTQTextDisplay::setAlpha(unsigned char a) {
    alpha = a;
    setTransparency(a < 255);
    if (font) font->setAlpha(a);
}

void CTQTextDisplay::draw(CDrawContext* context) {
    setDirty(false);
    if (!font) return;
    const size_t shown =
        std::min<size_t>(displayString.size(), size_t(std::max<int16_t>(sizeInChars, 0)));
    // Measured at full width: a 16-bit sum would wrap for long strings.
    const CCoord width = font->getStringWidth(displayString.substr(0, shown));
    // An unknown justification draws from the view's left, not the window's: x = 0 would
    // put the text outside its own view.
    CCoord x = size.left;
    if (justification == 1)
        x = (size.left + size.right) / 2 - width / 2;
    else if (justification == 2)
        x = size.right - width;
    font->drawText(context, {x, size.top}, displayString, kLeftText);
}
