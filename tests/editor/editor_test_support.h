#pragma once

// Shared by the editor's tests: where a control sits, a controller change as the host sends
// it, and the learn outline read back from any picture.

#include "editor/OrvellaLayout.h"
#include "plugin/VstInterface.h"

#include <cstdint>

namespace edtest {

inline const OrvellaLayout::Control& layoutOf(long tag) {
    for (const auto& c : OrvellaLayout::kControls)
        if (c.tag == tag) return c;
    return OrvellaLayout::kControls.back();
}
inline OrvellaLayout::Rect rectOf(long tag) {
    return layoutOf(tag).rect;
}
inline size_t rowOf(long tag) {
    return size_t(&layoutOf(tag) - OrvellaLayout::kControls.data());
}

// One controller change, ready for processEvents.
struct ControllerChange {
    ControllerChange(int controller, int value, int channel = 0) {
        midi.type = kVstMidiType;
        midi.byteSize = sizeof midi;
        midi.midiData[0] = char(0xB0 | channel);
        midi.midiData[1] = char(controller);
        midi.midiData[2] = char(value);
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<VstEvent*>(&midi);
    }
    VstMidiEvent midi{};
    VstEvents events{};
};

// Whether the outermost pixels of rectangle `r` in a picture (anything with getPixel) are
// all of colour 0xRRGGBB.
template <class Picture, class Rect>
bool outlined(const Picture& p, const Rect& r, uint32_t colour) {
    bool all = true;
    const auto is = [&](int x, int y) { return (p.getPixel(x, y) & 0xffffffu) == colour; };
    for (int x = int(r.left); x < int(r.right); ++x)
        all &= is(x, int(r.top)) && is(x, int(r.bottom) - 1);
    for (int y = int(r.top); y < int(r.bottom); ++y)
        all &= is(int(r.left), y) && is(int(r.right) - 1, y);
    return all;
}

} // namespace edtest
