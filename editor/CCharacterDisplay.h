#pragma once

#include "gui/CView.h"

#include <string>

// One line of text in a view; subclasses draw it. Justification 0 left, 1 centre (the
// default), 2 right. [ui thread] for every operation.
class CCharacterDisplay : public GUI::CView {
public:
    // The tag is not kept.
    CCharacterDisplay(const GUI::CRect& size, long tag);

    // Marks the view dirty when the text changes; the size in characters becomes its length
    // (at most 32767) either way. Null is the empty text.
    virtual void setDisplayString(const std::string& text);
    virtual void setDisplayString(const char* text);
    // Overwrites the characters from `position` on, padding with spaces up to it; characters
    // that would land before 0 are dropped. The size in characters stays.
    virtual void setDisplayStringAtPosition(const std::string& text, int16_t position);
    virtual void setDisplayStringAtPosition(const char* text, int16_t position);
    virtual void clear();
    virtual void setJustification(int16_t justification);
    virtual void setAutoErase(bool state) { autoErase = state; }
    virtual int16_t getSizeInChars() const { return sizeInChars; }

    const std::string& getDisplayString() const { return displayString; }
    int16_t getJustification() const { return justification; }

protected:
    int16_t sizeInChars = 0;
    std::string displayString;
    bool autoErase = true;
    int16_t justification = 1;
};
