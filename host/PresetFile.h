// FXP programs and FXB banks as files, for any VST 2.4 plug-in: loaded and saved through
// the bridge, and described on their own. Preset files come from strangers: every size
// and count in one is checked against the file before use.
#pragma once

#include "host/PluginHost.h"

#include <filesystem>
#include <ostream>
#include <vector>

using PresetData = std::vector<unsigned char>;

// [main thread] The file's bytes, a whole FXP or FXB record; throws HostError naming the
// file when it cannot be read or is not one (a folder, cut short, another kind of file).
PresetData readPresetFile(const std::filesystem::path& path);
// [main thread] Whether the name ends in .fxb (a bank) rather than .fxp (a program);
// throws HostError for any other name.
bool isBankFile(const std::filesystem::path& path);
struct PresetLoad {
    bool complete; // false: other counts, or values out of range
    bool bank;
};
// [main thread] Applies the file to the plug-in. Throws HostError naming the file, and the
// plug-in it was made for when that is another.
PresetLoad loadPreset(PluginHost& host, const std::filesystem::path& path);
// [main thread] The current program, or the whole bank, in the chunk form when the plug-in
// declares program chunks, else the parameter form. Throws HostError.
PresetData presetOf(PluginHost& host, bool bank);
// [main thread] Prints the record's kind, unique id, versions, counts, names and the values
// of the parameter form. Throws HostError for data that is not a whole FXP or FXB record.
void describePreset(const PresetData& data, std::ostream& out);
// [main thread] Says whether the data loads into the plug-in, and when it does, the display
// value of every parameter it sets: of the program, or of each program of a bank.
void describeFit(PluginHost& host, const PresetData& data, std::ostream& out);
