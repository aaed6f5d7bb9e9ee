#pragma once

#include <string>

namespace GUI::platform {

// The text stored under `key` at the top level of a property list file (XML or binary);
// empty when the file, the key or a text value is missing. [ui thread]
std::string readInfoString(const std::string& plistPath, const std::string& key);

} // namespace GUI::platform
