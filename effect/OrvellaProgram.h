// One program: name, sixteen host values and sixteen controller numbers. The record is
// also the state chunk handed to hosts, so its layout is fixed to the byte.
#pragma once

#include "params/OrvellaParameterManager.h"

#include <cstddef>
#include <cstdint>

constexpr int kNumPrograms = 10;
constexpr std::size_t kProgramNameBytes = 24;

struct OrvellaProgram {
    OrvellaProgram();

    char name[kProgramNameBytes];   // zero-terminated within the field when written by us
    float values[kNumParams];       // host values 0..1
    int8_t controllers[kNumParams]; // MIDI controller per parameter, -1 for none
};

static_assert(sizeof(OrvellaProgram) == 104);
static_assert(offsetof(OrvellaProgram, values) == 24);
static_assert(offsetof(OrvellaProgram, controllers) == 88);
