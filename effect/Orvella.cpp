#include "effect/Orvella.h"

#include "dsp/csd.h"
#include "effect/FactoryPresets.h"
#include "effect/OrvellaView.h"
#include "params/OrvellaParameterManager.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr float kOutputLowPassHz = 18000.0f;
constexpr float kInputHighPassHz = 20.0f;
constexpr float kFixedFilterQ = 0.707f;
constexpr float kSweepLagSeconds = 0.00175f;
constexpr int kSubBlock = 8;
// The signal path steps each generator once per sub-block.
constexpr float kGeneratorSteps = kSubBlock;

// Host values are 0..1; anything else a host sends is clamped, NaN becomes 0.
float sanitised(float value) {
    if (!(value >= 0.0f)) return 0.0f;
    return value > 1.0f ? 1.0f : value;
}

bool isParameter(long index) {
    return index >= 0 && index < kNumParams;
}

std::size_t nameLength(const char* name) {
    return strnlen(name, kProgramNameBytes);
}

} // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    return new Orvella(audioMaster);
}

Orvella::Orvella(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParams) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(CCONST('T', 'Q', 'b', 'p'));
    setInitialDelay(0);

    // Never the process-wide rate: other instances may run at others.
    const auto rate = static_cast<float>(updateSampleRate());

    paramManager = std::make_unique<OrvellaParameterManager>();

    for (gen_LFO_record* gen : {&gen1, &gen2}) {
        gen_LFO_init(gen);
        gen_LFO_set_attr(gen, GEN_LFO_WAVEFORM, static_cast<float>(GEN_LFO_TRIANGLE));
        gen_LFO_set_attr(gen, GEN_LFO_FREQUENCY, 0.01f);
        gen_LFO_set_attr(gen, CSD_ATTR_SAMPLING_RATE, rate);
    }
    for (mod_lag_record* lag : {&sweepLagA, &sweepLagB}) {
        mod_lag_init(lag);
        mod_lag_set_attr(lag, CSD_ATTR_SAMPLING_RATE, rate);
        mod_lag_set_attr(lag, MOD_LAG_RISE_TIME, kSweepLagSeconds);
        mod_lag_set_attr(lag, MOD_LAG_FALL_TIME, kSweepLagSeconds);
    }
    for (tqsp_filter_rbj_low_pass* lowPass : {&lowPassA, &lowPassB}) {
        lowPass->setFrequency(kOutputLowPassHz);
        lowPass->setResonance(kFixedFilterQ);
        lowPass->setAudioSamplingRate(rate);
    }
    for (tqsp_filter_rbj_high_pass* highPass : {&highPassA, &highPassB}) {
        highPass->setFrequency(kInputHighPassHz);
        highPass->setResonance(kFixedFilterQ);
        highPass->setAudioSamplingRate(rate);
    }
    phaserA.setAudioSamplingRate(rate);
    phaserB.setAudioSamplingRate(rate);
    phaserA.setActive(paramManager->getNaturalValue(kPhaserAActive) != 0);
    phaserB.setActive(paramManager->getNaturalValue(kPhaserBActive) != 0);

    view = createOrvellaEditor(this);
    programsAreChunks(true);
    initPresets();
    setProgram(0);
    resume();
}

Orvella::~Orvella() {
    gen_LFO_free(&gen1);
    gen_LFO_free(&gen2);
    mod_lag_free(&sweepLagA);
    mod_lag_free(&sweepLagB);
}

void Orvella::setSampleRate(float rate) {
    // A rate of zero, below zero or NaN would poison every coefficient.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    AudioEffectX::setSampleRate(rate);
    // The fixed filters follow the host's rate, so their corners stay where they belong.
    lowPassA.setAudioSamplingRate(rate);
    lowPassB.setAudioSamplingRate(rate);
    highPassA.setAudioSamplingRate(rate);
    highPassB.setAudioSamplingRate(rate);
    phaserA.setAudioSamplingRate(rate);
    phaserB.setAudioSamplingRate(rate);
    for (gen_LFO_record* gen : {&gen1, &gen2}) gen_LFO_set_attr(gen, CSD_ATTR_SAMPLING_RATE, rate);
    for (mod_lag_record* lag : {&sweepLagA, &sweepLagB})
        mod_lag_set_attr(lag, CSD_ATTR_SAMPLING_RATE, rate);
}

void Orvella::resume() {
    inputCount = isInputConnected(1) ? 2 : 1;
    isOutputConnected(1);
    clearFilters();
    suspended = false;
    AudioEffectX::resume();
}

void Orvella::clearFilters() {
    for (tqsp_filter* filter : std::initializer_list<tqsp_filter*>{&highPassA, &highPassB, &phaserA,
                                                                   &phaserB, &lowPassA, &lowPassB})
        filter->clear();
}

void Orvella::suspend() {
    suspended = true;
}

// --- parameters ---------------------------------------------------------------------------

void Orvella::setParameter(VstInt32 index, float value) {
    if (!isParameter(index)) return;
    value = sanitised(value);
    std::atomic_ref<float>(programs[currentProgram.load(std::memory_order_acquire)].values[index])
        .store(value, std::memory_order_relaxed);
    paramManager->setVSTvalue(index, value);
    pendingParameters.fetch_or(1u << index, std::memory_order_release);
    if (view) view->setParameter(index, value);
}

// The generators and sections are the audio thread's alone: changes reach them here, at the
// start of a block, in index order, each from the values in force now.
void Orvella::applyPendingParameters() {
    // Most calls find nothing to do: a plain load spares them the locked exchange.
    if (pendingParameters.load(std::memory_order_relaxed) == 0) return;
    uint32_t pending = pendingParameters.exchange(0, std::memory_order_acquire);
    for (VstInt32 index = 0; pending != 0; ++index, pending >>= 1)
        if (pending & 1u) applyParameter(index);
}

void Orvella::applyParameter(VstInt32 index) {
    OrvellaParameterManager& p = *paramManager;
    const bool rateFromSweep = p.getNaturalValue(kGen1RateCtrl) != 0;
    switch (index) {
    case kGen1Rate:
        if (!rateFromSweep)
            gen_LFO_set_attr(&gen1, GEN_LFO_FREQUENCY, p.getDSPValue(kGen1Rate) * kGeneratorSteps);
        break;
    case kGen1RateCtrl: {
        const float rate = p.getDSPValue(rateFromSweep ? kSweepControl : kGen1Rate);
        gen_LFO_set_attr(&gen1, GEN_LFO_FREQUENCY, rate * kGeneratorSteps);
        break;
    }
    case kGen1Shape:
        gen_LFO_set_attr(&gen1, GEN_LFO_WAVEFORM, p.getDSPValue(kGen1Shape));
        break;
    case kGen2Rate:
        gen_LFO_set_attr(&gen2, GEN_LFO_FREQUENCY, p.getDSPValue(kGen2Rate) * kGeneratorSteps);
        break;
    case kGen2Shape:
        gen_LFO_set_attr(&gen2, GEN_LFO_WAVEFORM, p.getDSPValue(kGen2Shape));
        break;
    case kPhaserAFeedback:
        phaserA.setFeedback(p.getDSPValue(kPhaserAFeedback));
        break;
    case kPhaserBFeedback:
        phaserB.setFeedback(p.getDSPValue(kPhaserBFeedback));
        break;
    case kPhaserAActive:
        phaserA.setActive(p.getNaturalValue(kPhaserAActive) != 0);
        break;
    case kPhaserBActive:
        phaserB.setActive(p.getNaturalValue(kPhaserBActive) != 0);
        break;
    case kSweepControl:
        manualSweep = 2.0f * p.getVSTvalue(kSweepControl) - 1.0f;
        if (rateFromSweep)
            gen_LFO_set_attr(&gen1, GEN_LFO_FREQUENCY,
                             p.getDSPValue(kSweepControl) * kGeneratorSteps);
        break;
    case kPhaserADepth:
    case kPhaserASweepCtrl:
    case kPhaserBInput:
    case kPhaserBDepth:
    case kPhaserBSweepCtrl:
    case kPhaserBSweepSync:
        readSweepSettings();
        break;
    default:
        break;
    }
}

float Orvella::getParameter(VstInt32 index) {
    return isParameter(index) ? paramManager->getVSTvalue(index) : 0.0f;
}

void Orvella::getParameterName(VstInt32 index, char* text) {
    *text = 0;
    if (isParameter(index)) paramManager->getName(index, text, kVstMaxParamStrLen);
}

bool Orvella::getParameterProperties(VstInt32 index, VstParameterProperties* p) {
    if (!isParameter(index)) return false;
    *p = {};
    paramManager->getName(index, p->label, sizeof p->label - 1);
    // Eight characters fill the short label; the record holds no terminator for them.
    char shortName[kVstMaxParamStrLen + 1];
    paramManager->getName(index, shortName, kVstMaxParamStrLen);
    std::memcpy(p->shortLabel, shortName, sizeof p->shortLabel);
    if (paramManager->getType(index) == kParamOnOff) p->flags = kVstParameterIsSwitch;
    return true;
}

void Orvella::getParameterDisplay(VstInt32 index, char* text) {
    *text = 0;
    if (isParameter(index)) paramManager->getValueString(index, text, kVstMaxParamStrLen);
}

void Orvella::getParameterLabel(VstInt32 index, char* label) {
    *label = 0;
    if (isParameter(index)) paramManager->getUnitsName(index, label, kVstMaxParamStrLen);
}

VstIntPtr Orvella::vendorSpecific(VstInt32 selector, VstIntPtr index, void* ptr, float value) {
    if (selector != kSelectorNaturalFromHost && selector != kSelectorHostFromNatural) return 0;
    if (!ptr || !isParameter(static_cast<long>(index))) return 0;
    const long parameter = static_cast<long>(index);
    float result;
    if (selector == kSelectorNaturalFromHost) {
        result = paramManager->naturalValueFromVSTvalue(parameter, sanitised(value));
    } else {
        result = paramManager->VSTvalueFromNaturalValue(parameter, value);
        if (std::isnan(result)) result = 0.0f;
    }
    *static_cast<float*>(ptr) = result;
    return 1;
}

// --- programs -----------------------------------------------------------------------------

void Orvella::initPresets() {
    for (int p = 0; p < kNumPrograms; ++p) {
        OrvellaProgram& program = programs[p];
        std::memset(program.name, 0, sizeof program.name);
        const FactoryPreset& preset = kPresetData[p];
        vst_strncpy(program.name, preset.name, kProgramNameBytes - 1);
        for (const auto [k, natural] : preset.settings) {
            program.controllers[k] = MidiAssignments::kNone;
            const float h = paramManager->VSTvalueFromNaturalValue(k, natural);
            program.values[k] = (h >= 0.0f && h <= 1.0f) ? h : 0.0f;
        }
        const MIDIassignment& a = preset.assignment;
        if (a.controller > 0) program.controllers[a.parameter] = static_cast<int8_t>(a.controller);
    }
}

void Orvella::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms) return;
    curProgram = program;
    currentProgram.store(program, std::memory_order_release);
    OrvellaProgram& current = programs[program];
    for (int k = 0; k < kNumParams; ++k)
        setParameter(k, std::atomic_ref<float>(current.values[k]).load(std::memory_order_relaxed));
    for (int k = 0; k < kNumParams; ++k)
        midiAssignments.assign(
            k, std::atomic_ref<int8_t>(current.controllers[k]).load(std::memory_order_relaxed));
}

void Orvella::storeProgram(OrvellaProgram& to, const OrvellaProgram& from) {
    std::memcpy(to.name, from.name, sizeof to.name);
    for (int k = 0; k < kNumParams; ++k) {
        std::atomic_ref<float>(to.values[k]).store(from.values[k], std::memory_order_relaxed);
        std::atomic_ref<int8_t>(to.controllers[k])
            .store(from.controllers[k], std::memory_order_relaxed);
    }
}

void Orvella::setProgramName(char* name) {
    char* stored = programs[curProgram].name;
    const std::size_t length = strnlen(name, kProgramNameBytes - 1);
    std::memset(stored, 0, kProgramNameBytes);
    std::memcpy(stored, name, length);
}

void Orvella::getProgramName(char* name) {
    const char* stored = programs[curProgram].name;
    const std::size_t length = nameLength(stored);
    if (length == 4 && std::memcmp(stored, "Init", 4) == 0)
        std::snprintf(name, kVstMaxProgNameLen + 1, "Init %d", curProgram + 1);
    else
        vst_strncpy(name, stored, length);
}

bool Orvella::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index < 0 || index >= kNumPrograms) return false;
    vst_strncpy(text, programs[index].name, nameLength(programs[index].name));
    return true;
}

// A copy: the audio thread may change the programs while the host reads the chunk.
VstInt32 Orvella::getChunk(void** data, bool isPreset) {
    if (!data) return 0;
    const int first = isPreset ? curProgram : 0;
    const int count = isPreset ? 1 : kNumPrograms;
    for (int p = 0; p < count; ++p) {
        OrvellaProgram& copy = chunk[p];
        OrvellaProgram& program = programs[first + p];
        std::memcpy(copy.name, program.name, sizeof copy.name);
        for (int k = 0; k < kNumParams; ++k) {
            copy.values[k] =
                std::atomic_ref<float>(program.values[k]).load(std::memory_order_relaxed);
            copy.controllers[k] =
                std::atomic_ref<int8_t>(program.controllers[k]).load(std::memory_order_relaxed);
        }
    }
    *data = chunk;
    return static_cast<VstInt32>(count * sizeof(OrvellaProgram));
}

VstInt32 Orvella::setChunk(void* data, VstInt32 byteSize, bool isPreset) {
    if (!data) return 0;
    const int count = isPreset ? 1 : kNumPrograms;
    if (byteSize != static_cast<VstInt32>(count * sizeof(OrvellaProgram))) return 0;

    OrvellaProgram loaded[kNumPrograms];
    std::memcpy(loaded, data, static_cast<std::size_t>(byteSize));
    for (int p = 0; p < count; ++p) {
        for (float& v : loaded[p].values) v = sanitised(v);
        for (int8_t& c : loaded[p].controllers)
            if (c < 0) c = MidiAssignments::kNone;
    }
    OrvellaProgram* target = isPreset ? &programs[curProgram] : programs;
    for (int p = 0; p < count; ++p) storeProgram(target[p], loaded[p]);
    setProgram(curProgram);
    return 1;
}

// --- MIDI ---------------------------------------------------------------------------------

VstInt32 Orvella::processEvents(VstEvents* events) {
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const auto status = static_cast<unsigned char>(midi->midiData[0]);
        const auto controller = static_cast<unsigned char>(midi->midiData[1]);
        const auto value = static_cast<unsigned char>(midi->midiData[2]);
        // Data bytes above 127 are not MIDI: such a message is malformed.
        if ((status & 0xF0) == 0xB0 && controller < 128 && value < 128)
            midiController(static_cast<char>(controller), static_cast<char>(value));
    }
    return 1;
}

void Orvella::midiController(char controller, char value) {
    const auto number = static_cast<uint8_t>(controller);
    int armed = learnParameter.load(std::memory_order_acquire);
    if (armed == kNotLearning) {
        const float hostValue = static_cast<float>(static_cast<uint8_t>(value) / 127.0);
        midiAssignments.forEachOn(static_cast<int8_t>(number),
                                  [&](int parameter) { setParameter(parameter, hostValue); });
        return;
    }
    if (lastCtrl != number) {
        lastCtrl = number;
        return;
    }
    // The same controller twice in a row: assign it, unless the editor disarmed meanwhile.
    if (!learnParameter.compare_exchange_strong(armed, kNotLearning)) return;
    assignController(armed, static_cast<int8_t>(number));
    lastCtrl = 255;
    highlightControl(armed, false);
}

// Learning assigns from the audio thread and cancelling from the editor's, possibly at the
// same moment: the program stores whatever assignment won. Each writer re-reads the
// assignment after storing it and stores again if it changed meanwhile, so the last store
// always matches the last assignment, without a lock.
void Orvella::assignController(int parameter, int8_t controller) {
    midiAssignments.assign(parameter, controller);
    std::atomic_ref<int8_t> stored(
        programs[currentProgram.load(std::memory_order_acquire)].controllers[parameter]);
    for (int8_t now = midiAssignments.controllerOf(parameter);;) {
        stored.store(now, std::memory_order_seq_cst);
        const int8_t after = midiAssignments.controllerOf(parameter);
        if (after == now) return;
        now = after;
    }
}

void Orvella::handleSpecialClick(long tag) {
    if (!isParameter(tag)) return;
    const int parameter = static_cast<int>(tag);
    int armed = learnParameter.load(std::memory_order_acquire);
    for (;;) {
        if (armed == parameter) {
            // A second click on the armed control cancels and forgets its controller.
            if (!learnParameter.compare_exchange_weak(armed, kNotLearning)) continue;
            if (midiAssignments.has(parameter)) {
                assignController(parameter, MidiAssignments::kNone);
            }
            highlightControl(parameter, false);
            return;
        }
        if (!learnParameter.compare_exchange_weak(armed, parameter)) continue;
        if (armed != kNotLearning) highlightControl(armed, false);
        highlightControl(parameter, true);
        return;
    }
}

void Orvella::highlightControl(long tag, bool on) {
    if (view) view->highlightControl(tag, on);
}

// --- identity -----------------------------------------------------------------------------

bool Orvella::getEffectName(char* name) {
    vst_strncpy(name, "Orvella Phase Shifter", kVstMaxEffectNameLen);
    return true;
}

bool Orvella::getVendorString(char* text) {
    vst_strncpy(text, "Calderis, Inc.", kVstMaxVendorStrLen);
    return true;
}

bool Orvella::getProductString(char* text) {
    vst_strncpy(text, "Orvella", kVstMaxProductStrLen);
    return true;
}

VstInt32 Orvella::canDo(char* text) {
    static const char* const abilities[] = {
        "receiveVstMidiEvent", "plugAsSend", "1in1out", "1in2out", "2in2out",
        "plugAsChannelInsert"};
    for (const char* ability : abilities)
        if (std::strcmp(text, ability) == 0) return 1;
    return 0;
}
