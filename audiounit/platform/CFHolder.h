#pragma once

#include "audiounit/platform/CFBase.h"

#include <memory>

// Owns one reference to a counted value and releases it when dropped.
struct CFReleaser {
    void operator()(CFTypeRef object) const { CFRelease(object); }
};

template <class T> using CFHolder = std::unique_ptr<const T, CFReleaser>;
