#pragma once

#include "editor/ButtonLabel.h"
#include "editor/CTQMovieButton.h"

// A movie button with a bitmap-font label over it. [ui thread] for every operation.
class CTQLabeledMovieButton : public LabelledButton<CTQMovieButton> {
public:
    using LabelledButton::LabelledButton;
};
