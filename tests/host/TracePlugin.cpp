// A small VST 2.4 plug-in written straight against the binary interface, for testing the
// host from the outside. It scales its input by a gain (programs, a "Gain" parameter and
// MIDI controller 7 set it, the last sample-accurately), delays it by kLatency samples,
// which it reports, and appends every host interaction to the file named by
// ORVELLA_TRACE_FILE. Compile definitions make the mono, broken and unusual variants:
// TRACE_PINS (channels in and out), TRACE_ENTRY (the entry point's symbol), TRACE_MAGIC,
// TRACE_REFUSE, and TRACE_AWARE: an effect that knows the Audio Unit adapter (it exchanges
// silence flags, its output silent exactly when its input was; converts values to and from
// text itself, in a natural scale ten times the host value; reports a tail of 4410 frames;
// supports bypass; and asks for 300 by 150 pixels on its editor's first idle).
#include "plugin/VstInterface.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <utility>

#ifndef TRACE_PINS
#define TRACE_PINS 2
#endif
#ifndef TRACE_MAGIC
#define TRACE_MAGIC kEffectMagic
#endif
#ifndef TRACE_ENTRY
#define TRACE_ENTRY VSTPluginMain
#endif
#define TRACE_SYMBOL(name) #name
#define TRACE_NAME(name) TRACE_SYMBOL(name)

namespace {

constexpr int kLatency = 7, kPins = TRACE_PINS, kPrograms = 3;
constexpr const char* programNames[kPrograms] = {"Half", "Unity", "Quiet"};
constexpr float programGains[kPrograms] = {0.5f, 1.0f, 0.1f};

struct Plugin {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    int program = 0, idles = 0, pendingCount = 0;
    float gain = 0.5f, polarity = 0; // polarity: below 0.5 normal, else inverted
    float delay[kPins][kLatency] = {};
    std::pair<VstInt32, float> pending[64]; // controller 7 changes: frame, gain
    double processed = 0;
    bool inputSilent = false;
    std::FILE* trace = nullptr;

    void log(const char* format, double a = 0, double b = 0) {
        if (!trace) return;
        std::fprintf(trace, format, a, b);
        std::fputc('\n', trace);
        std::fflush(trace);
    }
    VstIntPtr ask(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, float opt = 0) {
        return host(&effect, opcode, index, value, nullptr, opt);
    }
};

Plugin* self(AEffect* e) {
    return static_cast<Plugin*>(e->object);
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    Plugin& p = *self(e);
    const auto copyText = [ptr](const char* text) {
        std::snprintf(static_cast<char*>(ptr), 9, "%s", text);
    };
    // The calls whose order the host is judged by, each with its argument.
    const std::tuple<VstInt32, const char*, double> logged[] = {
        {effOpen, "open", 0},
        {effClose, "close", 0},
        {effSetSampleRate, "sampleRate %g", opt},
        {effSetBlockSize, "blockSize %g", double(value)},
        {effMainsChanged, "mains %g", double(value)},
        {effEditOpen, "editOpen %g", ptr ? 1.0 : 0.0},
        {effEditClose, "editClose", 0}};
    for (const auto& [loggedOpcode, format, argument] : logged)
        if (loggedOpcode == opcode) p.log(format, argument);
    switch (opcode) {
    case effClose:
        if (p.trace) std::fclose(p.trace);
        delete &p;
        return 1;
    case effMainsChanged:
        if (value) {
            p.processed = 0;
            p.log("pins %g %g", double(p.ask(audioMasterPinConnected, 1, 0)),
                  double(p.ask(audioMasterPinConnected, 1, 1)));
            p.log("level %g", double(p.ask(audioMasterGetCurrentProcessLevel)));
        }
        return 0;
    case effSetProgram:
        if (value >= 0 && value < kPrograms) p.gain = programGains[p.program = int(value)];
        return 0;
    case effGetProgram:
        return p.program;
    case effGetProgramName:
        copyText(programNames[p.program]);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms) return 0;
        copyText(programNames[index]);
        return 1;
    case effGetParamName:
        copyText(index == 0 ? "Gain" : "Polarity");
        return 0;
    case effGetParamDisplay:
        if (index == 0)
            std::snprintf(static_cast<char*>(ptr), 9, "%.2f", double(p.gain));
        else
            copyText(p.polarity < 0.5f ? "Normal" : "Inverted");
        return 0;
    case effGetEffectName:
        copyText("Tracer");
        return 1;
    case effCanDo:
        return std::strcmp(static_cast<char*>(ptr), "receiveVstMidiEvent") == 0;
    case effProcessEvents: {
        auto* events = static_cast<VstEvents*>(ptr);
        // Hosts allocate as many pointers as they send, past the declared two.
        VstEvent* const* list = events->events;
        for (VstInt32 i = 0; i < events->numEvents; ++i) {
            const auto* m = reinterpret_cast<const VstMidiEvent*>(list[i]);
            p.log("event %.0f %.0f", double(m->deltaFrames),
                  double((m->midiData[0] & 0xff) << 16 | m->midiData[1] << 8 | m->midiData[2]));
            if ((m->midiData[0] & 0xf0) == 0xb0 && m->midiData[1] == 7 && p.pendingCount < 64)
                p.pending[p.pendingCount++] = {m->deltaFrames, float(m->midiData[2]) / 127};
        }
        return 1;
    }
    case effEditGetRect: {
        static ERect rect{0, 0, 100, 200};
        *static_cast<ERect**>(ptr) = &rect;
        return 1;
    }
    case effEditOpen:
        return 1;
    case effEditIdle:
#ifdef TRACE_AWARE
        if (p.idles == 0) p.ask(audioMasterSizeWindow, 300, 150);
#endif
        // A user turning the gain knob, as the host sees it.
        if (++p.idles == 3) p.ask(audioMasterAutomate, 0, 0, p.gain = 0.25f);
        return 0;
#ifdef TRACE_AWARE
    case effGetTailSize:
        return 4410;
    case effSetBypass:
        return 1;
    case effVendorSpecific:
        switch (index) {
        case CCONST('s', 'H', 'i', '!'):
            return 1;
        case CCONST('s', 'I', '0', '0'):
            p.inputSilent = value != 0;
            return 1;
        case CCONST('s', 'O', '0', '0'):
            return p.inputSilent;
        case CCONST('s', 'V', '2', 'S'):
            std::snprintf(static_cast<char*>(ptr), 32, "  %.1f tenths", double(opt));
            return 1;
        case CCONST('s', 'S', '2', 'V'):
            return std::bit_cast<VstInt32>(0.25f);
        case 12345: // natural to host
            *static_cast<float*>(ptr) = opt / 10;
            return 1;
        case 23456: // host to natural
            *static_cast<float*>(ptr) = opt * 10;
            return 1;
        default:
            return 0;
        }
#endif
    default:
        return 0;
    }
}

float& parameter(AEffect* e, VstInt32 index) {
    return index == 0 ? self(e)->gain : self(e)->polarity;
}

void processReplacing(AEffect* e, float** in, float** out, VstInt32 frames) {
    Plugin& p = *self(e);
    const auto* time = reinterpret_cast<const VstTimeInfo*>(p.ask(audioMasterGetTime));
    p.log("process %g %g", double(frames), time && time->samplePos == p.processed ? 1.0 : 0.0);
    p.processed += frames;
    const float sign = p.polarity < 0.5f ? 1.0f : -1.0f;
    // Controller 7 takes effect at its own frame; the delay line sits after the gain.
    int next = 0;
    for (VstInt32 i = 0; i < frames; ++i) {
        while (next < p.pendingCount && p.pending[next].first <= i)
            p.gain = p.pending[next++].second;
        for (int c = 0; c < kPins; ++c) {
            float* line = p.delay[c];
            out[c][i] = line[0];
            std::memmove(line, line + 1, (kLatency - 1) * sizeof(float));
            line[kLatency - 1] = in[c][i] * p.gain * sign;
        }
    }
    p.pendingCount = 0;
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect*
entry(audioMasterCallback host) asm(TRACE_NAME(TRACE_ENTRY));
AEffect* entry(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
#ifdef TRACE_REFUSE
    return nullptr;
#endif
    auto* p = new Plugin;
    p->host = host;
    if (const char* path = std::getenv("ORVELLA_TRACE_FILE")) p->trace = std::fopen(path, "a");
    p->log("sampleRateAtStart %g", double(p->ask(audioMasterGetSampleRate)));
    AEffect& e = p->effect;
    e.magic = TRACE_MAGIC;
    e.dispatcher = dispatcher;
    e.setParameter = [](AEffect* a, VstInt32 index, float value) { parameter(a, index) = value; };
    e.getParameter = [](AEffect* a, VstInt32 index) { return parameter(a, index); };
    e.processReplacing = processReplacing;
    e.numPrograms = kPrograms;
    e.numParams = 2;
    e.numInputs = e.numOutputs = kPins;
    e.flags = effFlagsCanReplacing | effFlagsHasEditor;
    e.initialDelay = kLatency;
    e.object = p;
    e.uniqueID = CCONST('T', 'r', 'c', 'e');
    e.version = 1;
    return &e;
}
