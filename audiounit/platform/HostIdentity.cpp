#include "audiounit/platform/HostIdentity.h"

#include "audiounit/platform/PlatformState.h"

namespace {

std::optional<HostIdentity>& current() {
    return platformState().hostIdentity;
}

} // namespace

void SetHostIdentity(const HostIdentity& identity) {
    current() = identity;
}

bool GetHostIdentity(HostIdentity& identity) {
    if (!current()) return false;
    identity = *current();
    return true;
}

void ClearHostIdentity() {
    current().reset();
}
