#include "audiounit/platform/Components.h"

#include "audiounit/platform/CFArray.h"
#include "audiounit/platform/CFBundle.h"
#include "audiounit/platform/CFBundleInfoDictionary.h"
#include "audiounit/platform/CFDictionary.h"
#include "audiounit/platform/CFHolder.h"
#include "audiounit/platform/CFNumber.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct ComponentRecord {
    std::filesystem::path bundlePath;
    ComponentDescription description;
    std::string name;
    SInt32 version;
    std::string entryName;
    CFBundleRef bundle; // loaded on the first open, kept while registered
    ComponentEntryProc entry;
};

namespace {

std::vector<std::unique_ptr<ComponentRecord>>& registry() {
    static std::vector<std::unique_ptr<ComponentRecord>> components;
    return components;
}

// A four-character text as its code; 0 for anything else.
OSType codeOf(CFTypeRef value) {
    CFStringRef text = CFStringCast(value);
    if (!text || text->text.size() != 4) return 0;
    OSType code = 0;
    for (unsigned char c : text->text) code = code << 8 | c;
    return code;
}

bool matches(OSType wanted, OSType have) {
    return wanted == 0 || wanted == have;
}

} // namespace

OSStatus RegisterComponentBundle(const std::filesystem::path& bundle, Component* component) {
    if (!component) return paramErr;
    CFHolder<CFDictionary> info(CFBundleCopyInfoDictionaryInDirectory(bundle));
    if (!info) return fnfErr;
    CFArrayRef list = CFArrayCast(info->get("AudioComponents"));
    CFDictionaryRef entry = list ? CFDictionaryCast(list->at(0)) : nullptr;
    if (!entry) return paramErr;
    CFStringRef name = CFStringCast(entry->get("name"));
    CFNumberRef version = CFNumberCast(entry->get("version"));
    CFStringRef entryName = CFStringCast(entry->get("entryPoint"));
    auto record = std::make_unique<ComponentRecord>(
        ComponentRecord{bundle,
                        {codeOf(entry->get("type")), codeOf(entry->get("subtype")),
                         codeOf(entry->get("manufacturer")), 0, 0},
                        name ? name->text : "",
                        version ? static_cast<SInt32>(version->value) : 0,
                        entryName ? entryName->text : "",
                        nullptr,
                        nullptr});
    const ComponentDescription& d = record->description;
    if (!d.componentType || !d.componentSubType || !d.componentManufacturer ||
        record->entryName.empty()) {
        return paramErr;
    }
    *component = record.get();
    registry().push_back(std::move(record));
    return noErr;
}

OSStatus UnregisterComponent(Component component) {
    auto& all = registry();
    const auto found = std::find_if(all.begin(), all.end(),
                                    [&](const auto& record) { return record.get() == component; });
    if (found == all.end()) return invalidComponentID;
    CFRelease(component->bundle);
    all.erase(found);
    return noErr;
}

Component FindNextComponent(Component after, const ComponentDescription& looking) {
    auto& all = registry();
    auto at = all.begin();
    if (after) {
        at = std::find_if(all.begin(), all.end(),
                          [&](const auto& record) { return record.get() == after; });
        if (at != all.end()) ++at;
    }
    for (; at != all.end(); ++at) {
        const ComponentDescription& d = (*at)->description;
        if (matches(looking.componentType, d.componentType) &&
            matches(looking.componentSubType, d.componentSubType) &&
            matches(looking.componentManufacturer, d.componentManufacturer)) {
            return at->get();
        }
    }
    return nullptr;
}

OSStatus GetComponentInfo(Component component, ComponentDescription* description,
                          CFStringRef* name) {
    if (!component) return invalidComponentID;
    if (description) *description = component->description;
    if (name) *name = CFStringCreateWithCString(component->name.c_str());
    return noErr;
}

OSStatus GetComponentResource(Component component, OSType type, SInt16 id,
                              ExtComponentResource** resource) {
    if (!component) return invalidComponentID;
    if (!resource) return paramErr;
    if (type != kComponentResourceType || id != kComponentResourceID) return resFNotFound;
    *resource = new ExtComponentResource{component->description, component->version};
    return noErr;
}

void ReleaseComponentResource(ExtComponentResource* resource) {
    delete resource;
}

OSStatus OpenAComponent(Component component, ComponentInstance* instance) {
    if (!component) return invalidComponentID;
    if (!instance) return paramErr;
    if (!component->bundle) {
        component->bundle = CFBundleCreateWithPath(component->bundlePath);
        if (!component->bundle) return fnfErr;
    }
    if (!component->entry) {
        if (!CFBundleLoadExecutable(component->bundle)) return cfragNoLibraryErr;
        component->entry = reinterpret_cast<ComponentEntryProc>(
            CFBundleGetFunctionPointerForName(component->bundle, component->entryName.c_str()));
        if (!component->entry) return cfragNoSymbolErr;
    }
    auto* opened = new ComponentInstanceRecord{component, nullptr};
    const ComponentResult result =
        CallComponent(opened, kComponentOpenSelect, {reinterpret_cast<std::intptr_t>(opened)});
    if (result != noErr) {
        delete opened;
        return result;
    }
    *instance = opened;
    return noErr;
}

OSStatus CloseComponent(ComponentInstance instance) {
    if (!instance) return paramErr;
    const ComponentResult result =
        CallComponent(instance, kComponentCloseSelect, {reinterpret_cast<std::intptr_t>(instance)});
    delete instance;
    return result;
}

ComponentResult CallComponent(ComponentInstance instance, SInt16 what,
                              std::initializer_list<std::intptr_t> args) {
    if (!instance || !instance->component->entry) return badComponentSelector;
    ComponentParameters params{what, 0, instance, {}};
    for (std::intptr_t arg : args) {
        if (params.paramCount == std::size(params.params)) return paramErr;
        params.params[params.paramCount++] = arg;
    }
    return instance->component->entry(&params, instance->storage);
}

void SetComponentInstanceStorage(ComponentInstance instance, void* storage) {
    if (instance) instance->storage = storage;
}

void* GetComponentInstanceStorage(ComponentInstance instance) {
    return instance ? instance->storage : nullptr;
}
