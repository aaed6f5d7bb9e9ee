#pragma once

#include <cstdint>

namespace GUI {

// What a frame needs of the editor that owns it. Named without a plug-in format: the same
// toolkit serves the Audio Unit's view. [ui thread] for every operation.
class GUIEditorInterface {
public:
    virtual ~GUIEditorInterface() = default;
    // Lets the editor repaint and the host idle from inside a long-running gesture.
    virtual void doIdleStuff() = 0;
    // 0 circular, 1 relative circular, 2 linear.
    virtual int32_t getKnobMode() const = 0;
    // Gesture notifications for the parameter with this index.
    virtual void beginEdit(long index) = 0;
    virtual void endEdit(long index) = 0;
};

enum : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

} // namespace GUI
