// The ten factory programs: each a name, the natural values of the sixteen parameters, each
// named by its parameter, and at most one MIDI assignment.
#pragma once

#include "effect/OrvellaProgram.h"
#include "params/OrvellaParameterManager.h"

struct MIDIassignment {
    int parameter;
    int controller; // none when 0
};

struct FactoryPreset {
    struct Setting {
        OrvellaParameter parameter;
        float natural;
    };

    const char* name;
    Setting settings[kNumParams]; // every parameter once, in index order
    MIDIassignment assignment;
};

extern const FactoryPreset kPresetData[kNumPrograms];
