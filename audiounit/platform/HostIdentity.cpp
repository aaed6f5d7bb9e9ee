#include "audiounit/platform/HostIdentity.h"

#include <optional>

namespace {

std::optional<HostIdentity>& current() {
    static std::optional<HostIdentity> identity;
    return identity;
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
