#include "effect/FactoryPresets.h"

const char* const presetNames[kNumPrograms] = {
    "Slow Burn", "PanPhase",   "My, how pleasant!", "Big And Bold",    "Set Phasors On Stun",
    "Stutter",   "End To End", "Alien Life Form",   "Mod Wheel to CC", "Dronez",
};

// Rows are programs; columns are parameters 0..15.
const float kPresetData[kNumPrograms][kProgramParams] = {
    {1.840037f, 0, 0, 2.631506f, 0, 9.999999f, 7.605414f, 0, 2, 8.843495f, 7.826989f, 1, 0, 1, 1,
     0},
    {3.283285f, 0, 0, 1, 0, 9.999999f, 0, 0, 0, 10, 0, 0, 1, 1, 1, 0},
    {2.876998f, 0, 0, 3.195149f, 0, 7.614498f, 2.130696f, 0, 1, 4.173147f, 5.702608f, 1, 0, 1, 1,
     0},
    {2.420468f, 0, 0, 2.771003f, 0, 10, 9.272081f, 0, 2, 10, 9.179025f, 1, 0, 1, 1, 0},
    {5.886405f, 0, 1, 5.29615f, 1, 4.44884f, 10, 0, 2, 3.752286f, 10, 0, 1, 1, 1, 0},
    {7.243525f, 0, 0, 8.605994f, 0, 7.674162f, 5.151319f, 0, 2, 8.082373f, 1.365551f, 1, 0, 1, 1,
     0},
    {2.600426f, 0, 0, 4.679215f, 0, 10, 5.196835f, 0, 1, 10, 5.07856f, 1, 0, 1, 1, 0},
    {10, 0, 0, 10, 1, 2.5f, 10, 0, 1, 1, 9.999999f, 1, 0, 1, 1, 0},
    {1, 1, 0, 2, 0, 9.917015f, 3.614616f, 1, 2, 10, 4.140793f, 0, 1, 1, 1, 0.165354f},
    {1, 0, 0, 1, 0, 5.5f, 10, 0, 0, 5.57342f, 10, 0, 1, 1, 1, 1},
};

const MIDIassignment kMIDIassignments[kNumPrograms] = {
    {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {15, 1}, {0, 0},
};
