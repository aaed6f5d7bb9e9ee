#include "gui/platform/InfoDictionary.h"

#include <plist/plist.h>

#include <cstdlib>
#include <fstream>
#include <memory>

namespace GUI::platform {

namespace {
// A bundle's information dictionary is a few kilobytes; anything far larger is not one.
constexpr std::streamsize kMaxInfoSize = 1 << 20;
} // namespace

std::string readInfoString(const std::string& plistPath, const std::string& key) {
    std::ifstream file(plistPath, std::ios::binary | std::ios::ate);
    if (!file) return {};
    const std::streamsize length = file.tellg();
    if (length <= 0 || length > kMaxInfoSize) return {};
    std::string bytes(size_t(length), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), length)) return {};
    return readInfoString(bytes.data(), bytes.size(), key);
}

std::string readInfoString(const char* data, std::size_t size, const std::string& key) {
    if (size == 0 || size > std::size_t(kMaxInfoSize)) return {};
    plist_t root = nullptr;
    plist_from_memory(data, uint32_t(size), &root);
    std::unique_ptr<void, void (*)(plist_t)> owner(root, &plist_free);
    if (!root || plist_get_node_type(root) != PLIST_DICT) return {};
    plist_t node = plist_dict_get_item(root, key.c_str());
    if (!node || plist_get_node_type(node) != PLIST_STRING) return {};
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string value = text ? text : "";
    std::free(text);
    return value;
}

} // namespace GUI::platform
