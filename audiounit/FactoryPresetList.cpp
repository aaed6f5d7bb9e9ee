#include "audiounit/FactoryPresetList.h"

#include "audiounit/PropertyListReading.h"
#include "audiounit/ReadLine.h"
#include "vstbridge/DoruvezovException.h"

namespace {

constexpr int kLineBytes = 2048;

} // namespace

FactoryPresetList::~FactoryPresetList() {
    for (const AUPreset& p : presets) CFRelease(p.presetName);
}

void FactoryPresetList::read(const unsigned char* at, const unsigned char* end,
                             const FileLoader& load) {
    char line[kLineBytes];
    while (at < end && count() < kMaxPresets) {
        at = readLine(at, end, line, kLineBytes);
        const char* name = line;
        while (*name == ' ') ++name;
        if (*name == 0 || *name == ';') continue;

        const std::vector<unsigned char> bytes = load(name);
        const CFHolder<CFObject> list = createPropertyListFromXML(bytes.data(), bytes.size());
        CFDictionaryRef dictionary = CFDictionaryCast(list.get());
        if (!dictionary) throw FormatException("Invalid AUPreset format");
        CFDataRef data = requireData(dictionary, "vstdata");
        CFStringRef presetName = requireString(dictionary, "name");

        datas.push_back(data->bytes);
        presets.push_back({count(), presetName});
        CFRetain(presetName);
    }
}
