#include "audiounit/Buses.h"

#include <cstring>

namespace {

// The one width every bus has (0 for no bus), or -1 when they differ.
int uniformWidth(const std::vector<Bus>& buses) {
    if (buses.empty()) return 0;
    for (const Bus& bus : buses) {
        if (bus.width != buses.front().width) return -1;
    }
    return buses.front().width;
}

} // namespace

std::vector<Bus> measureBuses(int pinCount, const PinQuery& ask, bool measureEvery) {
    std::vector<Bus> buses;
    for (int pin = 0; pin < pinCount;) {
        VstPinProperties properties{};
        const bool answered = ask(pin, properties);
        int width;
        if (!buses.empty() && !measureEvery) {
            width = buses.front().width;
        } else if (answered) {
            width = properties.flags & kVstPinIsStereo ? 2 : 1;
        } else {
            width = pinCount % 2 == 0 ? 2 : 1;
        }
        // A stereo bus on the last pin would read and write a channel the effect lacks.
        if (width > pinCount - pin) width = pinCount - pin;
        const std::string name =
            answered
                ? std::string(properties.label, strnlen(properties.label, sizeof properties.label))
                : std::string();
        buses.push_back({pin, width, name});
        pin += width;
    }
    return buses;
}

std::vector<AUChannelInfo> channelConfigurations(const std::vector<Bus>& inputs,
                                                 const std::vector<Bus>& outputs,
                                                 bool canDoMonoIO) {
    const int in = uniformWidth(inputs);
    const int out = uniformWidth(outputs);
    if (in < 0 || out < 0) return {};
    std::vector<AUChannelInfo> pairs;
    if (canDoMonoIO) {
        if (in == 2) {
            if (out == 2) pairs.push_back({1, 1});
            pairs.push_back({1, SInt16(out)});
        }
        if (out == 2) pairs.push_back({SInt16(in), 1});
    }
    pairs.push_back({SInt16(in), SInt16(out)});
    return pairs;
}
