// Writes the LV2 bundle's description from the effect itself: manifest.ttl, Orvella.ttl with
// every port in the parameter's own units, and presets.ttl with the factory programs.
//   make_lv2_bundle BUNDLE_FOLDER [ui]     ui: the bundle holds the editor too
#include "effect/Orvella.h"
#include "lv2/OrvellaPorts.h"
#include "params/OrvellaParameterManager.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace OrvellaPorts;

constexpr const char* kPrefixes = R"(@prefix atom: <http://lv2plug.in/ns/ext/atom#> .
@prefix doap: <http://usefulinc.com/ns/doap#> .
@prefix foaf: <http://xmlns.com/foaf/0.1/> .
@prefix lv2: <http://lv2plug.in/ns/lv2core#> .
@prefix midi: <http://lv2plug.in/ns/ext/midi#> .
@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .
@prefix pset: <http://lv2plug.in/ns/ext/presets#> .
@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .
@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .
@prefix state: <http://lv2plug.in/ns/ext/state#> .
@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .
@prefix urid: <http://lv2plug.in/ns/ext/urid#> .

)";

std::string quoted(const std::string& text) {
    std::string q = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') q += '\\';
        q += c;
    }
    return q + '"';
}

// Enough digits that the float read back is the one written.
std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string range(int p) {
    return " ;\n        lv2:minimum " + number(minimum(p)) + " ;\n        lv2:maximum " +
           number(maximum(p));
}

std::string presetUri(int program) {
    return std::string("<") + kPluginUri + "#preset" + std::to_string(program + 1) + ">";
}

// The names a list parameter shows for its whole values; empty for numbers and switches
// that show only on and off.
std::vector<std::string> valueNames(OrvellaParameterManager& rows, int p) {
    const tq_paramTypes type = rows.getType(p);
    if (type != kParamOnOff && type != kParamInteger) return {};
    std::vector<std::string> names;
    bool named = false;
    for (float v = rows.getMinimumValue(p); v <= rows.getMaximumValue(p); v += 1.0f) {
        char shown[64] = {}, plain[64] = {};
        rows.setNaturalValue(p, v);
        rows.getValueString(p, shown, 32);
        rows.getValueStringFromNaturalValue(p, plain, v, 32);
        named = named || std::string(shown) != plain;
        names.push_back(shown);
    }
    return named ? names : std::vector<std::string>{};
}

void writeAudioPorts(std::ostream& out) {
    struct AudioPort {
        Port index;
        const char *direction, *symbol, *name;
        bool optional;
    };
    constexpr AudioPort ports[] = {{kInputLeft, "Input", "in_l", "In L", false},
                                   {kInputRight, "Input", "in_r", "In R", true},
                                   {kOutputLeft, "Output", "out_l", "Out L", false},
                                   {kOutputRight, "Output", "out_r", "Out R", true}};
    for (const AudioPort& port : ports) {
        out << (port.index == kInputLeft ? " [" : " , [") << "\n        a lv2:" << port.direction
            << "Port , lv2:AudioPort ;\n        lv2:index " << port.index
            << " ;\n        lv2:symbol " << quoted(port.symbol) << " ;\n        lv2:name "
            << quoted(port.name);
        if (port.optional) out << " ;\n        lv2:portProperty lv2:connectionOptional";
        out << "\n    ]";
    }
}

void writeControlPorts(std::ostream& out) {
    OrvellaParameterManager rows;
    for (int p = 0; p < kNumParams; ++p) {
        char shortName[16] = {};
        rows.getName(p, shortName, 8);
        out << " , [\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index "
            << controlInput(p) << " ;\n        lv2:symbol " << quoted(symbol(p))
            << " ;\n        lv2:name " << quoted(rows.getName(p)) << " ;\n        lv2:shortName "
            << quoted(shortName) << " ;\n        lv2:default " << number(defaultValue(p))
            << range(p);
        const std::vector<std::string> names = valueNames(rows, p);
        const tq_paramTypes type = rows.getType(p);
        if (!names.empty()) {
            out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration";
            for (std::size_t v = 0; v < names.size(); ++v)
                out << " ;\n        lv2:scalePoint [ rdfs:label " << quoted(names[v])
                    << " ; rdf:value " << number(minimum(p) + static_cast<float>(v)) << " ]";
        } else if (type == kParamOnOff) {
            out << " ;\n        lv2:portProperty lv2:toggled";
        } else if (type == kParamInteger) {
            out << " ;\n        lv2:portProperty lv2:integer";
        } else if (type == kParamLog) {
            out << " ;\n        lv2:portProperty pprops:logarithmic";
        }
        out << "\n    ]";
    }
    // What the effect holds now, after a learned controller moved it, for hosts and the editor.
    for (int p = 0; p < kNumParams; ++p)
        out << " , [\n        a lv2:OutputPort , lv2:ControlPort ;\n        lv2:index "
            << controlOutput(p) << " ;\n        lv2:symbol " << quoted(symbol(p) + "_out")
            << " ;\n        lv2:name " << quoted(rows.getName(p) + " now") << range(p) << "\n    ]";
}

void writeDescription(std::ostream& out, bool withUi) {
    out << kPrefixes << "<" << kPluginUri << ">\n"
        << R"(    a lv2:Plugin , lv2:PhaserPlugin , doap:Project ;
    doap:name "Orvella" ;
    doap:license <https://spdx.org/licenses/GPL-3.0-or-later> ;
    doap:maintainer [
        a foaf:Organization ;
        foaf:name "Calderis"
    ] ;
    lv2:optionalFeature urid:map , lv2:hardRTCapable , state:threadSafeRestore ;
    lv2:extensionData state:interface ;
)";
    if (withUi) out << "    ui:ui <" << kUiUri << "> ;\n";
    // A mono host connects only the left pair: the effect then runs its mono path.
    out << "    lv2:port";
    writeAudioPorts(out);
    out << R"( , [
        a lv2:InputPort , atom:AtomPort ;
        atom:bufferType atom:Sequence ;
        atom:supports midi:MidiEvent , atom:Object ;
        lv2:designation lv2:control ;
        lv2:index 4 ;
        lv2:symbol "control" ;
        lv2:name "Control" ;
        lv2:portProperty lv2:connectionOptional
    ])";
    writeControlPorts(out);
    out << " .\n";
}

void writePresets(std::ostream& out, Orvella& effect) {
    out << kPrefixes;
    for (int n = 0; n < kNumPrograms; ++n) {
        char name[kVstMaxProgNameLen + 1] = {};
        effect.getProgramNameIndexed(0, n, name);
        out << presetUri(n) << "\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
            << "> ;\n    rdfs:label " << quoted(name) << " ;\n    lv2:port";
        for (int p = 0; p < kNumParams; ++p)
            out << (p ? " , [" : " [") << "\n        lv2:symbol " << quoted(symbol(p))
                << " ;\n        pset:value " << number(portValue(p, effect.program(n).values[p]))
                << "\n    ]";
        out << " .\n\n";
    }
}

void writeManifest(std::ostream& out, bool withUi) {
    out << kPrefixes << "<" << kPluginUri
        << ">\n    a lv2:Plugin ;\n    lv2:binary <Orvella.so> ;\n    rdfs:seeAlso <Orvella.ttl> "
           ".\n";
    if (withUi)
        out << "\n<" << kUiUri << ">\n    a ui:X11UI ;\n    ui:binary <Orvella_ui.so> ;\n"
            << "    rdfs:seeAlso <Orvella_ui.ttl> .\n";
    for (int n = 0; n < kNumPrograms; ++n)
        out << "\n"
            << presetUri(n) << "\n    a pset:Preset ;\n    lv2:appliesTo <" << kPluginUri
            << "> ;\n    rdfs:seeAlso <presets.ttl> .\n";
}

VstIntPtr answer(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "ui")) {
        std::cerr << "usage: make_lv2_bundle BUNDLE_FOLDER [ui]\n";
        return 2;
    }
    const std::string folder = argv[1];
    const bool withUi = argc == 3;
    Orvella effect(answer);
    std::ofstream description(folder + "/Orvella.ttl"), presets(folder + "/presets.ttl"),
        manifest(folder + "/manifest.ttl");
    writeDescription(description, withUi);
    writePresets(presets, effect);
    writeManifest(manifest, withUi);
    description.close();
    presets.close();
    manifest.close();
    if (!description || !presets || !manifest) {
        std::cerr << "make_lv2_bundle: cannot write into " << folder << "\n";
        return 1;
    }
    return 0;
}
