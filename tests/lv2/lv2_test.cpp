// The LV2 bundle as a host sees it: loaded by lilv from the build folder, rendering the
// samples the VST build renders with the same settings.
#include "effect/Orvella.h"
#include "lv2/OrvellaPorts.h"
#include "tests/common/AllocationCounter.h"
#include "tests/common/TestHost.h"

#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/atom/util.h>
#include <lv2/midi/midi.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace OrvellaPorts;
constexpr int kFrames = 4096, kBlock = 512;

// One lilv world holding the bundle, and a URI map, for the whole program.
struct Host {
    Host() {
        lilv_world_load_specifications(world);
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, builtModule("Orvella.lv2/").c_str());
        lilv_world_load_bundle(world, bundle);
        LilvNode* uri = lilv_new_uri(world, kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        lilv_node_free(bundle);
    }
    static LV2_URID map(LV2_URID_Map_Handle h, const char* uri) {
        auto& uris = static_cast<Host*>(h)->uris;
        const auto found = uris.find(std::string_view(uri)); // no allocation once mapped
        return found != uris.end() ? found->second
                                   : uris.emplace(uri, uris.size() + 1).first->second;
    }
    std::map<std::string, LV2_URID, std::less<>> uris;
    LV2_URID_Map mapping{this, map};
    LV2_Feature mapFeature{LV2_URID__map, &mapping};
    const LV2_Feature* features[2] = {&mapFeature, nullptr};
    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
};
Host& host() {
    static Host h;
    return h;
}
LV2_URID urid(const char* uri) {
    return Host::map(&host(), uri);
}

// Noise on the left, a chirp on the right.
float signal(int channel, int i) {
    return channel ? 0.5f * std::sin(0.00002f * float(i * i))
                   : float((uint32_t(i) * 2654435761u) >> 8) / float(1 << 24) - 0.5f;
}

struct Change {
    int frame, parameter;
    float value;
};

struct Instance {
    explicit Instance(double rate, bool start = true, bool controls = true)
        : instance(lilv_plugin_instantiate(host().plugin, rate,
                                           controls ? host().features : host().features + 1)) {
        for (int c = 0; c < 2; ++c) {
            out[c].assign(kFrames, -1.0f);
            for (int i = 0; i < kFrames; ++i) in[c].push_back(signal(c, i));
        }
        for (int p = 0; p < kNumParams; ++p) {
            ports[p] = defaultValue(p);
            lilv_instance_connect_port(instance, controlInput(p), controls ? &ports[p] : nullptr);
            lilv_instance_connect_port(instance, controlOutput(p),
                                       controls ? &reports[p] : nullptr);
        }
        lilv_instance_connect_port(instance, kEvents, controls ? &events : nullptr);
        events.atom.type = urid(LV2_ATOM__Sequence);
        if (start) lilv_instance_activate(instance);
    }
    ~Instance() { lilv_instance_free(instance); }

    void send(const char* type, const void* data, uint32_t size) {
        char* at = reinterpret_cast<char*>(&events) + sizeof(LV2_Atom) +
                   lv2_atom_pad_size(events.atom.size);
        const LV2_Atom_Event e{{0}, {size, urid(type)}};
        std::memcpy(at, &e, sizeof e);
        std::memcpy(at + sizeof e, data, size);
        events.atom.size += lv2_atom_pad_size(sizeof e + size);
    }
    void controlChange(int controller, int value) {
        const uint8_t cc[3] = {0xB0, uint8_t(controller), uint8_t(value)};
        send(LV2_MIDI__MidiEvent, cc, 3);
    }
    void learn(int parameter) {
        const LearnMessage m = learnMessage(Urids(&host().mapping), parameter);
        send(LV2_ATOM__Object, &m.object.body, m.object.atom.size);
    }
    void run(int at, int frames) {
        void* audio[4] = {&in[0][at], &in[1][at], &out[0][at], &out[1][at]};
        for (uint32_t port = 0; port < 4; ++port)
            lilv_instance_connect_port(instance, port, connected[port] ? audio[port] : nullptr);
        lilv_instance_run(instance, uint32_t(frames));
        events.atom.size = sizeof events.body;
    }
    // The whole signal in blocks of the sizes given, in turn; each port change lands on its
    // frame.
    std::vector<float> render(std::vector<int> sizes = {kBlock}, std::vector<Change> changes = {}) {
        for (int at = 0, k = 0; at < kFrames; ++k) {
            int n = std::min(sizes[k % sizes.size()], kFrames - at);
            for (const Change& c : changes) {
                if (c.frame == at) ports[c.parameter] = c.value;
                if (c.frame > at && c.frame < at + n) n = c.frame - at;
            }
            run(at, n);
            at += n;
        }
        return both();
    }
    std::vector<float> reported() const { return {reports, reports + kNumParams}; }
    // Both outputs, one after the other.
    std::vector<float> both() const {
        std::vector<float> both(out[0]);
        both.insert(both.end(), out[1].begin(), out[1].end());
        return both;
    }
    float* port(const char* symbol) {
        for (int p = 0; p < kNumParams; ++p)
            if (OrvellaPorts::symbol(p) == symbol) return &ports[p];
        return nullptr;
    }

    LilvInstance* instance;
    std::vector<float> in[2], out[2];
    bool connected[4] = {true, true, true, true};
    float ports[kNumParams] = {}, reports[kNumParams] = {};
    struct alignas(8) {
        LV2_Atom atom{sizeof(LV2_Atom_Sequence_Body), 0};
        LV2_Atom_Sequence_Body body{};
        char space[1024];
    } events;
};

// The VST build given each parameter's natural value through the effect's own conversion,
// in blocks of 512; changes are natural values at block starts.
std::vector<float> vstRender(double rate, std::vector<float> naturals, int program = 0,
                             bool stereo = true, std::vector<Change> changes = {}) {
    TestHost vst(builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so"));
    vst.answer = [stereo](const HostCall& c) -> VstIntPtr {
        if (c.opcode == audioMasterPinConnected) return !stereo && c.index != 0;
        return TestHost::defaultAnswer(c);
    };
    AEffect* e = vst.instantiate();
    auto set = [&](int p, float natural) {
        float h = 0;
        TestHost::dispatch(e, effVendorSpecific, Orvella::kSelectorHostFromNatural, p, &h, natural);
        e->setParameter(e, p, h);
    };
    TestHost::dispatch(e, effSetSampleRate, 0, 0, nullptr, float(rate));
    TestHost::dispatch(e, effSetProgram, 0, program);
    for (std::size_t p = 0; p < naturals.size(); ++p) set(int(p), naturals[p]);
    TestHost::dispatch(e, effMainsChanged, 0, 1);
    Instance buffers(rate, false);
    for (int at = 0; at < kFrames; at += kBlock) {
        for (const Change& c : changes)
            if (c.frame == at) set(c.parameter, c.value);
        float* ins[2] = {&buffers.in[0][at], &buffers.in[1][at]};
        float* outs[2] = {&buffers.out[0][at], &buffers.out[1][at]};
        e->processReplacing(e, ins, outs, kBlock);
    }
    if (!stereo) buffers.out[1] = buffers.out[0];
    return buffers.both();
}

TEST(Lv2Render, EqualsTheVstBuildWithTheSameSettings) {
    struct Setting {
        int parameter;
        float port, natural; // what the host sets, and what the effect must then hold
    };
    struct Case {
        double rate;
        std::vector<Setting> settings;
        std::vector<int> blocks = {kBlock};
        std::array<bool, 4> connected = {true, true, true, true}; // audio ports, in order
    };
    const std::vector<Change> automation = {{2048, kPhaserAFeedback, 8}, {2048, kGen1Rate, 5}};
    const Case cases[] = {
        {44100, {}},
        {96000, {{kGen1Rate, 6.25f, 6.25f}, {kPhaserAFeedback, 9, 9}, {kPhaserBInput, 2, 2}}},
        {44100, {{kPhaserBInput, 1, 1}, {kPhaserBSweepCtrl, 2, 2}, {kSweepControl, .7f, .7f}}},
        // Out of range: clamped into the range; NaN: the default.
        {44100, {{kPhaserADepth, 50, 10}, {kPhaserBInput, 7, 2}, {kGen2Shape, .6f, 1}}},
        {96000, {{kPhaserADepth, -3, 1}, {kPhaserBInput, -1, 0}, {kGen1Shape, .4f, 0}}},
        {44100, {{kPhaserBFeedback, 1e9f, 10}, {kGen2Rate, 0, 1}, {kPhaserAActive, NAN, 1}}},
        // Any block sizes, runs of no frames among them, render as blocks of 512 do.
        {44100, {}, {8}},
        {44100, {}, {1, 7, 333, 0, 100}},
        {44100, {}, {136, 0, 24, 1000}},
        {44100, {}, {4096}},
        {44100, {}, {1024, 8, 2040, 0}},
        // A mono host: the left pair only, the effect's mono path; a right output gets a copy.
        {44100, {{kPhaserBInput, 1, 1}}, {kBlock}, {true, false, true, false}},
        {44100, {{kPhaserBInput, 1, 1}}, {kBlock}, {true, false, true, true}},
        {44100, {{kPhaserBInput, 1, 1}}, {kBlock}, {true, true, true, false}},
        // No left input or output: silence on the outputs there are.
        {44100, {}, {kBlock}, {false, true, true, true}},
        {44100, {}, {kBlock}, {true, true, false, true}},
        {44100, {}, {kBlock}, {false, false, false, false}},
    };
    for (const Case& c : cases) {
        Instance lv2(c.rate);
        std::copy(c.connected.begin(), c.connected.end(), lv2.connected);
        std::vector<float> naturals;
        for (int p = 0; p < kNumParams; ++p) naturals.push_back(defaultValue(p));
        for (const Setting& s : c.settings) {
            lv2.ports[s.parameter] = s.port;
            naturals[s.parameter] = s.natural;
        }
        std::vector<float> expected = vstRender(
            c.rate, naturals, 0, c.connected[kInputRight] && c.connected[kOutputRight], automation);
        if (!c.connected[kInputLeft] || !c.connected[kOutputLeft]) expected.assign(2 * kFrames, 0);
        for (int o = 0; o < 2; ++o) // an output not connected keeps what it held
            if (!c.connected[kOutputLeft + o]) std::fill_n(&expected[o * kFrames], kFrames, -1.0f);
        EXPECT_EQ(lv2.render(c.blocks, automation), expected) << "case " << (&c - cases);
        for (const Change& a : automation) naturals[a.parameter] = a.value;
        EXPECT_EQ(lv2.reported(), naturals);
    }
    // A host with no URI map and no control, report or event ports, as lv2apply can be:
    // the effect plays the program it starts with.
    EXPECT_EQ(Instance(44100, true, false).render(), vstRender(44100, {}));
}

// Each factory preset, as hosts apply it (port values), plays its program.
TEST(Lv2Presets, EachIsItsProgram) {
    Host& h = host();
    LilvNode* presetClass = lilv_new_uri(h.world, LV2_PRESETS__Preset);
    LilvNodes* presets = lilv_plugin_get_related(h.plugin, presetClass);
    EXPECT_EQ(lilv_nodes_size(presets), unsigned(kNumPrograms));
    TestHost vst(builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so"));
    AEffect* e = vst.instantiate();
    LILV_FOREACH(nodes, i, presets) {
        const LilvNode* preset = lilv_nodes_get(presets, i);
        const int program = std::stoi(std::strrchr(lilv_node_as_uri(preset), 't') + 1) - 1;
        lilv_world_load_resource(h.world, preset);
        LilvState* state = lilv_state_new_from_world(h.world, &h.mapping, preset);
        char name[kVstMaxProgNameLen + 1] = {};
        TestHost::dispatch(e, effGetProgramNameIndexed, program, 0, name);
        EXPECT_STREQ(lilv_state_get_label(state), name);
        Instance lv2(48000);
        lilv_state_restore(
            state, lv2.instance,
            [](const char* symbol, void* i, const void* value, uint32_t, uint32_t) {
                *static_cast<Instance*>(i)->port(symbol) = *static_cast<const float*>(value);
            },
            &lv2, 0, h.features);
        lilv_state_free(state);
        EXPECT_EQ(lv2.render(), vstRender(48000, {}, program)) << name;
    }
    lilv_nodes_free(presets);
    lilv_node_free(presetClass);
}

// A host's session, for the plug-in's state interface called directly.
struct Session {
    std::map<uint32_t, std::pair<uint32_t, std::string>> values; // key: type, bytes

    static LV2_State_Status put(LV2_State_Handle s, uint32_t key, const void* value,
                                std::size_t size, uint32_t type, uint32_t) {
        static_cast<Session*>(s)->values[key] = {type, {static_cast<const char*>(value), size}};
        return LV2_STATE_SUCCESS;
    }
    static const void* get(LV2_State_Handle s, uint32_t key, std::size_t* size, uint32_t* type,
                           uint32_t* flags) {
        const auto found = static_cast<Session*>(s)->values.find(key);
        if (found == static_cast<Session*>(s)->values.end()) return nullptr;
        *size = found->second.second.size();
        *type = found->second.first;
        *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
        return found->second.second.data();
    }
    static const LV2_State_Interface& of(const Instance& i) {
        return *static_cast<const LV2_State_Interface*>(
            lilv_instance_get_extension_data(i.instance, LV2_STATE__interface));
    }
    LV2_State_Status save(const Instance& i) {
        return of(i).save(lilv_instance_get_handle(i.instance), put, this, 0, nullptr);
    }
    LV2_State_Status restore(const Instance& i) {
        return of(i).restore(lilv_instance_get_handle(i.instance), get, this, 0, nullptr);
    }
};

// The bank, with what a learned controller did and the controller itself, goes from one
// instance to another. Nothing on the audio path allocates, learning and a bank handed over
// while running included.
TEST(Lv2State, RestoredIntoAnotherInstanceItRendersAndLearnsTheSame) {
    Instance a(44100), stopped(44100, false), running(44100);
    a.ports[kPhaserADepth] = 8;
    a.ports[kPhaserBInput] = 1;
    running.run(0, kBlock);
    Session session;
    long before = allocationCount();
    a.learn(kPhaserBDepth);
    a.controlChange(20, 5);
    a.controlChange(20, 5);
    a.run(0, kBlock);
    a.controlChange(20, 50); // the learned controller moves depth B; its port stays
    a.run(0, kBlock);
    EXPECT_EQ(allocationCount(), before);
    ASSERT_EQ(session.save(a), LV2_STATE_SUCCESS);
    before = allocationCount();
    EXPECT_EQ(session.restore(running), LV2_STATE_SUCCESS); // taken at its next run
    running.run(0, kBlock);
    EXPECT_EQ(allocationCount(), before);
    ASSERT_NE(a.reports[kPhaserBDepth], a.ports[kPhaserBDepth]);

    // Taken at once; its ports, still at the defaults, are not applied over it.
    EXPECT_EQ(session.restore(stopped), LV2_STATE_SUCCESS);
    lilv_instance_activate(stopped.instance);
    EXPECT_EQ(stopped.render(), vstRender(44100, a.reported()));
    for (Instance* i : {&stopped, &running}) {
        EXPECT_EQ(i->reported(), a.reported());
        i->controlChange(20, 127);
        i->run(0, kBlock);
        EXPECT_EQ(i->reports[kPhaserBDepth], 10.0f);
    }
    // A second learn request on the armed control cancels and forgets its controller.
    running.learn(kPhaserBDepth);
    running.learn(kPhaserBDepth);
    running.controlChange(20, 0);
    running.run(0, kBlock);
    EXPECT_EQ(running.reports[kPhaserBDepth], 10.0f);
}

TEST(Lv2State, ABadBankIsRefusedWithNothingChanged) {
    Instance source(44100);
    source.ports[kPhaserADepth] = 9;
    source.run(0, kBlock);
    Session good;
    ASSERT_EQ(good.save(source), LV2_STATE_SUCCESS);
    const LV2_URID bank = urid("urn:calderis:orvella#bank");
    const LV2_URID program = urid("urn:calderis:orvella#program");
    using Spoil = void (*)(Session&, LV2_URID bank, LV2_URID program);
    const Spoil spoils[] = {
        [](Session& s, LV2_URID b, LV2_URID) { s.values[b].first = urid(LV2_ATOM__Int); },
        [](Session& s, LV2_URID b, LV2_URID) { s.values[b].second.pop_back(); },
        [](Session& s, LV2_URID b, LV2_URID) { s.values[b].second += 'x'; },
        [](Session& s, LV2_URID b, LV2_URID) { s.values.erase(b); },
        [](Session& s, LV2_URID, LV2_URID p) { s.values[p].second = std::string("\x0a\0\0\0", 4); },
        [](Session& s, LV2_URID, LV2_URID p) { s.values[p].second = "\xff\xff\xff\xff"; },
        [](Session& s, LV2_URID, LV2_URID p) { s.values[p].first = urid(LV2_ATOM__Float); },
        [](Session&, LV2_URID, LV2_URID) {}, // the good one, for contrast
    };
    for (std::size_t k = 0; k < std::size(spoils); ++k) {
        for (const bool running : {false, true}) {
            Instance i(44100, running);
            Session s = good, again;
            spoils[k](s, bank, program);
            const bool isGood = k + 1 == std::size(spoils);
            EXPECT_EQ(s.restore(i) == LV2_STATE_SUCCESS, isGood) << k;
            again.save(i); // what a host saves of an instance that has not run since
            EXPECT_EQ(again.values == s.values, isGood && !running) << k;
            if (!running) lilv_instance_activate(i.instance);
            i.run(0, kBlock);
            EXPECT_EQ(i.reports[kPhaserADepth], isGood ? 9.0f : 1.0f) << k;
        }
    }
    // The program the bank says plays is the one that plays.
    good.values[program].second = std::string("\x03\0\0\0", 4);
    Instance i(44100);
    EXPECT_EQ(good.restore(i), LV2_STATE_SUCCESS);
    EXPECT_EQ(i.render(), vstRender(44100, {}, 3));
}

} // namespace
