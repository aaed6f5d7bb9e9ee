#pragma once

#include "audiounit/platform/CFDictionary.h"

#include <filesystem>

// The information dictionary of the bundle in a folder (its Contents/Info.plist): a new
// dictionary with a count of 1, or null when the file is missing or is not a property list
// holding a dictionary. [main thread] may block on the file system.
CFDictionaryRef CFBundleCopyInfoDictionaryInDirectory(const std::filesystem::path& bundle);
