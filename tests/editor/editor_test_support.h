#pragma once
// Shared by the editor's tests: where a control sits, the learn outline read back from any
// picture, and the editor as this process draws it.

#include "editor/OrvellaEditor.h"
#include "editor/OrvellaLayout.h"
#include "effect/Orvella.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/PluginBundle.h"
#include "plugin/VstInterface.h"
#include "tests/common/MidiMessage.h"
#include "tests/common/TestHost.h"

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

// Pixels of `shot` (a window's screenshot) that differ from the editor drawn offscreen in this
// process from the built bundle's artwork, the parameters at `values` or their defaults.
template <class Screenshot>
int differencesFromOffscreen(const Screenshot& shot, const float* values = nullptr) {
    GUI::setResourceFolderOverride(builtModule("Orvella.vst/Contents/Resources"));
    Orvella local(nullptr);
    for (int p = 0; values && p < kNumParams; ++p) local.setParameter(p, values[p]);
    auto* editor = static_cast<OrvellaEditor*>(local.getEditor());
    editor->open(nullptr);
    editor->idle();
    const int differing = shot.differences(editor->getFrame()->getBackBuffer());
    editor->close();
    GUI::setResourceFolderOverride("");
    return differing;
}

} // namespace edtest
