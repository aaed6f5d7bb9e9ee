#include "audiounit/AUPresetDictionary.h"

#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "vstbridge/DoruvezovException.h"
#include "vstbridge/FxRecord.h"

namespace {

// Version 0 data: blocks of scope, element and count, then count pairs of parameter id and
// value, all big-endian.
void readParameterBlocks(const std::vector<unsigned char>& data,
                         std::vector<std::pair<std::int32_t, float>>& values) {
    const unsigned char* at = data.data();
    const unsigned char* end = at + data.size();
    while (at < end) {
        if (end - at < 12) throw EOFException("End of file error");
        const auto count = static_cast<std::uint32_t>(fxRead(at + 8));
        at += 12;
        if (count > static_cast<std::size_t>(end - at) / 8) throw EOFException("End of file error");
        for (std::uint32_t i = 0; i < count; ++i, at += 8) {
            values.emplace_back(fxRead(at), fxReadFloat(at + 4));
        }
    }
}

} // namespace

CFMutableDictionaryRef createAUPresetDictionary(const ComponentDescription& component,
                                                const unsigned char* data, unsigned long size,
                                                CFStringRef name) {
    CFHolder<CFDictionary> preset(new CFDictionary);
    auto* dictionary = const_cast<CFDictionary*>(preset.get());
    const std::pair<const char*, std::int64_t> numbers[] = {
        {"version", 1},
        {"type", component.componentType},
        {"subtype", component.componentSubType},
        {"manufacturer", component.componentManufacturer}};
    for (const auto& [key, value] : numbers) {
        CFHolder<CFNumber> number(CFNumberCreate(value));
        dictionary->set(key, number.get());
    }
    dictionary->set("name", name);
    CFHolder<CFData> vstdata(CFDataCreate(data, size));
    dictionary->set("vstdata", vstdata.get());
    preset.release();
    return dictionary;
}

AUPresetContents readAUPreset(CFTypeRef value, const ComponentDescription& component) {
    CFDictionaryRef preset = CFDictionaryCast(value);
    if (!preset) throw FormatException("Invalid AUPreset format");
    const std::pair<const char*, OSType> own[] = {
        {"type", component.componentType},
        {"subtype", component.componentSubType},
        {"manufacturer", component.componentManufacturer}};
    for (const auto& [key, code] : own) {
        if (requireNumber(preset, key) != code) {
            throw FormatException("Data in dictionary is not of expected value");
        }
    }
    AUPresetContents contents{};
    contents.version = preset->get("version") ? requireNumber(preset, "version") : 0;
    contents.name = requireString(preset, "name")->text;
    if (contents.version == 0) {
        readParameterBlocks(requireData(preset, "data")->bytes, contents.parameterValues);
    } else if (contents.version == 1) {
        if (preset->get("ProgramNumber")) {
            contents.programNumber = requireNumber(preset, "ProgramNumber");
        }
        contents.vstdata = requireData(preset, "vstdata")->bytes;
    }
    return contents;
}
