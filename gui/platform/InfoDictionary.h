#pragma once

#include <cstddef>
#include <string>

namespace GUI::platform {

// The text stored under `key` at the top level of a property list file (XML or binary);
// empty when the file, the key or a text value is missing. [ui thread]
std::string readInfoString(const std::string& plistPath, const std::string& key);
// The same from a property list held in memory.
std::string readInfoString(const char* data, std::size_t size, const std::string& key);

} // namespace GUI::platform
