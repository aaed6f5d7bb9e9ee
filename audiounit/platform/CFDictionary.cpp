#include "audiounit/platform/CFDictionary.h"

CFDictionary::~CFDictionary() {
    for (const auto& [key, value] : values) CFRelease(value);
}

CFTypeRef CFDictionary::get(const std::string& key) const {
    const auto found = values.find(key);
    return found == values.end() ? nullptr : found->second;
}

void CFDictionary::set(const std::string& key, CFTypeRef value) {
    CFRetain(value);
    auto [at, inserted] = values.try_emplace(key, value);
    if (!inserted) {
        CFRelease(at->second);
        at->second = value;
    }
}

CFDictionaryRef CFDictionaryCast(CFTypeRef value) {
    return dynamic_cast<CFDictionaryRef>(value);
}
