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

// Whether a sub-block starts at frame k of a call whose first one starts at frame first, 0
// to kSubBlock - 1.
bool startsSubBlock(int k, int first) {
    static_assert((kSubBlock & (kSubBlock - 1)) == 0);
    return ((k - first) & (kSubBlock - 1)) == 0;
}

// Calls frame(i) for every frame. The frames before first finish the sub-block the filters
// hold; from first on, take() starts each sub-block with the design make() prepared for it.
// The next one is prepared ahead, while this one's frames are computed: the stage designs
// then never hold the frames up.
template <class Make, class Take, class Frame>
void eachFrame(int frames, int first, Make make, Take take, Frame frame) {
    int done = std::min(first, frames);
    if (done < frames) make();
    for (int i = 0; i < done; ++i) frame(i);
    for (; done < frames; done += kSubBlock) {
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
                                int frames, int first, NextSweep nextSweep) {
    tqsp_filter_pair::Biquads highPasses(highPassA, highPassB);
    tqsp_filter_pair::Phasers phasers(phaserA, phaserB);
    const float* inB = Routing == kInB ? inR : inL;
    auto make = [&] { setSweep(nextSweep()); };
    auto take = [&] { phasers.takeDesign(); };
    if constexpr (Stereo) {
        tqsp_filter_pair::Biquads lowPasses(lowPassA, lowPassB);
        eachFrame(frames, first, make, take, [&](int i) {
            const Lanes y =
                lowPasses.process(phasers.process(highPasses.process(Lanes{inL[i], inB[i]})));
            outL[i] = y[0];
            outR[i] = y[1];
        });
    } else {
        eachFrame(frames, first, make, take, [&](int i) {
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
void Orvella::processInSeries(const float* in, float* outL, float* outR, int frames, int first,
                              NextSweep nextSweep) {
    constexpr int kLag = 2;
    float fromA[kLag]; // A's outputs not yet taken by B, by frame modulo kLag
    auto starts = [first](int k) { return startsSubBlock(k, first); };
    Sweep next{};
    for (int i = 0; i < std::min(kLag, frames); ++i) {
        if (starts(i)) {
            next = nextSweep();
            phaserA.setModulation(next.a);
            if (i == 0) phaserB.setModulation(next.b);
        }
        fromA[i] = phaserA.process(highPassA.process(in[i]));
    }
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
        // The first sub-blocks after those the lanes hold: B's may have started among A's
        // first frames, and then takes the sweep A made there.
        const int nextA = first >= kLag ? first : first + kSubBlock;
        const int nextB = first >= 1 ? first : kSubBlock;
        if (nextB < kLag) prepareB(nextB);
        prepareA(nextA);
        if (nextB >= kLag) prepareB(nextB);
        for (int i = kLag; i < frames; ++i) {
            const int j = i - kLag; // B's frame
            if (starts(i)) {
                phasers.takeDesign(0);
                prepareA(i + kSubBlock);
            } else if (starts(j) && j > 0) {
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
        if (starts(j) && j > 0) phaserB.setModulation(next.b); // not made ahead
        const float a = fromA[j % kLag];
        const float b = phaserB.process(a);
        if constexpr (Stereo)
            outL[j] = lowPassA.process(a), outR[j] = lowPassB.process(b);
        else
            outL[j] = lowPassB.process(b);
    }
}

// One input and "In B": section B and its filters rest. Section A runs alone, on the design
// its filters hold, so each sub-block's sweep is set just before its frames.
template <class NextSweep>
void Orvella::processAlone(const float* in, float* out, int frames, int first,
                           NextSweep nextSweep) {
    Sweep next{};
    eachFrame(
        frames, first, [&] { next = nextSweep(); }, [&] { setSweep(next); },
        [&](int i) { out[i] = lowPassA.process(phaserA.process(highPassA.process(in[i]))); });
}

void Orvella::readSweepSettings() {
    OrvellaParameterManager& p = *paramManager;
    SweepSettings& w = sweepSettings;
    w.depthA = p.getDSPValue(kPhaserADepth);
    w.depthB = p.getDSPValue(kPhaserBDepth);

    const bool sweepAManual = p.getNaturalValue(kPhaserASweepCtrl) != 0;
    w.wGen1A = sweepAManual ? 0.0f : 1.0f;
    w.wManA = sweepAManual ? 1.0f : 0.0f;
    const float s = p.getNaturalValue(kPhaserBSweepSync) == kReverse ? -1.0f : 1.0f;
    w.wGen1B = w.wGen2B = w.wManB = 0;
    switch (static_cast<SweepSource>(static_cast<int>(p.getNaturalValue(kPhaserBSweepCtrl)))) {
    case SweepSource::kGen1:
        w.wGen1B = s;
        break;
    case SweepSource::kGen2:
        w.wGen2B = s;
        break;
    case SweepSource::kControl:
        w.wManB = s;
        break;
    default:
        break;
    }
    w.routing = std::clamp(static_cast<int>(p.getNaturalValue(kPhaserBInput)), 0, 2);
}

void Orvella::processFrames(float** inputs, float** outputs, int frames) {
    const SweepSettings w = sweepSettings;
    const float manual = manualSweep;
    auto nextSweep = [&] {
        const float g1 = gen_LFO_dsp(&gen1);
        const float g2 = gen_LFO_dsp(&gen2);
        const float targetA = (manual * w.wManA + w.wGen1A * g1) * w.depthA;
        const float targetB = (manual * w.wManB + (g1 * w.wGen1B + g2 * w.wGen2B)) * w.depthB;
        return Sweep{mod_lag_dsp(&sweepLagA, targetA), mod_lag_dsp(&sweepLagB, targetB)};
    };
    const int routing = w.routing;
    // The grid of sub-blocks runs over the stream, not over each call, so how a host cuts the
    // stream changes nothing: the frames before the grid's next line finish the sub-block the
    // last call left open.
    const int first = (kSubBlock - subBlockFrames) % kSubBlock;
    subBlockFrames = (subBlockFrames + frames) % kSubBlock;
    const float* inL = inputs[0];
    float* outL = outputs[0];
    if (inputCount == 2) {
        if (routing == kInA)
            processSideBySide<kInA, true>(inL, nullptr, outL, outputs[1], frames, first, nextSweep);
        else if (routing == kOutA)
            processInSeries<true>(inL, outL, outputs[1], frames, first, nextSweep);
        else
            processSideBySide<kInB, true>(inL, inputs[1], outL, outputs[1], frames, first,
                                          nextSweep);
    } else {
        if (routing == kInA)
            processSideBySide<kInA, false>(inL, nullptr, outL, nullptr, frames, first, nextSweep);
        else if (routing == kOutA)
            processInSeries<false>(inL, outL, nullptr, frames, first, nextSweep);
        else
            processAlone(inL, outL, frames, first, nextSweep);
    }
}

void Orvella::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    applyPendingParameters();
    const bool stereo = inputCount == 2;
    const int frames = std::max(sampleFrames, 0);
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
