#pragma once

#include "audiounit/platform/CFBase.h"

#include <vector>

// An immutable run of bytes.
struct CFData final : CFObject {
    explicit CFData(std::vector<unsigned char> bytes) : bytes(std::move(bytes)) {}
    const std::vector<unsigned char> bytes;
};

using CFDataRef = const CFData*;

// [any thread] A new copy of size bytes with a count of 1; the caller releases it.
CFDataRef CFDataCreate(const unsigned char* bytes, unsigned long size);
// [any thread] The data when the value is one, else null.
CFDataRef CFDataCast(CFTypeRef value);
