// Writes what the Audio Unit side of the bundle reads, from the effect itself, so the
// shipped files never drift from it:
//   <resources>/SYParameters.txt     every parameter in its natural scale
//   <resources>/SYFactoryPresets.txt one preset file per factory program
//   <identity>                       the effect's identity, as CMake definitions for the
//                                    bundle's information dictionary
#include "effect/FactoryPresets.h"
#include "effect/Orvella.h"
#include "params/OrvellaParameterManager.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace {

constexpr int kTextBytes = 64;

VstIntPtr answerVersionOnly(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The set's own value texts over the whole range, "|"-separated; empty when they are the
// registry's generic ones (plain numbers, "On"/"Off").
std::string valueList(OrvellaParameterManager& set, long index) {
    const float minimum = set.getMinimumValue(index);
    const float maximum = set.getMaximumValue(index);
    std::string list;
    bool own = false;
    for (float natural = minimum; natural <= maximum; natural += 1.0f) {
        char text[kTextBytes] = {};
        char generic[kTextBytes] = {};
        set.setNaturalValue(index, natural);
        set.getValueString(index, text, kTextBytes - 1);
        set.getValueStringFromNaturalValue(index, generic, natural, kTextBytes);
        own = own || std::strcmp(text, generic) != 0;
        list += (natural > minimum ? "|" : "") + std::string(text);
    }
    set.setNaturalValue(index, set.getDefaultValue(index));
    return own ? list : std::string();
}

// The set's names are cut for a host's eight-character field; the Audio Unit side shows
// whole words.
std::string readableName(const std::string& name) {
    static const std::pair<const char*, const char*> kWords[] = {
        {"Gn", "Gen"}, {"Ph", "Phaser"}, {"Swp", "Sweep"}, {"Ctrl", "Control"}};
    std::istringstream words(name);
    std::string result;
    for (std::string word; words >> word;) {
        for (const auto& [cut, whole] : kWords) {
            if (word == cut) word = whole;
        }
        result += (result.empty() ? "" : " ") + word;
    }
    return result;
}

std::string kindOf(OrvellaParameterManager& set, long index) {
    if (set.getType(index) == kParamLinear) return "=";
    const std::string list = valueList(set, index);
    if (!list.empty()) return list;
    return set.getType(index) == kParamOnOff ? "b" : "i";
}

bool writeParameters(const std::string& path) {
    OrvellaParameterManager set;
    std::ofstream out(path, std::ios::binary);
    out << "Number\tName\tMinimum\tMaximum\tKind\tUnit\tDefault\n";
    for (long index = 0; index < set.getParameterCount(); ++index) {
        char units[kTextBytes] = {};
        set.getUnitsName(index, units, kTextBytes - 1);
        out << index << '\t' << readableName(set.getName(index)) << '\t'
            << set.getMinimumValue(index) << '\t' << set.getMaximumValue(index) << '\t'
            << kindOf(set, index) << '\t' << (*units ? units : "-") << '\t'
            << set.getDefaultValue(index) << '\n';
    }
    return bool(out);
}

bool writePresetList(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "; The factory presets, one preset file of the resources folder per line\n";
    for (const FactoryPreset& preset : kPresetData) out << preset.name << ".aupreset\n";
    return bool(out);
}

bool writeIdentity(const std::string& path) {
    Orvella effect(answerVersionOnly);
    const VstInt32 id = effect.getAeffect()->uniqueID;
    char code[5] = {char(id >> 24), char(id >> 16), char(id >> 8), char(id), 0};
    for (char c : std::string(code, 4)) {
        if (c < '!' || c > '~' || c == '"' || c == '\\' || c == '<' || c == '&') return false;
    }
    char product[kVstMaxProductStrLen + 1] = {};
    effect.getProductString(product);
    std::ofstream out(path, std::ios::binary);
    out << "set(ORVELLA_AU_SUBTYPE \"" << code << "\")\n"
        << "set(ORVELLA_AU_PRODUCT \"" << product << "\")\n";
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <resources folder> <identity file>\n", argv[0]);
        return 2;
    }
    const std::string resources = argv[1];
    if (!writeParameters(resources + "/SYParameters.txt") ||
        !writePresetList(resources + "/SYFactoryPresets.txt") || !writeIdentity(argv[2])) {
        std::fprintf(stderr, "%s: could not write the Audio Unit resources\n", argv[0]);
        return 1;
    }
    return 0;
}
