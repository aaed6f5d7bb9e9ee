#pragma once

#include "gui/CControl.h"

#include <vector>

// A control that answers to several tags at once: its own and any added later. The
// highlight frame enters it under each of them. [ui thread] for every operation.
class CTQControl : public GUI::CControl {
public:
    CTQControl(const GUI::CRect& size, GUI::CControlListener* listener, long tag,
               GUI::CBitmap* background = nullptr);

    // Adds a tag the control also answers to; a tag it already has is not repeated.
    void addTag(long tag);
    // The control's own tag first, then the added ones in order.
    std::vector<long> getTags() const;

private:
    std::vector<long> extraTags;
};
