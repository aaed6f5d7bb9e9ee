#include "vstbridge/DoruvezovException.h"

#include <cstdio>

DoruvezovException::DoruvezovException(const char* message) {
    std::snprintf(message_, sizeof message_, "%s", message ? message : "");
}

MacOSException::MacOSException(std::int32_t code, const char* message) : code_(code) {
    // Formatted at once rather than in what(), which may run on several threads.
    if (message && *message)
        std::snprintf(message_, sizeof message_, "%s", message);
    else
        std::snprintf(message_, sizeof message_, "Mac OS error code %d", code_);
}
