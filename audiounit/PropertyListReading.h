#pragma once

#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFString.h"

#include <cstdint>

// Reading the adapter's property lists: configuration, factory presets and preset
// dictionaries. Every failure is thrown with the adapter's own message. [main thread]

// The parsed value; throws DoruvezovException "Could not create property list from XML
// data" (with the parser's explanation in parentheses when it gives one).
CFHolder<CFObject> createPropertyListFromXML(const unsigned char* bytes, unsigned long size);

// The value under key, not retained for the caller. A missing key throws
// DoruvezovException "Missing key in dictionary", a value of another kind FormatException
// "Value in dictionary is not of expected type".
CFDictionaryRef requireDictionary(CFDictionaryRef dictionary, const char* key);
CFStringRef requireString(CFDictionaryRef dictionary, const char* key);
CFDataRef requireData(CFDictionaryRef dictionary, const char* key);
bool requireBoolean(CFDictionaryRef dictionary, const char* key);
std::int64_t requireNumber(CFDictionaryRef dictionary, const char* key);
