#include "params/OrvellaParameterManager.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

struct Declaration {
    const char* name;
    const char* shortName;
    float minimum;
    float maximum;
    float defaultValue;
    tq_paramTypes type;
};

// Short names are what hosts show: eight characters at most.
constexpr Declaration kDeclarations[kNumParams] = {
    {"Gn 1 Rate", "G1 Rate", 1.0f, 10.0f, 1.0f, kParamLinear},
    {"Gn 1 Rate Ctrl", "G1 RtCtl", 0.0f, 1.0f, 0.0f, kParamOnOff},
    {"Gn 1 Shape", "G1 Shape", 0.0f, 1.0f, 0.0f, kParamOnOff},
    {"Gn 2 Rate", "G2 Rate", 1.0f, 10.0f, 1.0f, kParamLinear},
    {"Gn 2 Shape", "G2 Shape", 0.0f, 1.0f, 0.0f, kParamOnOff},
    {"Ph A Depth", "A Depth", 1.0f, 10.0f, 1.0f, kParamLinear},
    {"Ph A Feedback", "A Feedbk", 0.0f, 10.0f, 0.0f, kParamLinear},
    {"Ph A Swp Ctrl", "A SwpCtl", 0.0f, 1.0f, 0.0f, kParamOnOff},
    {"Ph B Input", "B Input", 0.0f, 2.0f, 0.0f, kParamInteger},
    {"Ph B Depth", "B Depth", 1.0f, 10.0f, 1.0f, kParamLinear},
    {"Ph B Feedback", "B Feedbk", 0.0f, 10.0f, 0.0f, kParamLinear},
    {"Ph B Swp Ctrl", "B SwpCtl", 0.0f, 2.0f, 0.0f, kParamInteger},
    {"Ph B Swp Sync", "B SwpSnc", 0.0f, 1.0f, 0.0f, kParamOnOff},
    {"Ph A Active", "A Active", 0.0f, 1.0f, 1.0f, kParamOnOff},
    {"Ph B Active", "B Active", 0.0f, 1.0f, 1.0f, kParamOnOff},
    {"Sweep Control", "Sweep CC", 0.0f, 1.0f, 0.0f, kParamLinear},
};

struct ValueList {
    const char* const* names;
    int count;
    int wholeNameLen; // from this maxLen on the whole name is copied
};

const char* const ctrlA_Names[] = {"Manual", "Sweep Ctrl"};
const char* const waveNames[] = {"Sine", "Square"};
const char* const phasorA_SweepNames[] = {"Gen 1", "Sweep Ctrl"};
const char* const phasorB_InputNames[] = {"In A", "Out A", "In B"};
const char* const phasorB_SweepNames[] = {"Gen 1", "Gen 2", "Sweep Ctrl"};
const char* const phasorB_SyncNames[] = {"Normal", "Reverse"};

// Indexed by parameter; null for parameters without value names.
constexpr ValueList kNoList = {nullptr, 0, 0};
const ValueList kValueLists[kNumParams] = {
    kNoList,
    {ctrlA_Names, 2, 7},
    {waveNames, 2, 7},
    kNoList,
    {waveNames, 2, 7},
    kNoList,
    kNoList,
    {phasorA_SweepNames, 2, 6},
    {phasorB_InputNames, 3, 5},
    kNoList,
    kNoList,
    {phasorB_SweepNames, 3, 6},
    {phasorB_SyncNames, 2, 8},
    kNoList,
    kNoList,
    kNoList,
};

bool isNumeric(long index) {
    switch (index) {
    case kGen1Rate:
    case kGen2Rate:
    case kPhaserADepth:
    case kPhaserAFeedback:
    case kPhaserBDepth:
    case kPhaserBFeedback:
    case kSweepControl:
        return true;
    default:
        return false;
    }
}

// A natural value outside the list (host values beyond 0..1, NaN) lands on its nearest end.
int listPosition(float natural, int count) {
    const float position = std::trunc(natural);
    if (!(position > 0.0f)) return 0;
    return position < static_cast<float>(count - 1) ? static_cast<int>(position) : count - 1;
}

} // namespace

OrvellaParameterManager::OrvellaParameterManager() {
    for (long index = 0; index < kNumParams; ++index) {
        const Declaration& d = kDeclarations[index];
        newParameter(index, d.name, d.shortName, "", d.minimum, d.maximum, d.defaultValue, d.type);
    }
}

OrvellaParameterManager::~OrvellaParameterManager() = default;

void OrvellaParameterManager::getValueString(long index, char* text, int maxLen) {
    const float natural = getNaturalValue(index);
    if (isNumeric(index)) {
        // Not cut to maxLen: "10.0" must survive a short host field. Bounded all the same,
        // since natural values set directly are not clamped.
        const int capacity = maxLen + 1 > kValueTextMinBytes ? maxLen + 1 : kValueTextMinBytes;
        std::snprintf(text, static_cast<size_t>(capacity), maxLen < 4 ? "%2.0f" : "%2.1f", natural);
        return;
    }
    const ValueList* list = index >= 0 && index < kNumParams ? &kValueLists[index] : nullptr;
    if (!list || !list->names) {
        getValueStringFromNaturalValue(index, text, natural, maxLen);
        return;
    }
    const char* name = list->names[listPosition(natural, list->count)];
    if (maxLen >= list->wholeNameLen) {
        std::strcpy(text, name);
    } else if (maxLen >= 0) {
        std::strncpy(text, name, static_cast<size_t>(maxLen));
        text[maxLen] = 0;
    }
}

float OrvellaParameterManager::dspValueFromNaturalValue(long index, float natural) {
    switch (index) {
    case kGen1Rate:
    case kGen2Rate:
        return std::pow(natural - 1.0f, 3.0f) * 0.027f + 0.01f;
    case kGen1Shape:
    case kGen2Shape:
        return natural > 0.0f ? 71.0f : 72.0f;
    case kPhaserADepth:
    case kPhaserBDepth:
        return static_cast<float>(static_cast<double>(natural) * 0.0999);
    case kPhaserAFeedback:
    case kPhaserBFeedback:
        return static_cast<float>(static_cast<double>(natural) * 0.09);
    case kSweepControl:
        return std::pow(natural, 3.0f) * 19.99f + 0.01f;
    default:
        return tq_paramManager::dspValueFromNaturalValue(index, natural);
    }
}
