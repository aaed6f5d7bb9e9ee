#include "audiounit/platform/CFBase.h"

CFTypeRef CFRetain(CFTypeRef object) {
    if (object) object->retainCount.fetch_add(1, std::memory_order_relaxed);
    return object;
}

void CFRelease(CFTypeRef object) {
    if (object && object->retainCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete object;
}

long CFGetRetainCount(CFTypeRef object) {
    return object ? object->retainCount.load(std::memory_order_relaxed) : 0;
}
