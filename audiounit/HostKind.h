#pragma once

#include "audiounit/platform/HostIdentity.h"

// Hosts that need the component to bend its rules, told apart by their main bundle.
enum HostKind : int {
    kHostOther = 0,
    kHostLogicBefore8 = 1,       // Logic Pro or Express below "8.0.0"
    kHostGarageBandBefore42 = 2, // GarageBand below "4.2"
    kHostLogic800 = 3,           // Logic Pro or Express from "8.0.0", below "8.0.1"
};

// The kind of the running host; kHostOther when it cannot be told. [main thread]
HostKind identifyHost();
// The kind of a host that describes itself so. [any thread]
HostKind hostKindOf(const HostIdentity& identity);
// Versions compared as texts whose digit runs compare by value and whose other characters
// compare ignoring case: negative, zero or positive as a is before, equal to or after b.
// [any thread]
int compareVersions(const char* a, const char* b);
