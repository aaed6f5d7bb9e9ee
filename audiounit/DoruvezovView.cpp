// The editor view: the stand-in for the view factory that property 31 names. The host owns
// an X11 window; the view is the effect's editor opened inside it.
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/DoruvezovEntry.h"
#include "audiounit/DoruvezovException.h"

void DoruvezovComponent::createView(unsigned long parent, UInt32& width, UInt32& height) {
    if (!parent) throw MacOSException(paramErr);
    dropView();
    int w = 0, h = 0;
    vst->getEditorDimensions(w, h);
    vst->openEditor(reinterpret_cast<void*>(parent));
    viewParent = parent;
    width = UInt32(w);
    height = UInt32(h);
}

void DoruvezovComponent::dropView() {
    if (!viewParent) return;
    vst->closeEditor();
    viewParent = 0;
}

OSStatus DoruvezovViewEntry(ComponentInstance unit, unsigned long parent, UInt32* width,
                            UInt32* height) {
    auto* component = static_cast<DoruvezovComponent*>(GetComponentInstanceStorage(unit));
    if (!component) return paramErr;
    try {
        if (!parent) {
            component->dropView();
            return noErr;
        }
        UInt32 w = 0, h = 0;
        component->createView(parent, w, h);
        if (width) *width = w;
        if (height) *height = h;
        return noErr;
    } catch (const MacOSException& e) {
        return e.code();
    } catch (...) {
        return -32767;
    }
}
