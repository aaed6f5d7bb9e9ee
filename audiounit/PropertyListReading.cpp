#include "audiounit/PropertyListReading.h"

#include "audiounit/platform/CFBoolean.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFPropertyList.h"
#include "vstbridge/DoruvezovException.h"

#include <cstdio>
#include <string>

namespace {

template <class T> const T* require(CFDictionaryRef dictionary, const char* key) {
    CFTypeRef value = dictionary->get(key);
    if (!value) throw DoruvezovException("Missing key in dictionary");
    const T* typed = dynamic_cast<const T*>(value);
    if (!typed) throw FormatException("Value in dictionary is not of expected type");
    return typed;
}

} // namespace

CFHolder<CFObject> createPropertyListFromXML(const unsigned char* bytes, unsigned long size) {
    std::string error;
    CFHolder<CFObject> value(CFPropertyListCreateFromXMLData(bytes, size, &error));
    if (value) return value;
    if (error.empty()) throw DoruvezovException("Could not create property list from XML data");
    char message[256];
    std::snprintf(message, sizeof message, "Could not create property list from XML data (%s)",
                  error.c_str());
    throw DoruvezovException(message);
}

CFDictionaryRef requireDictionary(CFDictionaryRef dictionary, const char* key) {
    return require<CFDictionary>(dictionary, key);
}

CFStringRef requireString(CFDictionaryRef dictionary, const char* key) {
    return require<CFString>(dictionary, key);
}

CFDataRef requireData(CFDictionaryRef dictionary, const char* key) {
    return require<CFData>(dictionary, key);
}

bool requireBoolean(CFDictionaryRef dictionary, const char* key) {
    return require<CFBoolean>(dictionary, key)->value;
}

std::int64_t requireNumber(CFDictionaryRef dictionary, const char* key) {
    return require<CFNumber>(dictionary, key)->value;
}
