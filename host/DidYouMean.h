// Suggestions for names typed by hand: commands, options, plug-ins, parameters, programs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// [any thread] Letters to change, add or drop to turn one name into the other, ignoring
// case.
std::size_t editDistance(const std::string& a, const std::string& b);
// [any thread] The name nearest to `typed`, when it is near enough to be a typing slip.
std::optional<std::string> nearestName(const std::string& typed,
                                       const std::vector<std::string>& names);
// [any thread] ": did you mean 'NAME'?" for a slip, else nothing: for the end of a message.
std::string didYouMean(const std::string& typed, const std::vector<std::string>& names);
