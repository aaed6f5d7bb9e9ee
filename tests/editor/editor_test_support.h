#pragma once
// Shared by the editor's tests: where a control sits and the learn outline read back from
// any picture.

#include "editor/OrvellaLayout.h"
#include "plugin/VstInterface.h"
#include "tests/common/MidiMessage.h"

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
