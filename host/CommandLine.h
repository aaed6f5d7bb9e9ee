// The tool's command line: subcommands and their options, checked for form. Names of
// parameters and programs are checked later, against the loaded plug-in.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

struct ParameterSetting {
    std::string parameter; // index or name
    std::string value;     // host value 0..1 or a display text
};

struct ControlChange {
    double seconds;
    int controller;
    int value;
};

// What the plug-in is set to before it works: a preset file, then a program, then
// parameters.
struct PluginSetup {
    std::filesystem::path plugin;
    std::optional<std::filesystem::path> preset;
    std::optional<std::string> program;
    std::vector<ParameterSetting> settings;
};

struct RenderCommand {
    std::filesystem::path input; // empty with --demo
    std::filesystem::path output;
    PluginSetup setup;
    std::filesystem::path spectrogram; // empty for none
    bool spectrogramImplied = false;   // the demo's own, not named by the user
    bool demo = false;
    std::vector<ControlChange> controlChanges; // in time order
    int blockSize = 512;
    double tailSeconds = 0;
    bool monoMode = false;
    bool floatOutput = false;
    std::optional<std::string> format;
    bool quiet = false;
    bool verbose = false;
};

struct InfoCommand {
    PluginSetup setup; // a preset and a program, shown with their values
    bool json = false;
};

struct GuiCommand {
    std::filesystem::path plugin;
};

// Writes the current program (.fxp) or the bank (.fxb) after the setup.
struct PresetSaveCommand {
    std::filesystem::path output;
    PluginSetup setup;
};

struct PresetShowCommand {
    std::filesystem::path file;
    std::optional<std::filesystem::path> plugin; // also say whether the file fits it
};

struct HelpCommand {};
struct VersionCommand {};

using Command = std::variant<RenderCommand, InfoCommand, GuiCommand, PresetSaveCommand,
                             PresetShowCommand, HelpCommand, VersionCommand>;

// [main thread] Throws HostError with a one-line reason for anything malformed.
Command parseCommandLine(const std::vector<std::string>& arguments,
                         const std::filesystem::path& defaultPlugin);
std::string usage();
