// The parameter map reader on arbitrary "SYParameters.txt" bytes. The first byte chooses
// the effect's parameter count, so ids at and beyond it are exercised too.
#include "audiounit/ParameterMap.h"
#include "vstbridge/DoruvezovException.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    ParameterMap map(data[0]);
    try {
        map.read(data + 1, data + size);
    } catch (const DoruvezovException&) {
    }
    for (UInt32 id : map.mappedIds()) {
        const AudioUnitParameterInfo* info = map.info(int(id));
        if (!info || info->name[sizeof info->name - 1] != 0) __builtin_trap();
        if (CFArrayRef list = map.valueStrings(int(id))) {
            for (std::size_t i = 0; i < list->count(); ++i) {
                if (!CFStringCast(list->at(i))) __builtin_trap();
            }
        }
    }
    return 0;
}
