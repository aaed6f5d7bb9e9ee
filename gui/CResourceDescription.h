#pragma once

#include <cstdint>
#include <string>

namespace GUI {

// Names a bitmap resource either by a numeric id or by its file name.
struct CResourceDescription {
    enum Type { kIntegerType, kStringType };

    Type type = kIntegerType;
    int32_t id = 0;
    std::string name;

    CResourceDescription(int32_t resourceId) : type(kIntegerType), id(resourceId) {}
    CResourceDescription(const char* resourceName) : type(kStringType), name(resourceName) {}
};

} // namespace GUI
