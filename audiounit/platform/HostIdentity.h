#pragma once

#include <string>

// What the running host says of itself, as its main bundle's identifier and short version
// string would. Unset until the host (or a test) sets it.
struct HostIdentity {
    std::string identifier;   // "CFBundleIdentifier"
    std::string shortVersion; // "CFBundleShortVersionString"
};

// [main thread]
void SetHostIdentity(const HostIdentity& identity);
// False, and identity untouched, while none is set. [main thread]
bool GetHostIdentity(HostIdentity& identity);
// [main thread]
void ClearHostIdentity();
