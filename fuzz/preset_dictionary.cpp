// The preset dictionary loader on arbitrary ".aupreset" bytes: the property list, XML or
// binary, then the dictionary's keys and its version 0 parameter blocks, as Orvella's
// component reads them before applying anything.
#include "audiounit/AUPresetDictionary.h"
#include "audiounit/PropertyListReading.h"
#include "audiounit/platform/CFHolder.h"
#include "vstbridge/DoruvezovException.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ComponentDescription orvella{fourCharCode("aufx"), fourCharCode("TQbp"),
                                       fourCharCode("Cldr"), 0, 0};
    try {
        const CFHolder<CFObject> preset = createPropertyListFromXML(data, size);
        const AUPresetContents contents = readAUPreset(preset.get(), orvella);
        if (contents.version == 0 && contents.parameterValues.size() * 8 > size) __builtin_trap();
    } catch (const DoruvezovException&) {
    }
    return 0;
}
