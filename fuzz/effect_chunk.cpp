// The chunk reader: whatever bytes a host hands to effSetChunk, as one program (first byte
// odd) or as the bank, then used as a host would use them: processed, shown and saved.
#include "effect/Orvella.h"

#include <cstdint>
#include <vector>

namespace {
VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Orvella effect(host);
    if (size == 0) return 0;
    // A copy of exactly the bytes given, so reading past them is caught.
    std::vector<uint8_t> chunk(data + 1, data + size);
    effect.setChunk(chunk.data(), static_cast<VstInt32>(chunk.size()), (data[0] & 1) != 0);

    std::vector<float> left(64, 0.25f), right(64, -0.25f);
    float* buffers[] = {left.data(), right.data()};
    effect.processReplacing(buffers, buffers, 64);
    for (VstInt32 index = 0; index < kNumParams; ++index) {
        std::vector<char> text(kVstMaxParamStrLen + 1);
        effect.getParameterDisplay(index, text.data());
    }
    std::vector<char> name(kVstMaxProgNameLen + 1);
    effect.getProgramName(name.data());
    void* saved = nullptr;
    effect.getChunk(&saved, (data[0] & 1) != 0);
    return 0;
}
