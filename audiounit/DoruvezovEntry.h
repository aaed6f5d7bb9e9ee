#pragma once

#include "audiounit/platform/Components.h"

// The component's entry, exported from the bundle's executable: open, close, can-do and
// version here, every other selector to the instance's component. Never throws.
// [the thread each selector allows: open and close on the main thread]
extern "C" __attribute__((visibility("default"))) ComponentResult
DoruvezovEntry(ComponentParameters* params, void* storage);
