// The Component Manager's entry into the bundle: one DoruvezovComponent per instance.
// Exceptions end here, as the selector's result.
#include "audiounit/DoruvezovEntry.h"

#include "audiounit/DoruvezovComponent.h"
#include "vstbridge/DoruvezovException.h"

#include <algorithm>
#include <new>

namespace {

constexpr SInt16 kCanDoSelectors[] = {-4, -3, -2, -1, 1,  2,  3,  4,  5,  6,
                                      7,  9,  10, 14, 15, 16, 17, 18, 257};

ComponentResult run(ComponentParameters* params, DoruvezovComponent* component) {
    ComponentInstance instance = params->instance;
    switch (params->what) {
    case kComponentOpenSelect:
        SetComponentInstanceStorage(instance, new DoruvezovComponent(instance));
        return noErr;
    case kComponentCloseSelect:
        SetComponentInstanceStorage(instance, nullptr);
        delete component;
        return noErr;
    case kComponentCanDoSelect: {
        const auto selector = params->paramCount > 0 ? params->params[0] : 0;
        return std::find(std::begin(kCanDoSelectors), std::end(kCanDoSelectors), selector) !=
               std::end(kCanDoSelectors);
    }
    case kComponentVersionSelect: {
        ExtComponentResource* resource = nullptr;
        if (OSStatus status =
                GetComponentResource(instance ? instance->component : nullptr,
                                     kComponentResourceType, kComponentResourceID, &resource)) {
            throw MacOSException(status);
        }
        const SInt32 version = resource->componentVersion;
        ReleaseComponentResource(resource);
        return version;
    }
    default:
        return component ? component->dispatch(params) : badComponentSelector;
    }
}

} // namespace

ComponentResult DoruvezovEntry(ComponentParameters* params, void* storage) {
    if (!params) return paramErr;
    try {
        return run(params, static_cast<DoruvezovComponent*>(storage));
    } catch (const MacOSException& e) {
        return e.code();
    } catch (const EOFException&) {
        return eofErr;
    } catch (const std::bad_alloc&) {
        return memFullErr;
    } catch (...) {
        return -32767;
    }
}
