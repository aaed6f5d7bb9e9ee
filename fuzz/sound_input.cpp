// Sound files from standard input, as `orvella-host render - OUT` reads them, to the end.
#include "host/AudioFileReader.h"
#include "host/HostError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        AudioFileReader reader(std::string(data, data + size), "standard input");
        std::vector<float> left(512), right(512);
        float* channels[] = {left.data(), right.data()};
        // A header may promise far more frames than the bytes hold; reading stops at the end.
        while (reader.read(channels, left.size()) > 0) {
        }
        // What arrived against what the header promised, read from libsndfile's log.
        static_cast<void>(reader.shortfall());
    } catch (const HostError&) {
        // Refusing is the answer to most inputs.
    }
    return 0;
}
