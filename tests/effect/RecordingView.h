// Stands in for the editor in tests of the effect: records what the effect tells it.
#pragma once

#include "effect/OrvellaView.h"
#include "params/OrvellaParameterManager.h"
#include "plugin/AEffEditor.h"

#include <atomic>

class RecordingView final : public AEffEditor, public OrvellaView {
public:
    explicit RecordingView(AudioEffect* effect);

    // [any thread]
    void setParameter(long index, float value) override;
    void highlightControl(long index, bool on) override;

    // The view the effect built for itself.
    static RecordingView& of(AudioEffect& effect);

    static constexpr long kNone = -1;
    std::atomic<float> shown[kNumParams] = {};
    std::atomic<long> outlined{kNone};
};
