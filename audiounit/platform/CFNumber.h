#pragma once

#include "audiounit/platform/CFBase.h"

#include <cstdint>

// An immutable integer value; property lists' integers and reals both read as one.
struct CFNumber final : CFObject {
    explicit CFNumber(std::int64_t value) : value(value) {}
    const std::int64_t value;
};

using CFNumberRef = const CFNumber*;

// [any thread] A new number with a count of 1; the caller releases it.
CFNumberRef CFNumberCreate(std::int64_t value);
// [any thread] The number when the value is one, else null.
CFNumberRef CFNumberCast(CFTypeRef value);
