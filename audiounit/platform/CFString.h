#pragma once

#include "audiounit/platform/CFBase.h"

#include <string>

// An immutable text value, held as UTF-8.
struct CFString final : CFObject {
    explicit CFString(std::string text) : text(std::move(text)) {}
    const std::string text;
};

using CFStringRef = const CFString*;

// [any thread] A new string with a count of 1; the caller releases it.
CFStringRef CFStringCreateWithCString(const char* text);
// [any thread] The string when the value is one, else null.
CFStringRef CFStringCast(CFTypeRef value);
