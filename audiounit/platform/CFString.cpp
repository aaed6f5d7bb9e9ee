#include "audiounit/platform/CFString.h"

CFStringRef CFStringCreateWithCString(const char* text) {
    return new CFString(text ? text : "");
}

CFStringRef CFStringCast(CFTypeRef value) {
    return dynamic_cast<CFStringRef>(value);
}
