// The control library drawn with the real classes and the bundle's artwork: the gallery
// picture in the documentation and the gallery's real-window test both build it here.
#pragma once

#include "editor/CButtonMatrix.h"
#include "editor/CDecimalDigit.h"
#include "editor/CDrawBuffer.h"
#include "editor/CLinearKnob.h"
#include "editor/CMovieCharacterDisplay.h"
#include "editor/CMovieMeter.h"
#include "editor/CMultiButton.h"
#include "editor/CSelectorSwitch.h"
#include "editor/CSliderGroup.h"
#include "editor/CTQLabeledMomentaryButton.h"
#include "editor/CTQLabeledMovieButton.h"
#include "editor/CTQTextDisplay.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "resources/ControlArtwork.h"

#include <cmath>

namespace gallery {

inline GUI::CRect at(GUI::CCoord x, GUI::CCoord y, GUI::CCoord w, GUI::CCoord h) {
    return {x, y, x + w, y + h};
}

// A 520 x 300 frame of every further control, in `parent` (an X window id) or offscreen
// when null, its artwork read from the resource folder in force.
inline GUI::CFrame* makeFrame(void* parent) {
    using namespace GUI;
    using namespace ControlArtwork;
    auto* frame = new CFrame(CRect(0, 0, 520, 300), parent, nullptr);
    frame->setBackgroundColor(CColor{42, 35, 30, 255});
    const auto add = [&](auto* view) {
        frame->addView(view);
        return view;
    };
    auto* cream = new CZudariraResource(kFontId, 0);
    auto* amber = new CZudariraResource(kFontId, cream->getMaxCharacterHeight());
    CBitmap* art[11];
    for (int i = 0; i < 11; ++i) art[i] = new CBitmap(kCharacters + i);
    const auto bmp = [&](int id) { return art[id - kCharacters]; };

    // Text in the label font, each justification, and the second colour by row offset.
    const char* kJustified[] = {"Left: Gn 1 Rate", "Centre: Ph A Depth", "Right: Feedback"};
    for (int16_t j = 0; j < 3; ++j)
        add(new CTQTextDisplay(at(10, 10 + 18 * j, 240, 16), 0, j == 1 ? amber : cream,
                               kJustified[j], j, 255));
    // Fixed-cell text and signed decimals.
    for (int16_t j = 0; j < 3; ++j) {
        auto* d =
            add(new CMovieCharacterDisplay(at(270, 10 + 17 * j, 160, 13), 0, bmp(kCharacters)));
        // Cleared and overwritten, the text keeps the display's 20 cells (160 / 8).
        d->clear();
        d->setDisplayStringAtPosition(j == 0 ? "ORVELLA" : j == 1 ? "PHASER" : "STEREO", 0);
        d->setJustification(j);
    }
    add(new CDecimalDigit(at(440, 10, 80, 16), nullptr, 0, 0, 3, 2, 10, 16, bmp(kDigits)))
        ->setValue(-12.75f);
    add(new CDecimalDigit(at(440, 34, 80, 16), nullptr, 0, 0, 2, 1, 10, 16, bmp(kDigits)))
        ->setValue(123.4f);

    // Meters at three levels and one past the top, a selector, a matrix, a multi-state
    // button, linear knobs.
    const float kLevels[] = {0.2f, 0.55f, 0.9f};
    for (int i = 0; i < 3; ++i)
        add(new CMovieMeter(at(10 + 20 * i, 80, 14, 80), nullptr, 0, bmp(kMeter), {}, true, false))
            ->setValue(kLevels[i]);
    add(new CSelectorSwitch(at(80, 80, 90, 40), nullptr, 0, 2, 3, bmp(kSelector), true))
        ->setValue(0.8f);
    auto* matrix = add(new CButtonMatrix(at(180, 80, 96, 64), 4, 6, nullptr, 0, bmp(kMatrixCell)));
    const unsigned char kPattern[24] = {1, 0, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0,
                                        0, 0, 1, 0, 0, 1, 1, 0, 0, 0, 1, 0};
    matrix->setAllValues(kPattern);
    for (int i = 0; i < 2; ++i)
        add(new CMultiButton(at(290, 80 + 24 * i, 40, 20), nullptr, 0, 4, bmp(kMultiState)))
            ->setValue(i == 0 ? 0.25f : 0.75f);
    for (int i = 0; i < 3; ++i)
        add(new CLinearKnob(at(345 + 50 * i, 80, 40, 40), nullptr, 0, 33, 40, 0, bmp(kKnob)))
            ->setValue(0.5f * float(i));

    // Labelled buttons, sliders and a waveform.
    add(new CTQLabeledMovieButton(at(10, 180, 60, 22), nullptr, 0, bmp(kButton), cream, "Bypass"))
        ->setValue(1.f);
    add(new CTQLabeledMovieButton(at(10, 210, 60, 22), nullptr, 0, bmp(kButton), cream, "Mono"));
    add(new CTQLabeledMomentaryButton(at(80, 180, 60, 22), nullptr, 0, bmp(kButton), amber, "Tap"));
    auto* sliders = add(new CSliderGroup(at(160, 170, 120, 70), nullptr, 0, 8, bmp(kSliderHandle),
                                         bmp(kSliderTrack)));
    for (int i = 0; i < 8; ++i) sliders->setValue(i, 0.5f + 0.45f * std::sin(0.8f * float(i)));
    auto* wave = add(new CDrawBuffer(at(300, 170, 160, 60), nullptr, 0, bmp(kScope)));
    float samples[160];
    for (int i = 0; i < 160; ++i)
        samples[i] = 0.8f * std::sin(float(i) * 0.12f) * std::exp(-float(i) / 180.f);
    wave->setWaveColor(CColor{110, 220, 100, 255});
    wave->setData(samples, 160);

    for (CBitmap* b : art) b->forget();
    cream->forget();
    amber->forget();
    return frame;
}

} // namespace gallery
