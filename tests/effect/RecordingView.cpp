#include "tests/effect/RecordingView.h"

#include "plugin/AudioEffect.h"

OrvellaView* createOrvellaEditor(AudioEffect* effect) {
    return new RecordingView(effect);
}

RecordingView::RecordingView(AudioEffect* effect) : AEffEditor(effect) {
    effect->setEditor(this);
}

void RecordingView::setParameter(long index, float value) {
    shown[index].store(value);
}

void RecordingView::highlightControl(long index, bool on) {
    if (on) {
        outlined.store(index);
    } else {
        long expected = index;
        outlined.compare_exchange_strong(expected, kNone);
    }
}

RecordingView& RecordingView::of(AudioEffect& effect) {
    return *static_cast<RecordingView*>(effect.getEditor());
}
