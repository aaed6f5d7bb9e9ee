#include "editor/ButtonLabel.h"

#include "editor/CTQTextDisplay.h"

using namespace GUI;

namespace {
CRect labelArea(CRect r, const CZudariraResource* font) {
    const CCoord half = font ? font->getMaxCharacterHeight() / 2 : 0;
    r.top += half - 1;
    r.bottom -= half + 1;
    return r;
}
} // namespace

ButtonLabel::ButtonLabel(const CRect& button, long tag, CZudariraResource* font, const char* t)
    : display(new CTQTextDisplay(labelArea(button, font), tag, font, "", 0, 255)) {
    display->setJustification(1);
    set(t);
}

ButtonLabel::~ButtonLabel() {
    display->forget();
}

void ButtonLabel::set(const char* t) {
    text = std::string(t ? t : "").substr(0, kMaxLength);
    display->setDisplayString(text);
}

void ButtonLabel::draw(CDrawContext* context) {
    display->draw(context);
}
