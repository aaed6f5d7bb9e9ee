#pragma once

#include "audiounit/platform/CFBase.h"
#include "audiounit/platform/Files.h"

#include <vector>

// The files the adapter reads whole and the property lists it writes.
// Platform failures throw MacOSException with the platform's code. [main thread]

// The whole content of a file.
std::vector<unsigned char> loadFromFile(const FSRef& file);
// The XML form of a property list, from the start of the file.
void saveProperties(CFTypeRef propertyList, const FSRef& file);
