#pragma once

#include "audiounit/platform/AudioUnitTypes.h"
#include "plugin/VstInterface.h"

#include <functional>
#include <string>
#include <vector>

// The Audio Unit's buses over the hosted effect's pins, and the channel configurations
// they allow.
struct Bus {
    int firstChannel; // the effect's first pin of the bus
    int width;        // 1 or 2
    std::string name; // the first pin's label; empty when it has none
};

// The effect's properties of one pin; false when it does not answer.
using PinQuery = std::function<bool(int pin, VstPinProperties& properties)>;

// Buses over pinCount pins, each one or two pins wide as the effect describes its first
// pin (by the pin count's parity when it does not answer). With measureEvery false only
// the first bus is measured and the others take its width. A bus never reaches beyond the
// last pin. [main thread]
std::vector<Bus> measureBuses(int pinCount, const PinQuery& ask, bool measureEvery);

// The (input, output) channel pairs the buses allow: none unless all inputs share one width
// and all outputs another (an effect without inputs has width 0); with canDoMonoIO the mono
// variants of stereo buses come first. [any thread]
std::vector<AUChannelInfo> channelConfigurations(const std::vector<Bus>& inputs,
                                                 const std::vector<Bus>& outputs, bool canDoMonoIO);
