#include "audiounit/platform/CFPropertyList.h"

#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFBoolean.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"
#include "audiounit/platform/CFString.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

namespace {

// Deeper nesting than any preset or information dictionary is refused rather than recursed.
constexpr int kMaxDepth = 64;

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

using Owned = CFHolder<CFObject>;

// Null for kinds that are not read (and for too deep a nesting: the caller fails).
Owned fromNode(plist_t node, int depth, bool& tooDeep) {
    if (depth > kMaxDepth) {
        tooDeep = true;
        return nullptr;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        auto dictionary = std::make_unique<CFDictionary>();
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        while (!tooDeep) {
            char* key = nullptr;
            plist_t item = nullptr;
            plist_dict_next_item(node, iter, &key, &item);
            if (!item) break;
            Owned value = fromNode(item, depth + 1, tooDeep);
            if (value && key) dictionary->set(key, value.get());
            std::free(key);
        }
        std::free(iter);
        return Owned(dictionary.release());
    }
    case PLIST_ARRAY: {
        auto array = std::make_unique<CFArray>();
        const std::uint32_t count = plist_array_get_size(node);
        for (std::uint32_t i = 0; i < count && !tooDeep; ++i) {
            Owned value = fromNode(plist_array_get_item(node, i), depth + 1, tooDeep);
            if (value) array->append(value.get());
        }
        return Owned(array.release());
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return Owned(new CFString(std::string(text ? text : "", text ? length : 0)));
    }
    case PLIST_UINT: {
        // Integers that do not fit 64 unsigned bits are kept as their two's complement: the
        // reader stores negative numbers that way.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return Owned(CFNumberCreate(static_cast<std::int64_t>(value)));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        constexpr double limit = 9.2e18;
        if (!(value > -limit && value < limit)) value = 0;
        return Owned(CFNumberCreate(static_cast<std::int64_t>(value)));
    }
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return Owned(CFBooleanCreate(value != 0));
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        const auto* begin = reinterpret_cast<const unsigned char*>(bytes);
        return Owned(CFDataCreate(begin, bytes ? length : 0));
    }
    default:
        return nullptr;
    }
}

Plist toNode(CFTypeRef value) {
    if (auto dictionary = CFDictionaryCast(value)) {
        Plist node(plist_new_dict());
        for (const auto& [key, item] : dictionary->entries()) {
            Plist child = toNode(item);
            if (!child) return nullptr;
            plist_dict_set_item(node.get(), key.c_str(), child.release());
        }
        return node;
    }
    if (auto array = CFArrayCast(value)) {
        Plist node(plist_new_array());
        for (std::size_t i = 0; i < array->count(); ++i) {
            Plist child = toNode(array->at(i));
            if (!child) return nullptr;
            plist_array_append_item(node.get(), child.release());
        }
        return node;
    }
    if (auto string = CFStringCast(value)) return Plist(plist_new_string(string->text.c_str()));
    if (auto number = CFNumberCast(value)) {
        return Plist(plist_new_uint(static_cast<std::uint64_t>(number->value)));
    }
    if (auto boolean = CFBooleanCast(value)) return Plist(plist_new_bool(boolean->value));
    if (auto data = CFDataCast(value)) {
        return Plist(
            plist_new_data(reinterpret_cast<const char*>(data->bytes.data()), data->bytes.size()));
    }
    return nullptr;
}

} // namespace

CFTypeRef CFPropertyListCreateFromXMLData(const unsigned char* bytes, unsigned long size,
                                          std::string* errorText) {
    return CFPropertyListCreateWithData(bytes, size, nullptr, errorText);
}

CFTypeRef CFPropertyListCreateWithData(const unsigned char* bytes, unsigned long size,
                                       CFPropertyListFormat* format, std::string* errorText) {
    if (errorText) errorText->clear();
    if (!bytes || size == 0 || size > std::numeric_limits<std::uint32_t>::max()) return nullptr;
    const auto* text = reinterpret_cast<const char*>(bytes);
    const auto length = static_cast<std::uint32_t>(size);
    const bool binary = plist_is_binary(text, length) != 0;
    plist_t root = nullptr;
    if (binary) {
        // The binary reader lets a dictionary's key be of another kind, which walking the
        // dictionary would abort on: the list is read back from its XML form, whose reader
        // allows keys only.
        plist_t unchecked = nullptr;
        plist_from_bin(text, length, &unchecked);
        if (!unchecked) return nullptr;
        char* xml = nullptr;
        std::uint32_t xmlLength = 0;
        plist_to_xml(unchecked, &xml, &xmlLength);
        plist_free(unchecked);
        if (!xml) return nullptr;
        plist_from_xml(xml, xmlLength, &root);
        plist_to_xml_free(xml);
    } else {
        plist_from_xml(text, length, &root);
    }
    if (!root) return nullptr;
    Plist owner(root);
    bool tooDeep = false;
    Owned value = fromNode(root, 0, tooDeep);
    if (tooDeep) {
        if (errorText) *errorText = "nesting too deep";
        return nullptr;
    }
    if (format) *format = binary ? kCFPropertyListBinaryFormat_v1_0 : kCFPropertyListXMLFormat_v1_0;
    return value.release();
}

CFDataRef CFPropertyListCreateXMLData(CFTypeRef value) {
    Plist node = toNode(value);
    if (!node) return nullptr;
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(node.get(), &xml, &length);
    if (!xml) return nullptr;
    CFDataRef data = CFDataCreate(reinterpret_cast<const unsigned char*>(xml), length);
    plist_to_xml_free(xml);
    return data;
}
