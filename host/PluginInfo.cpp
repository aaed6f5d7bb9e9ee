#include "host/PluginInfo.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iomanip>
#include <string>
#include <vector>

namespace {

struct Parameter {
    std::string name, longName, display, label, shows;
    float value;
};

struct Facts {
    std::string name, vendor, product, file, uniqueId, category;
    VstIntPtr version, vstVersion;
    VstInt32 inputs, outputs, latency, currentProgram;
    bool editor, chunks, midiInput;
    std::vector<std::string> programs;
    std::vector<Parameter> parameters;
};

std::string fourCharacters(VstInt32 id) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>((id >> shift) & 0xff);
        if (!std::isprint(c)) return std::to_string(id);
        text += static_cast<char>(c);
    }
    return text;
}

Facts gather(PluginHost& host) {
    const AEffect& e = host.effect();
    Facts f;
    f.name = host.effectName();
    if (f.name.empty()) f.name = host.modulePath().stem().string();
    f.vendor = host.vendor();
    f.product = host.product();
    // Which of several installed copies answered.
    f.file = host.modulePath().string();
    f.version = host.dispatch(effGetVendorVersion);
    f.vstVersion = host.dispatch(effGetVstVersion);
    f.uniqueId = fourCharacters(e.uniqueID);
    const VstIntPtr category = host.dispatch(effGetPlugCategory);
    f.category = category == kPlugCategEffect    ? "effect"
                 : category == kPlugCategSynth   ? "instrument"
                 : category == kPlugCategUnknown ? "unknown"
                                                 : "category " + std::to_string(category);
    f.inputs = e.numInputs;
    f.outputs = e.numOutputs;
    f.latency = e.initialDelay;
    f.editor = e.flags & effFlagsHasEditor;
    f.chunks = e.flags & effFlagsProgramChunks;
    f.midiInput = host.canDo("receiveVstMidiEvent");
    f.currentProgram = static_cast<VstInt32>(host.dispatch(effGetProgram));
    for (VstInt32 i = 0; i < e.numPrograms; ++i) f.programs.push_back(host.programName(i));
    for (VstInt32 i = 0; i < e.numParams; ++i)
        f.parameters.push_back({host.parameterName(i), host.parameterLongName(i),
                                host.parameterDisplay(i), host.parameterLabel(i),
                                host.shownValues(i), host.plugIn().getParameter(i)});
    return f;
}

// The version as its vendor means it: packed in bytes (0x030208 is 3.2.8) or in decimal
// digits (1100 is 1.1.0).
std::string versionText(VstIntPtr version) {
    char text[64];
    if (version >= 0x10000)
        std::snprintf(text, sizeof text, "%ld.%ld.%ld", long(version >> 16),
                      long((version >> 8) & 0xff), long(version & 0xff));
    else if (version >= 1000)
        std::snprintf(text, sizeof text, "%ld.%ld.%ld", long(version / 1000),
                      long(version / 100 % 10), long(version / 10 % 10));
    else
        return std::to_string(version);
    return text + (" (" + std::to_string(version) + ")");
}
} // namespace

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

namespace {

void printJson(const Facts& f, std::ostream& out) {
    const char* yes[] = {"false", "true"};
    out << "{\n  \"name\": " << quoted(f.name) << ",\n  \"vendor\": " << quoted(f.vendor)
        << ",\n  \"product\": " << quoted(f.product) << ",\n  \"file\": " << quoted(f.file)
        << ",\n  \"version\": " << f.version
        << ",\n  \"versionText\": " << quoted(versionText(f.version))
        << ",\n  \"vstVersion\": " << f.vstVersion << ",\n  \"uniqueId\": " << quoted(f.uniqueId)
        << ",\n  \"category\": " << quoted(f.category) << ",\n  \"inputs\": " << f.inputs
        << ",\n  \"outputs\": " << f.outputs << ",\n  \"latency\": " << f.latency
        << ",\n  \"hasEditor\": " << yes[f.editor] << ",\n  \"programChunks\": " << yes[f.chunks]
        << ",\n  \"midiInput\": " << yes[f.midiInput]
        << ",\n  \"currentProgram\": " << f.currentProgram << ",\n  \"programs\": [";
    for (std::size_t i = 0; i < f.programs.size(); ++i)
        out << (i ? "," : "") << "\n    {\"index\": " << i
            << ", \"name\": " << quoted(f.programs[i]) << "}";
    out << "\n  ],\n  \"parameters\": [";
    for (std::size_t i = 0; i < f.parameters.size(); ++i) {
        const Parameter& p = f.parameters[i];
        out << (i ? "," : "") << "\n    {\"index\": " << i << ", \"name\": " << quoted(p.name)
            << ", \"value\": " << p.value << ", \"display\": " << quoted(p.display)
            << ", \"label\": " << quoted(p.label) << ", \"shows\": " << quoted(p.shows)
            << ", \"longName\": " << quoted(p.longName) << "}";
    }
    out << "\n  ]\n}\n";
}

void printText(const Facts& f, std::ostream& out) {
    auto row = [&out](const char* key, const std::string& value) {
        out << "  " << std::left << std::setw(12) << key << value << "\n";
    };
    std::string features;
    for (auto [has, name] : {std::pair{f.editor, "editor"}, std::pair{f.chunks, "program chunks"},
                             std::pair{f.midiInput, "MIDI input"}})
        if (has) features += (features.empty() ? "" : ", ") + std::string(name);
    out << f.name << "\n";
    row("vendor", f.vendor);
    row("product", f.product);
    row("file", f.file);
    row("version", versionText(f.version));
    row("VST", std::to_string(f.vstVersion));
    row("unique id", f.uniqueId);
    row("category", f.category);
    row("audio", std::to_string(f.inputs) + " in, " + std::to_string(f.outputs) + " out, latency " +
                     std::to_string(f.latency) + " samples");
    row("features", features.empty() ? "none" : features);
    out << "Programs (" << f.programs.size() << "), current " << f.currentProgram << ":\n";
    for (std::size_t i = 0; i < f.programs.size(); ++i)
        out << "  " << std::right << std::setw(3) << i << "  " << f.programs[i] << "\n";
    out << "Parameters (" << f.parameters.size() << "):\n";
    // Each column as wide as its widest entry; long names only where the plug-in gives them.
    const auto widest = [&f](auto text) {
        std::size_t width = 0;
        for (const Parameter& p : f.parameters) width = std::max(width, text(p).size());
        return static_cast<int>(width);
    };
    const auto value = [](const Parameter& p) {
        return p.display + (p.label.empty() ? "" : " " + p.label);
    };
    const int names = widest([](const Parameter& p) { return p.name; });
    const int longNames = widest([](const Parameter& p) { return p.longName; });
    const int values = widest(value);
    for (std::size_t i = 0; i < f.parameters.size(); ++i) {
        const Parameter& p = f.parameters[i];
        out << "  " << std::right << std::setw(3) << i << "  " << std::left << std::setw(names)
            << p.name << "  ";
        if (longNames) out << std::setw(longNames) << p.longName << "  ";
        char host[16];
        std::snprintf(host, sizeof host, "(%.3f)", static_cast<double>(p.value));
        out << std::setw(values) << value(p) << "  " << host << "  " << p.shows << "\n";
    }
}

} // namespace

void printPluginInfo(PluginHost& host, bool json, std::ostream& out) {
    const Facts facts = gather(host);
    if (json)
        printJson(facts, out);
    else
        printText(facts, out);
}
