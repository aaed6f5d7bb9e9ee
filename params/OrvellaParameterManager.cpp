#include "params/OrvellaParameterManager.h"

#include "dsp/gen_LFO.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// A value name, and the form a host's eight characters show when the name is longer.
struct ValueName {
    const char* whole;
    const char* shortened = nullptr;
};

// The names a switch or list parameter shows, and from which maxLen on a name is written
// whole (or shortened, where it is longer than maxLen).
struct ValueList {
    template <int N>
    constexpr ValueList(const ValueName (&names)[N], int wholeNameLen)
        : names(names), count(N), wholeNameLen(wholeNameLen) {}
    constexpr ValueList() = default;

    const ValueName* names = nullptr;
    int count = 0;
    int wholeNameLen = 0;
};

// The number the signal path uses for a natural value; null keeps the base class's rule.
using DspMapping = float (*)(float natural);

// Everything about one parameter. Short names are what hosts show: eight characters at most.
// Linear parameters print their natural value; the others show their value names.
struct Row {
    const char* name;
    const char* shortName;
    tq_paramTypes type;
    float minimum;
    float maximum;
    float defaultValue;
    ValueList values;
    DspMapping dsp;
};

constexpr ValueName kSweepCtrl = {"Sweep Ctrl", "Swp Ctrl"};
const ValueName ctrlA_Names[] = {{"Manual"}, kSweepCtrl};
const ValueName waveNames[] = {{"Sine"}, {"Square"}};
const ValueName phasorA_SweepNames[] = {{"Gen 1"}, kSweepCtrl};
const ValueName phasorB_InputNames[] = {{"In A"}, {"Out A"}, {"In B"}};
const ValueName phasorB_SweepNames[] = {{"Gen 1"}, {"Gen 2"}, kSweepCtrl};
const ValueName phasorB_SyncNames[] = {{"Normal"}, {"Reverse"}};

// Hertz, about 0.01 to 19.7 over 1 .. 10.
float generatorRate(float n) {
    return std::pow(n - 1.0f, 3.0f) * 0.027f + 0.01f;
}
// "Sine" is the folded ramp.
float waveform(float n) {
    return static_cast<float>(n > 0.0f ? GEN_LFO_SQUARE : GEN_LFO_FOLDED_RAMP);
}
// 0.0999 to 0.999 over 1 .. 10.
float depth(float n) {
    return static_cast<float>(static_cast<double>(n) * 0.0999);
}
// 0 to 0.9 over 0 .. 10.
float feedback(float n) {
    return static_cast<float>(static_cast<double>(n) * 0.09);
}
// Hertz, 0.01 to 20 over 0 .. 1, when the sweep control is Gen 1's rate.
float sweepRate(float n) {
    return std::pow(n, 3.0f) * 19.99f + 0.01f;
}

const Row kRows[kNumParams] = {
    {"Gn 1 Rate", "G1 Rate", kParamLinear, 1, 10, 1, {}, generatorRate},
    {"Gn 1 Rate Ctrl", "G1 RtCtl", kParamOnOff, 0, 1, 0, {ctrlA_Names, 7}, nullptr},
    {"Gn 1 Shape", "G1 Shape", kParamOnOff, 0, 1, 0, {waveNames, 7}, waveform},
    {"Gn 2 Rate", "G2 Rate", kParamLinear, 1, 10, 1, {}, generatorRate},
    {"Gn 2 Shape", "G2 Shape", kParamOnOff, 0, 1, 0, {waveNames, 7}, waveform},
    {"Ph A Depth", "A Depth", kParamLinear, 1, 10, 1, {}, depth},
    {"Ph A Feedback", "A Feedbk", kParamLinear, 0, 10, 0, {}, feedback},
    {"Ph A Swp Ctrl", "A SwpCtl", kParamOnOff, 0, 1, 0, {phasorA_SweepNames, 6}, nullptr},
    {"Ph B Input", "B Input", kParamInteger, 0, 2, 0, {phasorB_InputNames, 5}, nullptr},
    {"Ph B Depth", "B Depth", kParamLinear, 1, 10, 1, {}, depth},
    {"Ph B Feedback", "B Feedbk", kParamLinear, 0, 10, 0, {}, feedback},
    {"Ph B Swp Ctrl", "B SwpCtl", kParamInteger, 0, 2, 0, {phasorB_SweepNames, 6}, nullptr},
    {"Ph B Swp Sync", "B SwpSnc", kParamOnOff, 0, 1, 0, {phasorB_SyncNames, 8}, nullptr},
    {"Ph A Active", "A Active", kParamOnOff, 0, 1, 1, {}, nullptr},
    {"Ph B Active", "B Active", kParamOnOff, 0, 1, 1, {}, nullptr},
    {"Sweep Control", "Sweep CC", kParamLinear, 0, 1, 0, {}, sweepRate},
};

// A natural value outside the list (host values beyond 0..1, NaN) lands on its nearest end.
int listPosition(float natural, int count) {
    const float position = std::trunc(natural);
    if (!(position > 0.0f)) return 0;
    return position < static_cast<float>(count - 1) ? static_cast<int>(position) : count - 1;
}

bool fits(const char* name, int maxLen) {
    return std::strlen(name) <= static_cast<std::size_t>(maxLen);
}

const Row* rowOf(long index) {
    return index >= 0 && index < kNumParams ? &kRows[index] : nullptr;
}

} // namespace

OrvellaParameterManager::OrvellaParameterManager() {
    for (long index = 0; index < kNumParams; ++index) {
        const Row& r = kRows[index];
        newParameter(index, r.name, r.shortName, "", r.minimum, r.maximum, r.defaultValue, r.type);
    }
}

OrvellaParameterManager::~OrvellaParameterManager() = default;

void OrvellaParameterManager::getValueString(long index, char* text, int maxLen) {
    const float natural = getNaturalValue(index);
    const Row* row = rowOf(index);
    if (row && row->type == kParamLinear) {
        // Never cut below "10.0", which must survive a short host field; otherwise within
        // maxLen characters, whatever natural value was set directly.
        const int capacity = maxLen + 1 > kNumberTextBytes ? maxLen + 1 : kNumberTextBytes;
        std::snprintf(text, static_cast<size_t>(capacity), maxLen < 4 ? "%2.0f" : "%2.1f", natural);
        return;
    }
    const ValueList* list = row ? &row->values : nullptr;
    if (!list || !list->names) {
        getValueStringFromNaturalValue(index, text, natural, maxLen);
        return;
    }
    const ValueName& value = list->names[listPosition(natural, list->count)];
    const char* name = value.whole;
    if (maxLen >= list->wholeNameLen && fits(name, maxLen)) {
        std::strcpy(text, name);
    } else if (maxLen >= list->wholeNameLen && value.shortened && fits(value.shortened, maxLen)) {
        std::strcpy(text, value.shortened);
    } else if (maxLen >= 0) {
        std::strncpy(text, name, static_cast<size_t>(maxLen));
        text[maxLen] = 0;
    }
}

float OrvellaParameterManager::dspValueFromNaturalValue(long index, float natural) {
    const Row* row = rowOf(index);
    if (row && row->dsp) return row->dsp(natural);
    return tq_paramManager::dspValueFromNaturalValue(index, natural);
}
