#pragma once

#include "audiounit/platform/AudioUnitTypes.h"

#include <functional>
#include <string>
#include <vector>

// The Audio Unit's factory presets, read from the bundle's "SYFactoryPresets.txt": each
// listed file is a preset dictionary whose "name" and "vstdata" are kept. Built on the main
// thread, then only read.
class FactoryPresetList {
public:
    static constexpr int kMaxPresets = 128;

    // The bytes of a listed file, by its name relative to the resources directory; throws
    // when it cannot be read.
    using FileLoader = std::function<std::vector<unsigned char>(const std::string& name)>;

    FactoryPresetList() = default;
    ~FactoryPresetList();
    FactoryPresetList(const FactoryPresetList&) = delete;
    FactoryPresetList& operator=(const FactoryPresetList&) = delete;

    // Parses the list and loads every listed preset, at most 128. Throws what the loader
    // throws, and DoruvezovException / FormatException for a file that is not a preset
    // dictionary. Allocates. [main thread]
    void read(const unsigned char* at, const unsigned char* end, const FileLoader& load);

    // [any thread]
    int count() const { return static_cast<int>(presets.size()); }
    // Number and name (not retained for the caller). [any thread]
    const AUPreset& preset(int index) const { return presets[std::size_t(index)]; }
    // The preset's FXP or FXB data. [any thread]
    const std::vector<unsigned char>& data(int index) const { return datas[std::size_t(index)]; }

private:
    std::vector<AUPreset> presets;
    std::vector<std::vector<unsigned char>> datas;
};
