#include "audiounit/platform/CFBoolean.h"

CFBooleanRef CFBooleanCreate(bool value) {
    return new CFBoolean(value);
}

CFBooleanRef CFBooleanCast(CFTypeRef value) {
    return dynamic_cast<CFBooleanRef>(value);
}
