#include "editor/CCharacterDisplay.h"

#include <algorithm>

using namespace GUI;

CCharacterDisplay::CCharacterDisplay(const CRect& size, long) : CView(size) {}

void CCharacterDisplay::setDisplayString(const std::string& text) {
    if (text != displayString) {
        displayString = text;
        setDirty(true);
    }
    sizeInChars = int16_t(std::min<size_t>(text.size(), INT16_MAX));
}

void CCharacterDisplay::setDisplayString(const char* text) {
    setDisplayString(std::string(text ? text : ""));
}

void CCharacterDisplay::setDisplayStringAtPosition(const std::string& text, int16_t position) {
    const size_t skipped = position < 0 ? std::min<size_t>(size_t(-position), text.size()) : 0;
    const size_t at = position < 0 ? 0 : size_t(position);
    const size_t count = text.size() - skipped;
    if (displayString.size() < at + count) displayString.resize(at + count, ' ');
    displayString.replace(at, count, text, skipped, count);
    setDirty(true);
}

void CCharacterDisplay::setDisplayStringAtPosition(const char* text, int16_t position) {
    setDisplayStringAtPosition(std::string(text ? text : ""), position);
}

void CCharacterDisplay::clear() {
    displayString.clear();
    setDirty(true);
}

void CCharacterDisplay::setJustification(int16_t j) {
    if (j == justification) return;
    justification = j;
    setDirty(true);
}
