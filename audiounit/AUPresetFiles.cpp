#include "audiounit/AUPresetFiles.h"

#include "audiounit/platform/CFData.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFPropertyList.h"
#include "vstbridge/DoruvezovException.h"

std::vector<unsigned char> loadFromFile(const FSRef& file) {
    std::vector<unsigned char> bytes;
    if (OSStatus status = FSReadWholeFile(file, bytes)) throw MacOSException(status);
    return bytes;
}

void saveProperties(CFTypeRef propertyList, const FSRef& file) {
    CFHolder<CFData> xml(CFPropertyListCreateXMLData(propertyList));
    if (!xml) throw MacOSException(paramErr);
    if (OSStatus status = FSWriteWholeFile(file, xml->bytes.data(), xml->bytes.size())) {
        throw MacOSException(status);
    }
}
