#pragma once

#include "audiounit/platform/AudioUnitTypes.h"
#include "audiounit/platform/CFString.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>

// The component registry: bundles register the component their information dictionary
// describes ("AudioComponents", first entry: type, subtype and manufacturer as
// four-character texts, name, version, entryPoint); opening one loads the bundle's
// executable and calls its entry with the selectors below.

struct ComponentDescription {
    OSType componentType;
    OSType componentSubType;
    OSType componentManufacturer;
    UInt32 componentFlags;
    UInt32 componentFlagsMask;
};
static_assert(sizeof(ComponentDescription) == 20);

enum : SInt16 {
    kComponentOpenSelect = -1,
    kComponentCloseSelect = -2,
    kComponentCanDoSelect = -3,
    kComponentVersionSelect = -4,
};

// How a selector's arguments reach a component's entry: the instance it is called for and
// up to eight arguments in order (pointers and integers alike).
struct ComponentParameters {
    SInt16 what;
    UInt8 paramCount;
    ComponentInstance instance;
    std::intptr_t params[8];
};
static_assert(sizeof(ComponentParameters) == 80);
static_assert(offsetof(ComponentParameters, instance) == 8);
static_assert(offsetof(ComponentParameters, params) == 16);

using ComponentEntryProc = ComponentResult (*)(ComponentParameters* params, void* storage);

struct ComponentRecord;
using Component = ComponentRecord*;

struct ComponentInstanceRecord {
    Component component;
    void* storage;
};

// The 'thng' resource of a component (id 10000): its description and version.
constexpr OSType kComponentResourceType = fourCharCode("thng");
constexpr SInt16 kComponentResourceID = 10000;
struct ExtComponentResource {
    ComponentDescription description;
    SInt32 componentVersion;
};
static_assert(sizeof(ExtComponentResource) == 24);

// Registers the component of a bundle folder; paramErr when it describes none, fnfErr
// when its information dictionary cannot be read. [main thread]
OSStatus RegisterComponentBundle(const std::filesystem::path& bundle, Component* component);
// Forgets a component; its instances must be closed. [main thread]
OSStatus UnregisterComponent(Component component);
// The next registered component after `after` (null: from the first) whose type, subtype
// and manufacturer match; a zero field matches any. Null when there is none. [main thread]
Component FindNextComponent(Component after, const ComponentDescription& looking);

// Description and name (a new string, when name is given). [any thread]
OSStatus GetComponentInfo(Component component, ComponentDescription* description,
                          CFStringRef* name);
// A new resource for the 'thng' type and id 10000; resFNotFound otherwise. [any thread]
OSStatus GetComponentResource(Component component, OSType type, SInt16 id,
                              ExtComponentResource** resource);
// [any thread]
void ReleaseComponentResource(ExtComponentResource* resource);

// Loads the executable when needed and opens an instance (the entry's open selector); on
// failure the instance is gone and the entry's result is answered. [main thread]
OSStatus OpenAComponent(Component component, ComponentInstance* instance);
// The close selector, then the instance is freed whatever it answers. [main thread]
OSStatus CloseComponent(ComponentInstance instance);
// Calls the entry with a selector and its arguments. [the thread the selector allows]
ComponentResult CallComponent(ComponentInstance instance, SInt16 what,
                              std::initializer_list<std::intptr_t> args = {});

// [the thread the component's open and close run on]
void SetComponentInstanceStorage(ComponentInstance instance, void* storage);
void* GetComponentInstanceStorage(ComponentInstance instance);
