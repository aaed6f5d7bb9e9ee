// The one kind of failure the tool reports: a sentence for the user, exit status 2.
#pragma once

#include <stdexcept>
#include <string>

struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
