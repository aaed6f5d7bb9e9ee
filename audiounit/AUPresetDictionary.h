#pragma once

#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFString.h"
#include "audiounit/platform/Components.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The Audio Unit preset dictionary that wraps the effect's FXP or FXB data.

// A new dictionary: version 1, the component's type, subtype and manufacturer, the name,
// and the data as "vstdata". The caller releases it. [main thread]
CFMutableDictionaryRef createAUPresetDictionary(const ComponentDescription& component,
                                                const unsigned char* data, unsigned long size,
                                                CFStringRef name);

// What a preset dictionary asks to be applied.
struct AUPresetContents {
    std::int64_t version; // 0 when absent
    std::string name;
    std::optional<std::int64_t> programNumber;                   // version 1
    std::vector<unsigned char> vstdata;                          // version 1
    std::vector<std::pair<std::int32_t, float>> parameterValues; // version 0: id, value
};

// Reads a preset dictionary of this component, checking all of it before anything is
// applied: FormatException "Invalid AUPreset format" for a value that is no dictionary,
// "Data in dictionary is not of expected value" for another component's, DoruvezovException
// "Missing key in dictionary" / FormatException "Value in dictionary is not of expected
// type" for keys, EOFException "End of file error" for a short version 0 parameter block.
// [main thread]
AUPresetContents readAUPreset(CFTypeRef preset, const ComponentDescription& component);
