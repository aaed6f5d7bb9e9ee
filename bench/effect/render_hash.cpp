// One hash of the effect's output over every program, rate, routing, one or two inputs, and
// block pattern (whole 512-frame blocks, or odd sizes in place), with silence and parameter
// changes on the way. A change that must keep the output to the bit keeps this line:
//   build/bench/effect/orvella_render_hash [file]   (file: the raw samples, for comparing)
#include "effect/Orvella.h"
#include "params/OrvellaParameterManager.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

namespace {
constexpr int kFrames = 30000;
constexpr uint64_t kHashStart = 14695981039346656037u;
bool oneInput = false;

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterPinConnected) return oneInput && index == 1; // 0: connected
    return 0;
}

uint64_t fnv1a(uint64_t h, const std::vector<float>& v) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(v.data());
    for (std::size_t i = 0; i < v.size() * sizeof(float); ++i) h = (h ^ bytes[i]) * 1099511628211u;
    return h;
}

// Left and right output of one case.
std::pair<std::vector<float>, std::vector<float>> render(float rate, int program, int routing,
                                                         bool inPlace) {
    Orvella effect(host);
    effect.setSampleRate(rate);
    effect.setProgram(program);
    effect.setParameter(kPhaserBInput, float(routing) / 2.0f);
    effect.suspend();
    effect.resume();
    std::mt19937 rng(unsigned(program * 7 + routing));
    std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
    std::vector<float> inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames);
    for (int i = 0; i < kFrames; ++i) inL[i] = noise(rng), inR[i] = noise(rng);
    std::fill(&inL[12000], &inL[20000], 0.0f);
    std::fill(&inR[12000], &inR[20000], 0.0f);
    const int oddSizes[] = {1, 7, 333, 64, 10, 2, 9, 17, 18, 3};
    for (int done = 0, block = 0; done < kFrames; ++block) {
        const int n = std::min(inPlace ? oddSizes[block % 10] : 512, kFrames - done);
        if (done > 15000 && done < 15600) { // every sweep source, B on and off
            effect.setParameter(kSweepControl, float(done % 1000) / 1000.0f);
            effect.setParameter(kPhaserBSweepCtrl, float(block % 3) / 2.0f);
            effect.setParameter(kPhaserASweepCtrl, float(block % 2));
            effect.setParameter(kPhaserBActive, float(block % 2));
        }
        float* ins[] = {&inL[done], &inR[done]};
        float* outs[] = {&outL[done], &outR[done]};
        if (inPlace) {
            std::copy_n(ins[0], n, outs[0]);
            std::copy_n(ins[1], n, outs[1]);
        }
        effect.processReplacing(inPlace ? outs : ins, outs, n);
        done += n;
    }
    return {outL, outR};
}
} // namespace

int main(int argc, char** argv) {
    FILE* raw = argc > 1 ? std::fopen(argv[1], "wb") : nullptr;
    uint64_t total = kHashStart;
    for (float rate : {44100.0f, 96000.0f})
        for (int program = 0; program < kNumPrograms; ++program)
            for (int routing = 0; routing < 3; ++routing)
                for (bool one : {false, true})
                    for (bool inPlace : {false, true}) {
                        oneInput = one;
                        const auto [left, right] = render(rate, program, routing, inPlace);
                        if (raw) {
                            std::fwrite(left.data(), sizeof(float), left.size(), raw);
                            std::fwrite(right.data(), sizeof(float), right.size(), raw);
                        }
                        uint64_t h = fnv1a(kHashStart, left);
                        if (!one) h = fnv1a(h, right);
                        total = (total ^ h) * 1099511628211u;
                    }
    std::printf("%016llx\n", static_cast<unsigned long long>(total));
    if (raw) std::fclose(raw);
}
