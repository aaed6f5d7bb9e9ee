// Preset files from strangers, as `orvella-host preset show` describes them.
#include "host/HostError.h"
#include "host/PresetFile.h"

#include <cstddef>
#include <cstdint>
#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostringstream out;
    try {
        describePreset(PresetData(data, data + size), out);
    } catch (const HostError&) {
        // Refusing is the answer to most inputs.
    }
    return 0;
}
