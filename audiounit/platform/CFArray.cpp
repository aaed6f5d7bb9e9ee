#include "audiounit/platform/CFArray.h"

CFArray::~CFArray() {
    for (CFTypeRef value : values) CFRelease(value);
}

void CFArray::append(CFTypeRef value) {
    values.push_back(CFRetain(value));
}

CFArrayRef CFArrayCast(CFTypeRef value) {
    return dynamic_cast<CFArrayRef>(value);
}
