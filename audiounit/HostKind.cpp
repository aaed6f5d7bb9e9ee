#include "audiounit/HostKind.h"

#include <cctype>
#include <cstring>

namespace {

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Skips a run of digits and its leading zeros; answers the length of what is left of it.
std::size_t digitRun(const char*& at) {
    while (*at == '0' && isDigit(at[1])) ++at;
    std::size_t length = 0;
    while (isDigit(at[length])) ++length;
    return length;
}

} // namespace

int compareVersions(const char* a, const char* b) {
    while (*a && *b) {
        if (isDigit(*a) && isDigit(*b)) {
            const std::size_t lengthA = digitRun(a);
            const std::size_t lengthB = digitRun(b);
            if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
            if (int order = std::strncmp(a, b, lengthA)) return order;
            a += lengthA;
            b += lengthB;
            continue;
        }
        const int lowerA = std::tolower(static_cast<unsigned char>(*a));
        const int lowerB = std::tolower(static_cast<unsigned char>(*b));
        if (lowerA != lowerB) return lowerA < lowerB ? -1 : 1;
        ++a;
        ++b;
    }
    return (*a != 0) - (*b != 0);
}

HostKind hostKindOf(const HostIdentity& identity) {
    const char* version = identity.shortVersion.c_str();
    if (identity.shortVersion.empty()) return kHostOther;
    if (identity.identifier == "com.apple.logic.pro" ||
        identity.identifier == "com.apple.logic.express") {
        if (compareVersions(version, "8.0.0") < 0) return kHostLogicBefore8;
        if (compareVersions(version, "8.0.1") < 0) return kHostLogic800;
    } else if (identity.identifier == "com.apple.garageband") {
        if (compareVersions(version, "4.2") < 0) return kHostGarageBandBefore42;
    }
    return kHostOther;
}

HostKind identifyHost() {
    HostIdentity identity;
    return GetHostIdentity(identity) ? hostKindOf(identity) : kHostOther;
}
