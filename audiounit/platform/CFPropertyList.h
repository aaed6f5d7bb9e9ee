#pragma once

#include "audiounit/platform/CFBase.h"
#include "audiounit/platform/CFData.h"

#include <string>

// Property lists: dictionaries, arrays, strings, numbers, truth values and data. Dates
// and other kinds the adapter never reads are left out of what is read.

// The forms a property list is stored in.
enum CFPropertyListFormat {
    kCFPropertyListXMLFormat_v1_0 = 100,
    kCFPropertyListBinaryFormat_v1_0 = 200
};

// A new value with a count of 1 from a property list in either form (as the platform's own
// reader, despite its name), or null when the bytes are not one (then errorText, when
// given, receives the parser's explanation, empty when it has none). [any thread]
CFTypeRef CFPropertyListCreateFromXMLData(const unsigned char* bytes, unsigned long size,
                                          std::string* errorText);
// The same, also telling which form was read. [any thread]
CFTypeRef CFPropertyListCreateWithData(const unsigned char* bytes, unsigned long size,
                                       CFPropertyListFormat* format, std::string* errorText);
// The XML form of a value built from the kinds above; null for anything else.
// [any thread]
CFDataRef CFPropertyListCreateXMLData(CFTypeRef value);
