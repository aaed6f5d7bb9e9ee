#pragma once

#include "editor/ButtonLabel.h"
#include "editor/CMomentaryButton.h"

// A momentary button with a bitmap-font label over it. [ui thread] for every operation.
class CTQLabeledMomentaryButton : public LabelledButton<CMomentaryButton> {
public:
    using LabelledButton::LabelledButton;
};
