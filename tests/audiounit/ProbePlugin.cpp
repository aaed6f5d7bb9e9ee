// A VST 2.4 effect that probes its host's callback answers and misbehaves in the ways a
// bridge must survive: an effGetProgram past its program count, a parameter name longer
// than the interface allows, an exception out of its dispatcher. ORVELLA_PROBE_MIDI
// chooses its MIDI manner: "yes" (answers receiveVstMidiEvent), "asks" (calls
// audioMasterWantMidi instead), anything else neither.
#include "plugin/VstInterface.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <tuple>

namespace {

struct Probe {
    AEffect effect{};
    audioMasterCallback host;
    VstIntPtr seen[3] = {}; // during the entry call: version, current id, sample rate
    std::string midi;
};

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float) {
    auto& p = *static_cast<Probe*>(e->object);
    switch (opcode) {
    case effOpen:
        if (p.midi == "asks") p.host(e, audioMasterWantMidi, 0, 1, nullptr, 0);
        return 0;
    case effClose:
        delete &p;
        return 0;
    case effGetProgram:
        return 12;
    case effGetParamName:
        std::strcpy(static_cast<char*>(ptr), "A parameter name of thirty ch");
        return 0;
    case effCanDo:
        return p.midi == "yes" && std::strcmp(static_cast<char*>(ptr), "receiveVstMidiEvent") == 0;
    case effGetTailSize:
        throw std::runtime_error("a fault inside the effect");
    case effVendorSpecific: // what the host answered, for the test to read
        if (index == 4) {   // a round of host calls, their answers into ptr
            char vendor[64] = {};
            const std::tuple<VstInt32, VstInt32, VstIntPtr, void*, float> calls[] = {
                {audioMasterAutomate, 3, 0, nullptr, 0.5f},
                {audioMasterPinConnected, 1, 0, nullptr, 0},
                {audioMasterPinConnected, 0, 1, nullptr, 0},
                {audioMasterGetVendorString, 0, 0, vendor, 0},
                {audioMasterCanDo, 0, 0, const_cast<char*>("sendVstEvents"), 0},
                {audioMasterSizeWindow, 300, 200, nullptr, 0},
                {audioMasterBeginEdit, 2, 0, nullptr, 0},
                {audioMasterEndEdit, 2, 0, nullptr, 0},
                {audioMasterGetBlockSize, 0, 0, nullptr, 0},
                {audioMasterGetVendorVersion, 0, 0, nullptr, 0},
                {45, 0, 0, nullptr, 0}};
            auto* answers = static_cast<VstIntPtr*>(ptr);
            for (const auto& [opcode, i, value, text, opt] : calls)
                *answers++ = p.host(e, opcode, i, value, text, opt);
            *answers = vendor[0];
            return 1;
        }
        return index >= 0 && index < 3 ? p.seen[index]
                                       : p.host(e, audioMasterCurrentId, 0, 0, 0, 0);
    default:
        return 0;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    const char* midi = std::getenv("ORVELLA_PROBE_MIDI");
    auto* p = new Probe{{}, host, {}, midi ? midi : ""};
    const VstInt32 asked[] = {audioMasterVersion, audioMasterCurrentId, audioMasterGetSampleRate};
    for (int i = 0; i < 3; ++i) p->seen[i] = host(nullptr, asked[i], 0, 0, nullptr, 0);
    AEffect& e = p->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatcher;
    e.setParameter = [](AEffect*, VstInt32, float) {};
    e.getParameter = [](AEffect*, VstInt32) { return 0.0f; };
    e.numPrograms = 10;
    e.numParams = 2;
    e.object = p;
    e.uniqueID = CCONST('P', 'r', 'b', 'e');
    return &e;
}
