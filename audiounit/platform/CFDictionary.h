#pragma once

#include "audiounit/platform/CFBase.h"

#include <map>
#include <string>

// Values by text key, each retained while it is held; keys iterate in sorted order.
class CFDictionary final : public CFObject {
public:
    using Entries = std::map<std::string, CFTypeRef>;

    CFDictionary() = default;
    CFDictionary(const CFDictionary&) = delete;
    CFDictionary& operator=(const CFDictionary&) = delete;
    ~CFDictionary() override;

    // Not retained for the caller; null when absent. [any thread]
    CFTypeRef get(const std::string& key) const;
    // Retains the value and releases the one it replaces. Allocates. [main thread]
    void set(const std::string& key, CFTypeRef value);
    // [any thread]
    const Entries& entries() const { return values; }

private:
    Entries values;
};

using CFDictionaryRef = const CFDictionary*;
using CFMutableDictionaryRef = CFDictionary*;

// [any thread] The dictionary when the value is one, else null.
CFDictionaryRef CFDictionaryCast(CFTypeRef value);
