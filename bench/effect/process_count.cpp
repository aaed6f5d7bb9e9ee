// A fixed amount of work for instruction counting, which unlike timing is repeatable:
//   valgrind --tool=callgrind --toggle-collect='Orvella::processReplacing*'
//            build/bench/effect/orvella_effect_count [routing 0|1|2 [block size, 512]]
// Instructions per stereo frame = the collected total / 441000.
#include "effect/Orvella.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace {
VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

int main(int argc, char** argv) {
    constexpr int kFrames = 441000;
    const int block = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, kFrames) : 512;
    Orvella effect(host);
    effect.setParameter(8, argc > 1 ? float(std::atoi(argv[1])) / 2.0f : 0.0f);
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> d(-0.5f, 0.5f);
    const auto frames = static_cast<std::size_t>(block);
    std::vector<float> l(frames), r(frames), outL(frames), outR(frames);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {outL.data(), outR.data()};
    for (int done = 0; done < kFrames; done += block) {
        for (std::size_t i = 0; i < frames; ++i) l[i] = d(rng), r[i] = d(rng);
        effect.processReplacing(ins, outs, std::min(block, kFrames - done));
    }
    return outL[0] == 12345.0f; // keeps the work observable
}
