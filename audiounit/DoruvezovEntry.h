#pragma once

#include "audiounit/platform/Components.h"

// The component's entry, exported from the bundle's executable: open, close, can-do and
// version here, every other selector to the instance's component. Never throws.
// [the thread each selector allows: open and close on the main thread]
extern "C" __attribute__((visibility("default"))) ComponentResult
DoruvezovEntry(ComponentParameters* params, void* storage);

// The view factory named by property 31: opens the instance's editor as a child of the X11
// window `parent` and answers its size; a parent of 0 drops the view, closing the editor.
// Never throws. [main thread]
extern "C" __attribute__((visibility("default"))) OSStatus
DoruvezovViewEntry(ComponentInstance unit, unsigned long parent, UInt32* width, UInt32* height);
