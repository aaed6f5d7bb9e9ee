// The LV2 plug-in's reader of learn messages on arbitrary atoms. The URIs map to small
// numbers, so types and keys match often; the answer is a parameter or -1, never beyond.
#include "lv2/OrvellaPorts.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {
LV2_URID map(LV2_URID_Map_Handle, const char* uri) {
    const char* const uris[] = {LV2_ATOM__Object, LV2_ATOM__Int, LV2_ATOM__eventTransfer,
                                OrvellaPorts::kLearnUri, OrvellaPorts::kParameterUri};
    for (LV2_URID id = 0; id < 5; ++id)
        if (std::strcmp(uri, uris[id]) == 0) return id + 1;
    return 6;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const LV2_URID_Map mapping{nullptr, map};
    static const OrvellaPorts::Urids urids(&mapping);
    std::vector<std::uint64_t> aligned(size / 8 + 1); // atoms are read at eight-byte alignment
    std::memcpy(aligned.data(), data, size);
    const int parameter = OrvellaPorts::learnedParameter(
        urids, reinterpret_cast<const LV2_Atom*>(aligned.data()), static_cast<std::uint32_t>(size));
    if (parameter < -1 || parameter >= kNumParams) __builtin_trap();
    return 0;
}
