#include "audiounit/platform/CFBundleInfoDictionary.h"

#include "audiounit/platform/CFPropertyList.h"
#include "audiounit/platform/Files.h"

CFDictionaryRef CFBundleCopyInfoDictionaryInDirectory(const std::filesystem::path& bundle) {
    std::vector<unsigned char> bytes;
    if (FSReadWholeFile({bundle / "Contents" / "Info.plist"}, bytes) != noErr) return nullptr;
    CFTypeRef value = CFPropertyListCreateFromXMLData(bytes.data(), bytes.size(), nullptr);
    if (CFDictionaryRef dictionary = CFDictionaryCast(value)) return dictionary;
    CFRelease(value);
    return nullptr;
}
