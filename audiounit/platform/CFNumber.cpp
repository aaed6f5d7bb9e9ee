#include "audiounit/platform/CFNumber.h"

CFNumberRef CFNumberCreate(std::int64_t value) {
    return new CFNumber(value);
}

CFNumberRef CFNumberCast(CFTypeRef value) {
    return dynamic_cast<CFNumberRef>(value);
}
