// The editor view: the stand-in for the view factory that property 31 names. The host owns
// an X11 window; the view is the effect's editor opened inside it.
#include "audiounit/DoruvezovComponent.h"
#include "audiounit/DoruvezovEntry.h"
#include "audiounit/platform/ViewWindow.h"
#include "vstbridge/DoruvezovException.h"

void DoruvezovComponent::createView(unsigned long parent, UInt32& width, UInt32& height) {
    if (!parent) throw MacOSException(paramErr);
    dropView();
    int w = 0, h = 0;
    vst->openEditor(reinterpret_cast<void*>(parent));
    viewParent = parent;
    // Some editors know their size only once open.
    vst->getEditorDimensions(w, h);
    width = UInt32(w);
    height = UInt32(h);
}

void DoruvezovComponent::dropView() {
    if (!viewParent) return;
    vst->closeEditor();
    viewParent = 0;
}

void DoruvezovComponent::resizeWindow(VSTPlugIn&, int width, int height) {
    // Before the view exists there is nothing to size; a failure leaves the size as it is.
    if (viewParent && width > 0 && height > 0)
        ResizeViewWindow(viewParent, UInt32(width), UInt32(height));
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
