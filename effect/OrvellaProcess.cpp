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
} // namespace

namespace {
// Runs one filter over a sub-block; each filter keeps its own state and sees only its own
// signal, so a chain run filter by filter gives the same samples as one run sample by sample.
template <class Filter> void run(Filter& filter, const float* in, float* out, int n) {
    for (int i = 0; i < n; ++i) out[i] = filter.process(in[i]);
}
} // namespace

// Where sections A and B are independent they run side by side in vector lanes, bit for bit
// as each would alone. Results gather in local arrays and are copied out at the end: the
// host's buffers may be the same memory, and every input is read before an output is written.
template <int Routing, bool Stereo>
void Orvella::processSubBlock(const float* inL, const float* inR, float* outL, float* outR, int n) {
    float a[kSubBlock], b[kSubBlock];
    if constexpr (Routing == kOutA) {
        // Section B takes section A's output before A's low pass: a serial chain.
        run(highPassA, inL, a, n);
        tqsp_filter_pair::cascade(phaserA, phaserB, a, a, b, n);
        if constexpr (Stereo) {
            tqsp_filter_pair::process(lowPassA, lowPassB, a, b, a, b, n);
        } else {
            run(lowPassB, b, a, n);
        }
    } else if constexpr (!Stereo && Routing == kInB) {
        // One input and "In B": section B and its filters rest.
        run(highPassA, inL, a, n);
        run(phaserA, a, a, n);
        run(lowPassA, a, a, n);
    } else {
        tqsp_filter_pair::process(highPassA, highPassB, inL, Stereo && Routing == kInB ? inR : inL,
                                  a, b, n);
        tqsp_filter_pair::process(phaserA, phaserB, a, b, a, b, n);
        if constexpr (Stereo) {
            tqsp_filter_pair::process(lowPassA, lowPassB, a, b, a, b, n);
        } else {
            for (int i = 0; i < n; ++i) a[i] += b[i]; // the plain sum, not halved
            run(lowPassA, a, a, n);
        }
    }
    std::copy_n(a, n, outL);
    if constexpr (Stereo) std::copy_n(b, n, outR);
}

template <bool Stereo>
void Orvella::processRouted(int routing, const float* inL, const float* inR, float* outL,
                            float* outR, int n) {
    switch (routing) {
    case kInA:
        processSubBlock<kInA, Stereo>(inL, inR, outL, outR, n);
        break;
    case kOutA:
        processSubBlock<kOutA, Stereo>(inL, inR, outL, outR, n);
        break;
    default:
        processSubBlock<kInB, Stereo>(inL, inR, outL, outR, n);
        break;
    }
}

void Orvella::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    applyPendingParameters();
    OrvellaParameterManager& p = *paramManager;
    const float depthA = p.getDSPValue(kPhaserADepth);
    const float depthB = p.getDSPValue(kPhaserBDepth);
    const bool stereo = inputCount == 2;
    const int frames = std::max(sampleFrames, 0);
    if (suspended) {
        std::fill_n(outputs[0], frames, 0.0f);
        if (stereo) std::fill_n(outputs[1], frames, 0.0f);
        return;
    }

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

    int done = 0;
    do { // a call with no frames still makes one sub-block: the sweep steps once
        const int n = std::min(kSubBlock, frames - done);
        const float g1 = gen_LFO_dsp(&gen1);
        const float g2 = gen_LFO_dsp(&gen2);
        const float targetA = (manual * wManA + wGen1A * g1) * depthA;
        phaserA.setModulation(mod_lag_dsp(&sweepLagA, targetA));
        const float targetB = (manual * wManB + (g1 * wGen1B + g2 * wGen2B)) * depthB;
        phaserB.setModulation(mod_lag_dsp(&sweepLagB, targetB));

        const int routing = std::clamp(static_cast<int>(p.getNaturalValue(kPhaserBInput)), 0, 2);
        const float* inL = inputs[0] + done;
        float* outL = outputs[0] + done;
        if (stereo)
            processRouted<true>(routing, inL, routing == kInB ? inputs[1] + done : nullptr, outL,
                                outputs[1] + done, n);
        else
            processRouted<false>(routing, inL, nullptr, outL, nullptr, n);
        done += n;
    } while (done < frames);

    // Every filter's memory reaches the last output frame within the block.
    if (frames > 0 &&
        (absurd(outputs[0][frames - 1]) || (stereo && absurd(outputs[1][frames - 1]))))
        clearFilters();
}
