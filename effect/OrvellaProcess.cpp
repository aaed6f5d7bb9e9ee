// The audio path: per eight-sample sub-block the generators and smoothers step and the
// sweep moves; per sample the audio passes the high pass, a section and the low pass
// along the routing of "Ph B Input".
#include "effect/Orvella.h"

#include "dsp/tqsp_filter_pair.h"
#include "params/OrvellaParameterManager.h"

#include <algorithm>
#include <cmath>

namespace {
// Positions in the value lists of "Ph B Input", "Ph B Swp Ctrl" and "Ph B Swp Sync".
enum Routing { kInA = 0, kOutA = 1, kInB = 2 };
enum class SweepSource { kGen1 = 0, kGen2 = 1, kControl = 2 };
constexpr float kReverse = 1.0f;
constexpr int kSubBlock = 8;
// Far above any signal a host sends (+100 dB over full scale): beyond it, or not finite, a
// sample left in the filters would never leave them.
constexpr float kAbsurd = 1e5f;

bool absurd(float x) {
    return !(std::fabs(x) < kAbsurd);
}

using Lanes = tqsp_filter_pair::Lanes;

// Calls frame(i) for every frame, in sub-blocks counted from the first frame. take() starts
// each sub-block with the design make() prepared for it; the next one is prepared ahead,
// while this one's frames are computed: the stage designs then never hold the frames up.
template <class Make, class Take, class Frame>
void eachFrame(int frames, Make make, Take take, Frame frame) {
    make();
    for (int done = 0; done < frames; done += kSubBlock) {
        take();
        if (done + kSubBlock < frames) make();
        const int end = std::min(done + kSubBlock, frames);
        for (int i = done; i < end; ++i) frame(i);
    }
}
} // namespace

void Orvella::setSweep(Sweep s) {
    phaserA.setModulation(s.a);
    phaserB.setModulation(s.b);
}

// Sections A and B are independent: they run side by side in vector lanes, bit for bit as
// each would alone, the whole path of a frame at a time. In every routing a frame's inputs
// are read before its outputs are written: the host's buffers may be the same memory.
template <int Routing, bool Stereo, class NextSweep>
void Orvella::processSideBySide(const float* inL, const float* inR, float* outL, float* outR,
                                int frames, NextSweep nextSweep) {
    tqsp_filter_pair::Biquads highPasses(highPassA, highPassB);
    tqsp_filter_pair::Phasers phasers(phaserA, phaserB);
    const float* inB = Routing == kInB ? inR : inL;
    auto make = [&] { setSweep(nextSweep()); };
    auto take = [&] { phasers.takeDesign(); };
    if constexpr (Stereo) {
        tqsp_filter_pair::Biquads lowPasses(lowPassA, lowPassB);
        eachFrame(frames, make, take, [&](int i) {
            const Lanes y =
                lowPasses.process(phasers.process(highPasses.process(Lanes{inL[i], inB[i]})));
            outL[i] = y[0];
            outR[i] = y[1];
        });
    } else {
        eachFrame(frames, make, take, [&](int i) {
            const Lanes y = phasers.process(highPasses.process(Lanes{inL[i], inL[i]}));
            outL[i] = lowPassA.process(y[0] + y[1]); // the plain sum, not halved
        });
    }
}

// Section B takes section A's output before A's low pass. B runs two frames behind A, so
// the two still share the lanes and A's output is ready well before B needs it. B's
// sub-blocks, and the sweep it takes at each, start two frames after A's. As side by side,
// each section's next design is made once the lanes hold its current one; only a design B
// needs among the last two frames, which it runs alone, is made when due.
template <bool Stereo, class NextSweep>
void Orvella::processInSeries(const float* in, float* outL, float* outR, int frames,
                              NextSweep nextSweep) {
    constexpr int kLag = 2;
    float fromA[kLag]; // A's outputs not yet taken by B, by frame modulo kLag
    Sweep next = nextSweep();
    setSweep(next);
    for (int i = 0; i < std::min(kLag, frames); ++i)
        fromA[i] = phaserA.process(highPassA.process(in[i]));
    // The sweep for the sub-block starting at A's frame i, made ahead: A's design at once,
    // B's once B has taken its current one at its frame i - kSubBlock.
    auto prepareA = [&](int i) {
        if (i >= frames) return;
        next = nextSweep();
        phaserA.setModulation(next.a);
    };
    auto prepareB = [&](int j) {
        if (j + kLag < frames) phaserB.setModulation(next.b);
    };
    auto run = [&](auto output) {
        tqsp_filter_pair::Phasers phasers(phaserA, phaserB);
        prepareA(kSubBlock);
        prepareB(kSubBlock);
        for (int i = kLag; i < frames; ++i) {
            const int j = i - kLag; // B's frame
            if (i % kSubBlock == 0) {
                phasers.takeDesign(0);
                prepareA(i + kSubBlock);
            } else if (j % kSubBlock == 0 && j > 0) {
                phasers.takeDesign(1);
                prepareB(j + kSubBlock);
            }
            float& a = fromA[i % kLag];
            const Lanes y = phasers.process(Lanes{highPassA.process(in[i]), a});
            output(j, a, y[1]);
            a = y[0];
        }
    };
    if constexpr (Stereo) {
        tqsp_filter_pair::Biquads lowPasses(lowPassA, lowPassB);
        run([&](int j, float fromA, float fromB) {
            const Lanes y = lowPasses.process(Lanes{fromA, fromB});
            outL[j] = y[0];
            outR[j] = y[1];
        });
    } else {
        run([&](int j, float, float fromB) { outL[j] = lowPassB.process(fromB); });
    }
    for (int j = std::max(frames - kLag, 0); j < frames; ++j) {
        if (j % kSubBlock == 0 && j > 0) phaserB.setModulation(next.b); // not made ahead
        const float a = fromA[j % kLag];
        const float b = phaserB.process(a);
        if constexpr (Stereo)
            outL[j] = lowPassA.process(a), outR[j] = lowPassB.process(b);
        else
            outL[j] = lowPassB.process(b);
    }
}

// One input and "In B": section B and its filters rest. Section A runs alone, on the design
// its filters hold, so each sub-block's sweep comes just before its frames.
template <class NextSweep>
void Orvella::processAlone(const float* in, float* out, int frames, NextSweep nextSweep) {
    for (int done = 0; done < frames; done += kSubBlock) {
        setSweep(nextSweep());
        for (int i = done; i < std::min(done + kSubBlock, frames); ++i)
            out[i] = lowPassA.process(phaserA.process(highPassA.process(in[i])));
    }
}

void Orvella::processFrames(float** inputs, float** outputs, int frames) {
    OrvellaParameterManager& p = *paramManager;
    const float depthA = p.getDSPValue(kPhaserADepth);
    const float depthB = p.getDSPValue(kPhaserBDepth);

    const bool sweepAManual = p.getNaturalValue(kPhaserASweepCtrl) != 0;
    const float wGen1A = sweepAManual ? 0.0f : 1.0f;
    const float wManA = sweepAManual ? 1.0f : 0.0f;
    const float s = p.getNaturalValue(kPhaserBSweepSync) == kReverse ? -1.0f : 1.0f;
    float wGen1B = 0, wGen2B = 0, wManB = 0;
    switch (static_cast<SweepSource>(static_cast<int>(p.getNaturalValue(kPhaserBSweepCtrl)))) {
    case SweepSource::kGen1:
        wGen1B = s;
        break;
    case SweepSource::kGen2:
        wGen2B = s;
        break;
    case SweepSource::kControl:
        wManB = s;
        break;
    default:
        break;
    }
    const float manual = manualSweep;
    auto nextSweep = [&] {
        const float g1 = gen_LFO_dsp(&gen1);
        const float g2 = gen_LFO_dsp(&gen2);
        const float targetA = (manual * wManA + wGen1A * g1) * depthA;
        const float targetB = (manual * wManB + (g1 * wGen1B + g2 * wGen2B)) * depthB;
        return Sweep{mod_lag_dsp(&sweepLagA, targetA), mod_lag_dsp(&sweepLagB, targetB)};
    };
    if (frames == 0) { // a call with no frames still makes one sub-block: the sweep steps once
        setSweep(nextSweep());
        return;
    }

    const int routing = std::clamp(static_cast<int>(p.getNaturalValue(kPhaserBInput)), 0, 2);
    const float* inL = inputs[0];
    float* outL = outputs[0];
    if (inputCount == 2) {
        if (routing == kInA)
            processSideBySide<kInA, true>(inL, nullptr, outL, outputs[1], frames, nextSweep);
        else if (routing == kOutA)
            processInSeries<true>(inL, outL, outputs[1], frames, nextSweep);
        else
            processSideBySide<kInB, true>(inL, inputs[1], outL, outputs[1], frames, nextSweep);
    } else {
        if (routing == kInA)
            processSideBySide<kInA, false>(inL, nullptr, outL, nullptr, frames, nextSweep);
        else if (routing == kOutA)
            processInSeries<false>(inL, outL, nullptr, frames, nextSweep);
        else
            processAlone(inL, outL, frames, nextSweep);
    }
}

void Orvella::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    applyPendingParameters();
    const bool stereo = inputCount == 2;
    const int frames = std::max(sampleFrames, 0);
    // Silence rather than nothing: a host that calls while suspended would otherwise play
    // whatever its buffers held.
    if (suspended) {
        std::fill_n(outputs[0], frames, 0.0f);
        if (stereo) std::fill_n(outputs[1], frames, 0.0f);
        return;
    }
    processFrames(inputs, outputs, frames);
    // Every filter's memory reaches the last output frame within the block.
    if (frames > 0 &&
        (absurd(outputs[0][frames - 1]) || (stereo && absurd(outputs[1][frames - 1]))))
        clearFilters();
}
