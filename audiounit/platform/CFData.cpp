#include "audiounit/platform/CFData.h"

CFDataRef CFDataCreate(const unsigned char* bytes, unsigned long size) {
    return new CFData(std::vector<unsigned char>(bytes, bytes + size));
}

CFDataRef CFDataCast(CFTypeRef value) {
    return dynamic_cast<CFDataRef>(value);
}
