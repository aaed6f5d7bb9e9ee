#pragma once

#include "audiounit/platform/CFBase.h"

#include <cstddef>
#include <vector>

// An ordered list of values, each retained while it is held.
class CFArray final : public CFObject {
public:
    CFArray() = default;
    CFArray(const CFArray&) = delete;
    CFArray& operator=(const CFArray&) = delete;
    ~CFArray() override;

    // [any thread]
    std::size_t count() const { return values.size(); }
    // Not retained for the caller; null beyond the end. [any thread]
    CFTypeRef at(std::size_t index) const {
        return index < values.size() ? values[index] : nullptr;
    }
    // Retains the value. Allocates. [main thread]
    void append(CFTypeRef value);

private:
    std::vector<CFTypeRef> values;
};

using CFArrayRef = const CFArray*;
using CFMutableArrayRef = CFArray*;

// [any thread] The array when the value is one, else null.
CFArrayRef CFArrayCast(CFTypeRef value);
