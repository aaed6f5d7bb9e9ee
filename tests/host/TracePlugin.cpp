// A small VST 2.4 plug-in written straight against the binary interface, for testing the
// host from the outside. It scales its input by a gain (programs, a "Gain" parameter and
// MIDI controller 7 set it, the last sample-accurately), delays it by kLatency samples,
// which it reports, and appends every host interaction to the file named by
// ORVELLA_TRACE_FILE. Compile definitions make the mono, broken and unusual variants.
#include "plugin/VstInterface.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kLatency = 7;
constexpr int kMaxPins = 2;
#ifdef TRACE_MONO
constexpr int kPins = 1;
#else
constexpr int kPins = 2;
#endif

struct Program {
    const char* name;
    float gain;
};
constexpr Program programs[] = {{"Half", 0.5f}, {"Unity", 1.0f}, {"Quiet", 0.1f}};
constexpr int kPrograms = 3;

struct Plugin {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    int program = 0;
    float gain = 0.5f;
    float polarity = 0; // host value: below 0.5 normal, else inverted
    float delay[kMaxPins][kLatency] = {};
    int idles = 0;
    struct Change {
        VstInt32 frame;
        float gain;
    } pending[64];
    int pendingCount = 0;
    double processed = 0;
    std::FILE* trace = nullptr;

    void log(const char* format, double a = 0, double b = 0) {
        if (!trace) return;
        std::fprintf(trace, format, a, b);
        std::fputc('\n', trace);
        std::fflush(trace);
    }
    VstIntPtr ask(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        return host(&effect, opcode, index, value, ptr, 0);
    }
};

Plugin* self(AEffect* e) {
    return static_cast<Plugin*>(e->object);
}

void copyText(void* to, const char* text) {
    std::snprintf(static_cast<char*>(to), 9, "%s", text);
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    Plugin& p = *self(e);
    switch (opcode) {
    case effOpen:
        p.log("open");
        return 0;
    case effClose:
        p.log("close");
        if (p.trace) std::fclose(p.trace);
        delete &p;
        return 1;
    case effSetSampleRate:
        p.log("sampleRate %g", opt);
        return 0;
    case effSetBlockSize:
        p.log("blockSize %g", double(value));
        return 0;
    case effMainsChanged:
        p.log("mains %g", double(value));
        if (value) {
            p.processed = 0;
            p.log("pins %g %g", double(p.ask(audioMasterPinConnected, 1, 0)),
                  double(p.ask(audioMasterPinConnected, 1, 1)));
            p.log("level %g", double(p.ask(audioMasterGetCurrentProcessLevel)));
        }
        return 0;
    case effSetProgram:
        if (value >= 0 && value < kPrograms) p.gain = programs[p.program = int(value)].gain;
        return 0;
    case effGetProgram:
        return p.program;
    case effGetProgramName:
        copyText(ptr, programs[p.program].name);
        return 0;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= kPrograms) return 0;
        copyText(ptr, programs[index].name);
        return 1;
    case effGetParamName:
        copyText(ptr, index == 0 ? "Gain" : "Polarity");
        return 0;
    case effGetParamDisplay:
        if (index == 0)
            std::snprintf(static_cast<char*>(ptr), 9, "%.2f", double(p.gain));
        else
            copyText(ptr, p.polarity < 0.5f ? "Normal" : "Inverted");
        return 0;
    case effGetEffectName:
        copyText(ptr, "Tracer");
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
        p.log("editOpen %g", ptr ? 1 : 0);
        return 1;
    case effEditClose:
        p.log("editClose");
        return 0;
    case effEditIdle:
        // A user turning the gain knob, as the host sees it.
        if (++p.idles == 3) {
            p.gain = 0.25f;
            p.host(&p.effect, audioMasterAutomate, 0, 0, nullptr, 0.25f);
        }
        return 0;
    default:
        return 0;
    }
}

void setParameter(AEffect* e, VstInt32 index, float value) {
    (index == 0 ? self(e)->gain : self(e)->polarity) = value;
}
float getParameter(AEffect* e, VstInt32 index) {
    return index == 0 ? self(e)->gain : self(e)->polarity;
}

void processReplacing(AEffect* e, float** in, float** out, VstInt32 frames) {
    Plugin& p = *self(e);
    const auto* time = reinterpret_cast<const VstTimeInfo*>(p.ask(audioMasterGetTime, 0, 0));
    p.log("process %g %g", double(frames), time && time->samplePos == p.processed ? 1.0 : 0.0);
    p.processed += frames;
    const float sign = p.polarity < 0.5f ? 1.0f : -1.0f;
    // Controller 7 takes effect at its own frame; the delay line sits after the gain.
    int next = 0;
    for (VstInt32 i = 0; i < frames; ++i) {
        while (next < p.pendingCount && p.pending[next].frame <= i) p.gain = p.pending[next++].gain;
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

#define TRACE_EXPORT extern "C" __attribute__((visibility("default")))

static AEffect* makeEffect(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0) != kVstVersion) return nullptr;
#ifdef TRACE_REFUSE
    return nullptr;
#endif
    auto* p = new Plugin;
    p->host = host;
    if (const char* path = std::getenv("ORVELLA_TRACE_FILE")) p->trace = std::fopen(path, "a");
    p->log("sampleRateAtStart %g",
           double(host(&p->effect, audioMasterGetSampleRate, 0, 0, nullptr, 0)));
    AEffect& e = p->effect;
#ifdef TRACE_BAD_MAGIC
    e.magic = CCONST('N', 'o', 'p', 'e');
#else
    e.magic = kEffectMagic;
#endif
    e.dispatcher = dispatcher;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
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

#if defined(TRACE_NO_ENTRY)
TRACE_EXPORT AEffect* notAnEntryPoint(audioMasterCallback host) {
    return makeEffect(host);
}
#elif defined(TRACE_LEGACY_ENTRY)
TRACE_EXPORT AEffect* legacyEntry(audioMasterCallback host) asm("main");
AEffect* legacyEntry(audioMasterCallback host) {
    return makeEffect(host);
}
#else
TRACE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    return makeEffect(host);
}
#endif
