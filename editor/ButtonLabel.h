#pragma once

#include "gui/CControl.h"

#include <string>

class CTQTextDisplay;
class CZudariraResource;

// The centred bitmap-font label a labelled button draws over itself: a text display of its
// own, not a child of the frame, placed half a glyph height inside the button's top and
// bottom and one pixel higher. [ui thread] for every operation.
class ButtonLabel {
public:
    // Labels are cut to this many characters.
    static constexpr size_t kMaxLength = 63;

    ButtonLabel(const GUI::CRect& button, long tag, CZudariraResource* font, const char* text);
    ~ButtonLabel();
    ButtonLabel(const ButtonLabel&) = delete;
    ButtonLabel& operator=(const ButtonLabel&) = delete;

    // Null is the empty label.
    void set(const char* text);
    const std::string& get() const { return text; }
    void draw(GUI::CDrawContext* context);

private:
    CTQTextDisplay* display;
    std::string text;
};

// A button of kind `Button` (constructed from rectangle, listener, tag and strip) with a
// label over it. [ui thread] for every operation.
template <class Button> class LabelledButton : public Button {
public:
    LabelledButton(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
                   GUI::CBitmap* strip, CZudariraResource* font, const char* text)
        : Button(size, listener, tag, strip), label(size, tag, font, text) {}

    void draw(GUI::CDrawContext* context) override {
        Button::draw(context);
        label.draw(context);
    }
    // Shows the new label at the next repaint.
    void setLabel(const char* text) {
        label.set(text);
        this->setDirty(true);
    }
    const std::string& getLabel() const { return label.get(); }

private:
    ButtonLabel label;
};
