// A VST 2.4 effect that knows the Audio Unit adapter: it answers the awareness query,
// exchanges silence flags (its output is silent exactly when its input was), converts
// values to and from text itself, reports a tail of 4410 frames and supports bypass. Its
// one parameter's natural scale is ten times the host value. It passes its input through.
// Its editor, 200 by 100 pixels, asks for 300 by 150 on its first idle.
#include "plugin/VstInterface.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace {

struct Aware {
    AEffect effect{};
    audioMasterCallback host;
    bool grown = false;
    float value = 0;
    bool inputSilent = false;
};

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt) {
    auto& a = *static_cast<Aware*>(e->object);
    switch (opcode) {
    case effClose:
        delete &a;
        return 0;
    case effGetTailSize:
        return 4410;
    case effSetBypass:
        return 1;
    case effEditGetRect: {
        static ERect rect{0, 0, 100, 200};
        *static_cast<ERect**>(ptr) = &rect;
        return 1;
    }
    case effEditOpen:
        return 1;
    case effEditIdle:
        if (!a.grown) a.host(e, audioMasterSizeWindow, 300, 150, nullptr, 0);
        a.grown = true;
        return 0;
    case effVendorSpecific:
        switch (index) {
        case CCONST('s', 'H', 'i', '!'):
            return 1;
        case CCONST('s', 'I', '0', '0'):
            a.inputSilent = value != 0;
            return 1;
        case CCONST('s', 'O', '0', '0'):
            return a.inputSilent;
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
    default:
        return 0;
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    auto* a = new Aware;
    a->host = host;
    AEffect& e = a->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatcher;
    e.setParameter = [](AEffect* x, VstInt32, float v) {
        static_cast<Aware*>(x->object)->value = v;
    };
    e.getParameter = [](AEffect* x, VstInt32) { return static_cast<Aware*>(x->object)->value; };
    e.processReplacing = [](AEffect*, float** in, float** out, VstInt32 frames) {
        for (int c = 0; c < 2; ++c) std::memcpy(out[c], in[c], sizeof(float) * size_t(frames));
    };
    e.numParams = 1;
    e.numInputs = e.numOutputs = 2;
    e.flags = effFlagsCanReplacing | effFlagsHasEditor;
    e.object = a;
    return &e;
}
