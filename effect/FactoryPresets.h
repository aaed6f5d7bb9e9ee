// The ten factory programs, as natural values of the sixteen parameters.
#pragma once

#include "effect/OrvellaProgram.h"

struct MIDIassignment {
    int parameter;
    int controller;
};

extern const char* const presetNames[kNumPrograms];
extern const float kPresetData[kNumPrograms][kProgramParams];
// One pair per program; only pairs with a controller above 0 assign anything.
extern const MIDIassignment kMIDIassignments[kNumPrograms];
