#pragma once

#include <atomic>

// The stand-in platform's reference-counted values (bundles, strings, numbers, data,
// dictionaries, arrays), in the shape the adapter's code expects of the platform's core
// values: an object is created with a count of 1 and deleted when released to 0.
struct CFObject {
    virtual ~CFObject() = default;
    mutable std::atomic<long> retainCount{1};
};

using CFTypeRef = const CFObject*;

// [any thread] Adds a reference; answers its argument. Null is ignored.
CFTypeRef CFRetain(CFTypeRef object);
// [any thread] Drops a reference and deletes the object with its last one. Null is ignored.
void CFRelease(CFTypeRef object);
// [any thread] The number of references held, 0 for null.
long CFGetRetainCount(CFTypeRef object);
