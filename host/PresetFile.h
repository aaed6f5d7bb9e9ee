// FXP programs and FXB banks as files, for any VST 2.4 plug-in: loaded and saved through
// the bridge, and described on their own. Preset files come from strangers: every size
// and count in one is checked against the file before use.
#pragma once

#include "host/PluginHost.h"

#include <filesystem>
#include <ostream>
#include <vector>

using PresetData = std::vector<unsigned char>;

// [main thread] The file's bytes; throws HostError when it cannot be read.
PresetData readPresetFile(const std::filesystem::path& path);
// [main thread] Whether the name ends in .fxb (a bank) rather than .fxp (a program);
// throws HostError for any other name.
bool isBankFile(const std::filesystem::path& path);
// [main thread] Applies the file to the plug-in; answers false when it did not fit
// completely (other counts, values out of range). Throws HostError naming the file.
bool loadPreset(PluginHost& host, const std::filesystem::path& path);
// [main thread] The current program, or the whole bank, in the chunk form when the plug-in
// declares program chunks, else the parameter form. Throws HostError.
PresetData presetOf(PluginHost& host, bool bank);
// [main thread] Prints the record's kind, unique id, versions, counts, names and the values
// of the parameter form. Throws HostError for data that is not a whole FXP or FXB record.
void describePreset(const PresetData& data, std::ostream& out);
// [main thread] Says whether the data loads into the plug-in (it is applied to it).
void describeFit(PluginHost& host, const PresetData& data, std::ostream& out);
