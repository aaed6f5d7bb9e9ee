// The LV2 plug-in's port layout and URIs, shared by the plug-in, its editor and the bundle's
// description; and the conversion between the effect's host values (0..1) and the control
// ports' own units, which is what hosts show and automate.
#pragma once

#include "params/OrvellaParameterManager.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>

namespace OrvellaPorts {

inline constexpr const char* kPluginUri = "urn:calderis:orvella";
inline constexpr const char* kUiUri = "urn:calderis:orvella#ui";
inline constexpr const char* kLearnUri = "urn:calderis:orvella#Learn";
inline constexpr const char* kParameterUri = "urn:calderis:orvella#parameter";

enum Port : uint32_t {
    kInputLeft = 0,
    kInputRight = 1,
    kOutputLeft = 2,
    kOutputRight = 3,
    kEvents = 4, // MIDI for learned controllers, and the editor's learn messages
    kFirstControlInput = 5,
    kFirstControlOutput = kFirstControlInput + kNumParams,
    kNumPorts = kFirstControlOutput + kNumParams,
};

constexpr uint32_t controlInput(int parameter) {
    return kFirstControlInput + static_cast<uint32_t>(parameter);
}
constexpr uint32_t controlOutput(int parameter) {
    return kFirstControlOutput + static_cast<uint32_t>(parameter);
}
// The parameter a control port carries, or -1 for the other ports.
constexpr int parameterOfPort(uint32_t port) {
    if (port >= kFirstControlInput && port < kFirstControlOutput)
        return static_cast<int>(port - kFirstControlInput);
    if (port >= kFirstControlOutput && port < kNumPorts)
        return static_cast<int>(port - kFirstControlOutput);
    return -1;
}

// The first call in a process builds the effect's parameter rows and allocates: make it on a
// main thread (instantiate does). Afterwards every function here but symbol() is
// [any thread] and never allocates or blocks; parameters outside 0..15 are refused by the
// caller, not here.

// The port value a host value (0..1, as the effect holds it) shows: the parameter's
// natural value.
float portValue(int parameter, float hostValue);
// The host value for a port value, clamped into the port's range (NaN: the default). The
// effect's own conversion, so a port value and the same natural value given to the VST
// build agree.
float hostValue(int parameter, float portValue);
float minimum(int parameter);
float maximum(int parameter);
float defaultValue(int parameter);

// The port symbol of a parameter's control input, from its name ("Ph A Depth" is
// "ph_a_depth"); its output adds "_out". Allocates. [main thread]
std::string symbol(int parameter);

// The URIs the learn message uses, mapped once per instance. [main thread]
struct Urids {
    explicit Urids(const LV2_URID_Map* map);
    LV2_URID atomObject, atomInt, atomEventTransfer, learn, parameter;
};

// The editor's request to arm learning for a parameter, or to cancel and forget if that
// parameter is already armed: what a Shift+Control click does in the VST editor. Sent on
// kEvents with atomEventTransfer, lv2_atom_total_size(&message.object.atom) bytes.
struct LearnMessage {
    LV2_Atom_Object object;
    LV2_Atom_Property_Body property;
    int32_t parameter;
    int32_t padding; // atoms are padded to eight bytes
};
// [any thread]
LearnMessage learnMessage(const Urids& urids, int parameter);
// The parameter a learn message names, or -1 when the atom is no learn message, names no
// parameter of the effect or claims more than the size bytes that atom points at.
// [any thread]
int learnedParameter(const Urids& urids, const LV2_Atom* atom, uint32_t size);

} // namespace OrvellaPorts
