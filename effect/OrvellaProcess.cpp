// The audio path: per eight-sample sub-block the generators and smoothers step and the
// sweep moves; per sample the audio passes the high pass, a section and the low pass
// along the routing of "Ph B Input".
#include "effect/Orvella.h"

#include "params/OrvellaParameterManager.h"

#include <algorithm>

namespace {
enum Routing { kInA = 0, kOutA = 1, kInB = 2 };
constexpr int kSubBlock = 8;
} // namespace

template <int Routing, bool Stereo>
void Orvella::processSubBlock(const float* inL, const float* inR, float* outL, float* outR, int n) {
    for (int i = 0; i < n; ++i) {
        // Every input of the frame is read before an output is written: the buffers may
        // be the same memory.
        const float x = inL[i];
        if constexpr (Stereo) {
            if constexpr (Routing == kOutA) {
                const float a = phaserA.process(highPassA.process(x));
                outL[i] = lowPassA.process(a);
                outR[i] = lowPassB.process(phaserB.process(a));
            } else {
                const float y = Routing == kInB ? inR[i] : x;
                outL[i] = lowPassA.process(phaserA.process(highPassA.process(x)));
                outR[i] = lowPassB.process(phaserB.process(highPassB.process(y)));
            }
        } else {
            if constexpr (Routing == kInA) {
                const float a = phaserA.process(highPassA.process(x));
                const float b = phaserB.process(highPassB.process(x));
                outL[i] = lowPassA.process(a + b);
            } else if constexpr (Routing == kOutA) {
                outL[i] = lowPassB.process(phaserB.process(phaserA.process(highPassA.process(x))));
            } else {
                outL[i] = lowPassA.process(phaserA.process(highPassA.process(x)));
            }
        }
    }
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
    OrvellaParameterManager& p = *paramManager;
    const float depthA = p.getDSPValue(kPhaserADepth);
    const float depthB = p.getDSPValue(kPhaserBDepth);
    if (suspended) return;

    const bool sweepAManual = p.getNaturalValue(kPhaserASweepCtrl) != 0;
    const float wGen1A = sweepAManual ? 0.0f : 1.0f;
    const float wManA = sweepAManual ? 1.0f : 0.0f;
    const float s = p.getNaturalValue(kPhaserBSweepSync) == 1.0f ? -1.0f : 1.0f;
    float wGen1B = 0, wGen2B = 0, wManB = 0;
    switch (static_cast<int>(p.getNaturalValue(kPhaserBSweepCtrl))) {
    case 0:
        wGen1B = s;
        break;
    case 1:
        wGen2B = s;
        break;
    case 2:
        wManB = s;
        break;
    default:
        break;
    }
    const float manual = manualSweep.load(std::memory_order_relaxed);
    const bool stereo = inputCount == 2;
    const int frames = std::max(sampleFrames, 0);

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
}
