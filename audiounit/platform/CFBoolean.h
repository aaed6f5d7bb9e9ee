#pragma once

#include "audiounit/platform/CFBase.h"

// An immutable truth value.
struct CFBoolean final : CFObject {
    explicit CFBoolean(bool value) : value(value) {}
    const bool value;
};

using CFBooleanRef = const CFBoolean*;

// [any thread] A new truth value with a count of 1; the caller releases it.
CFBooleanRef CFBooleanCreate(bool value);
// [any thread] The truth value when the value is one, else null.
CFBooleanRef CFBooleanCast(CFTypeRef value);
