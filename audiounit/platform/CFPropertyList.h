#pragma once

#include "audiounit/platform/CFBase.h"
#include "audiounit/platform/CFData.h"

#include <string>

// XML property lists: dictionaries, arrays, strings, numbers, truth values and data. Dates
// and other kinds the adapter never reads are left out of what is read.

// A new value with a count of 1, or null when the bytes are not an XML property list (then
// errorText, when given, receives the parser's explanation, empty when it has none).
// [any thread]
CFTypeRef CFPropertyListCreateFromXMLData(const unsigned char* bytes, unsigned long size,
                                          std::string* errorText);
// The XML form of a value built from the kinds above; null for anything else.
// [any thread]
CFDataRef CFPropertyListCreateXMLData(CFTypeRef value);
