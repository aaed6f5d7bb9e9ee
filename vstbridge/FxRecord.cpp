#include "vstbridge/FxRecord.h"

#include <bit>
#include <cctype>
#include <cstring>

std::int32_t fxRead(const unsigned char* at) {
    return static_cast<std::int32_t>(std::uint32_t(at[0]) << 24 | std::uint32_t(at[1]) << 16 |
                                     std::uint32_t(at[2]) << 8 | std::uint32_t(at[3]));
}

float fxReadFloat(const unsigned char* at) {
    return std::bit_cast<float>(fxRead(at));
}

unsigned char* fxWrite(unsigned char* at, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) *at++ = static_cast<unsigned char>(bits >> shift);
    return at;
}

unsigned char* fxWriteFloat(unsigned char* at, float value) {
    return fxWrite(at, std::bit_cast<std::int32_t>(value));
}

unsigned char* fxWriteHeader(unsigned char* at, VstInt32 kind, unsigned long total,
                             VstInt32 uniqueId, VstInt32 version, VstInt32 count) {
    at = fxWrite(at, kFxChunkMagic);
    at = fxWrite(at, static_cast<std::int32_t>(total - 8));
    at = fxWrite(at, kind);
    at = fxWrite(at, 1);
    at = fxWrite(at, uniqueId);
    at = fxWrite(at, version);
    return fxWrite(at, count);
}

unsigned char* fxWriteName(unsigned char* at, const char* name) {
    std::memset(at, 0, kFxNameField);
    std::strncpy(reinterpret_cast<char*>(at), name, kFxNameLength);
    return at + kFxNameField;
}

void fxReadName(const unsigned char* at, char* name) {
    std::strncpy(name, reinterpret_cast<const char*>(at), kFxNameLength);
    name[kFxNameLength] = 0;
}

std::string fxCodeText(VstInt32 code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<unsigned char>((static_cast<std::uint32_t>(code) >> shift));
        if (!std::isprint(c)) return std::to_string(code);
        text += static_cast<char>(c);
    }
    return text;
}
