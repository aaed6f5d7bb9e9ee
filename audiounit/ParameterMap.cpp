#include "audiounit/ParameterMap.h"

#include "audiounit/ReadLine.h"
#include "vstbridge/DoruvezovException.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kLineBytes = 2048;

struct Fields {
    char number[33];
    char name[256];
    float minimum;
    float maximum;
    char kind[1024];
    char unit[256];
    float defaultValue;
};

// A parameter number in decimal, optionally followed by "+" (global meta); -1 otherwise.
long parseNumber(const char* text, bool& globalMeta) {
    char* rest = nullptr;
    const long number = std::strtol(text, &rest, 10);
    if (rest == text || *text == '-' || *text == '+') return -1;
    globalMeta = *rest == '+';
    if (globalMeta) ++rest;
    return *rest == 0 ? number : -1;
}

// The names of a list kind, separated by "|".
CFArrayRef createValueStrings(const char* kind) {
    auto* list = new CFArray;
    for (const char* at = kind;;) {
        const char* bar = std::strchr(at, '|');
        const std::string name = bar ? std::string(at, bar) : std::string(at);
        CFStringRef string = CFStringCreateWithCString(name.c_str());
        list->append(string);
        CFRelease(string);
        if (!bar) break;
        at = bar + 1;
    }
    return list;
}

} // namespace

ParameterMap::ParameterMap(int parameterCount)
    : infos(parameterCount > 0 ? static_cast<std::size_t>(parameterCount) : 0),
      strings(infos.size(), nullptr) {}

ParameterMap::~ParameterMap() {
    for (const AudioUnitParameterInfo& info : infos) {
        CFRelease(info.unitName);
        CFRelease(info.cfNameString);
    }
    for (CFArrayRef list : strings) CFRelease(list);
}

void ParameterMap::read(const unsigned char* at, const unsigned char* end) {
    char line[kLineBytes];
    if (at < end) at = readLine(at, end, line, kLineBytes);
    while (at < end) {
        at = readLine(at, end, line, kLineBytes);
        readEntry(line);
    }
}

void ParameterMap::readEntry(const char* line) {
    while (*line == ' ') ++line;
    if (*line == 0 || *line == ';') return;
    Fields f{};
    const int read = std::sscanf(
        line, "%32s%*[\t]%255[^\t]%*[\t]%f%*[\t]%f%*[\t]%1023[^\t]%*[\t]%255[^\t]%*[\t]%f",
        f.number, f.name, &f.minimum, &f.maximum, f.kind, f.unit, &f.defaultValue);
    if (read != 7) return;
    bool globalMeta = false;
    const long number = parseNumber(f.number, globalMeta);
    const char* kind = f.kind;
    while (*kind == ' ') ++kind;
    if (number < 0 || number >= parameterCount()) return;
    if (!(f.minimum < f.maximum) || !(f.minimum <= f.defaultValue) ||
        !(f.defaultValue <= f.maximum) || *kind == 0) {
        return;
    }
    AudioUnitParameterInfo& info = infos[static_cast<std::size_t>(number)];
    if (info.flags != 0) return; // an earlier line for the same number wins
    if (ids.size() >= kMaxMappedParameters) throw DoruvezovException("Too many mapped parameters");

    std::memcpy(info.name, f.name, strnlen(f.name, sizeof info.name - 1)); // zero-filled
    info.cfNameString = CFStringCreateWithCString(f.name);
    info.minValue = f.minimum;
    info.maxValue = f.maximum;
    info.defaultValue = f.defaultValue;
    info.flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_IsWritable |
                 kAudioUnitParameterFlag_HasCFNameString;
    if (globalMeta) info.flags |= kAudioUnitParameterFlag_IsGlobalMeta;
    if (std::strcmp(kind, "=") == 0) {
        info.unit = kAudioUnitParameterUnit_Generic;
    } else if (std::strcmp(kind, "?") == 0) {
        info.unit = kAudioUnitParameterUnit_Generic;
        info.flags |= kAudioUnitParameterFlag_ValuesHaveStrings;
    } else if (std::strcmp(kind, "b") == 0) {
        info.unit = kAudioUnitParameterUnit_Boolean;
    } else if (std::strcmp(kind, "i") == 0) {
        info.unit = kAudioUnitParameterUnit_Indexed;
        info.flags |= kAudioUnitParameterFlag_ValuesHaveStrings;
    } else {
        info.unit = kAudioUnitParameterUnit_Indexed;
        strings[static_cast<std::size_t>(number)] = createValueStrings(kind);
    }
    if (std::strcmp(f.unit, "-") != 0) {
        info.unit = kAudioUnitParameterUnit_CustomUnit;
        info.unitName = CFStringCreateWithCString(f.unit);
    }
    ids.push_back(static_cast<UInt32>(number));
}

const AudioUnitParameterInfo* ParameterMap::info(int parameter) const {
    return parameter >= 0 && parameter < parameterCount() ? &infos[std::size_t(parameter)]
                                                          : nullptr;
}

CFArrayRef ParameterMap::valueStrings(int parameter) const {
    return parameter >= 0 && parameter < parameterCount() ? strings[std::size_t(parameter)]
                                                          : nullptr;
}
